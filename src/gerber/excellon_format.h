// How a drill file writes its numbers: units, zeros and digit counts as the file declares them,
// or what the full reading assumes when it does not (the old defaults, or the zeros the file's
// own numbers show), remembered so that one notice can say what was assumed.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gerber/coordinate_format.h"

namespace zor {

class ExcellonFormat {
 public:
  // Before reading: the first units declared anywhere (tools may come before them) and, when
  // the zeros are not declared, the zeros the numbers show.
  void prescan(const std::vector<std::string>& lines);
  // "METRIC,LZ,000.000", "INCH,TZ" and the like.
  void units_line(const std::string& text);
  void set_metric(bool metric) { metric_ = metric; }
  void set_digits(std::pair<int, int> digits) { digits_ = digits; }

  // Millimetres per unit of the file; inches, and noted as assumed, when nothing is declared.
  double to_mm();
  // The format of numbers without a point; what is not declared is assumed and noted.
  CoordinateFormat format();
  // "Файл сверловки не задаёт ...: приняты ..." or empty when nothing was assumed.
  std::string assumed() const;

 private:
  void assume(const std::string& what, const std::string& value);

  std::optional<bool> metric_;
  std::optional<bool> declared_metric_;  // the first units the file declares anywhere
  std::optional<bool> leading_kept_;
  std::optional<bool> guessed_leading_kept_;
  std::optional<std::pair<int, int>> digits_;
  std::string assumed_what_, assumed_;
};

}  // namespace zor
