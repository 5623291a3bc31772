#include "gerber/aperture_reader.h"

#include <cmath>
#include <string>
#include <string_view>

#include "common/decimal.h"
#include "common/text_file.h"
#include "gerber/number_run.h"

namespace zor {
namespace {

constexpr std::string_view kDefinition = "%ADD";
constexpr size_t kNumberIndex = 4;      // positions 5 and 6
constexpr size_t kLetterIndex = 6;      // position 7
constexpr size_t kDimensionsIndex = 9;  // position 10: the comma and the character after it
                                        // are passed over
constexpr const char* kEnd = "-END-";

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The two characters after "%ADD" as an aperture number 1..99, or 0 when they are not two
// digits naming a row of the table.
int aperture_number(std::string_view line) {
  if (line.size() < kNumberIndex + 2) return 0;
  const char tens = line[kNumberIndex], units = line[kNumberIndex + 1];
  if (!is_digit(tens) || !is_digit(units)) return 0;
  return (tens - '0') * 10 + (units - '0');
}

// Rounded to four decimals for the grid; values too large to carry decimals stay as they are.
double grid_value(double value) {
  const double scaled = value * 10000;
  return std::isfinite(scaled) ? round_even(scaled) / 10000 : value;
}

// Writes what one definition puts into the table (when the number names a row) and into the
// grid row `row` (when the grid has it).
class DefinitionWriter {
 public:
  DefinitionWriter(Form& form, ApertureTable& table, int aperture, int row)
      : form_(form), table_(table), aperture_(aperture), row_(row) {}

  void shape(double shape, const char* letter) {
    if (ApertureTable::valid(aperture_, ApertureTable::kShape))
      table_.set(aperture_, ApertureTable::kShape, shape);
    cell(0, row_, letter);
  }
  void dimension(int column, double value) {
    if (ApertureTable::valid(aperture_, column)) table_.set(aperture_, column, value);
    if (column - 1 < kApertureGridColumns)
      cell(column - 1, row_, format_general(grid_value(value)));
  }
  void end_mark() { cell(0, row_ + 1, kEnd); }

 private:
  void cell(int column, int row, const std::string& text) {
    if (row < kApertureGridRows) form_.set_cell(kApertureGrid, column, row, text);
  }
  Form& form_;
  ApertureTable& table_;
  const int aperture_;
  const int row_;
};

void read_definition(std::string_view line, DefinitionWriter& writer) {
  if (line.size() > kLetterIndex) {
    if (line[kLetterIndex] == 'C') writer.shape(1.0, "C");
    if (line[kLetterIndex] == 'R') writer.shape(2.0, "R");
  }
  // p: 0-based start of the next run. Each turn consumes at least the separator, so the
  // loop ends; past the last column of the table nothing more can be written.
  size_t p = kDimensionsIndex;
  for (int column = ApertureTable::kFirstDimension; column <= ApertureTable::kColumns; ++column) {
    const size_t run = number_run_length(line, p);
    if (p + run >= line.size()) {
      writer.dimension(column, 0.0);
      break;
    }
    writer.dimension(column, number_run_digits_over_100(line.substr(p, run)));
    p += run + 1;
    if (p + 1 >= line.size() || line[p] == '*') break;
  }
  writer.end_mark();
}

}  // namespace

void get_app(Env& env) {
  const std::string name = env.form.text("Edit15");
  for (int row = 0; row < kApertureGridRows; ++row)
    for (int column = 0; column < kApertureGridColumns; ++column)
      env.form.set_cell(kApertureGrid, column, row, "");
  if (!file_exists(name)) {
    env.dialogs.message(kNoSuchFile);
    env.form.focus("Edit15");
    return;
  }
  TextFile file(name);
  std::string line;
  int count = 0;
  while (file.read_line(line)) {
    if (!line.starts_with(kDefinition)) continue;
    // Rows past the grid are never written, so the counter need not go beyond them.
    if (count < kApertureGridRows) ++count;
    DefinitionWriter writer(env.form, env.ctx.apertures, aperture_number(line), count);
    read_definition(line, writer);
  }
}

}  // namespace zor
