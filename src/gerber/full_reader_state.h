// The reading state of one Gerber file, shared by the statement readers (gerber_reader.cpp,
// gerber_extended.cpp) and the operations that put objects into the image (gerber_drawing.cpp).
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gerber/aperture_macro.h"
#include "gerber/aperture_shapes.h"
#include "gerber/coordinate_format.h"
#include "gerber/reading_notices.h"
#include "plan/copper_image.h"

namespace zor::gerber_full {

enum class Interpolation { kLinear, kClockwise, kCounterClockwise };

// A coordinate beyond a kilometre is no board; taking it would only overflow what follows.
constexpr double kMaxCoordinateMm = 1e6;
// The image's bound, counted in points (16 bytes each), an object costing as much as a few
// points: about 50 MB. A dense four-layer board's copper layer needs a few hundred thousand.
constexpr size_t kMaxImagePoints = 3'000'000;
constexpr size_t kObjectCost = 8;
// Copies one step and repeat may make: a panel of boards, not a field of a million pads.
constexpr size_t kMaxCopies = 10'000;

struct StepRepeat {
  size_t first_object = 0;
  long long nx = 1, ny = 1;
  double dx = 0, dy = 0;  // mm
};

class Reader {
 public:
  explicit Reader(std::vector<std::string>& notices) : notices_(notices) {}

  void extended(const std::vector<std::string>& blocks, size_t line);
  void data_block(const std::string& block, size_t line);
  void finish(size_t line);
  bool ended() const { return ended_; }
  ReadingNotices& notices() { return notices_; }

  CopperImage image;

 private:
  // Statements (gerber_extended.cpp for those between two %, gerber_reader.cpp the rest).
  void format_statement(const std::string& text);
  void aperture_statement(const std::string& text);
  void macro_statement(const std::vector<std::string>& blocks);
  void step_repeat_statement(const std::string& text);
  void g_code(int code);
  std::optional<double> coordinate(const std::string& text, bool x_axis);
  double to_mm();
  void cannot_read(const std::string& kind, const std::string& text);

  // Operations (gerber_drawing.cpp).
  void operate(int d, std::optional<double> x, std::optional<double> y, std::optional<double> i,
               std::optional<double> j);
  void draw_to(PlanPoint target, double i, double j);
  void add_path_points(std::vector<PlanPoint>& path, PlanPoint from, PlanPoint to, double i,
                       double j);
  void flash_at(PlanPoint at);
  void end_stroke() { open_objects_ = 0; }
  void close_contour();
  void end_region();
  void finish_step_repeat();
  bool take_points(size_t count);
  PlanPoint placed(PlanPoint p) const;
  const Aperture* current_aperture();

  ReadingNotices notices_;
  size_t line_ = 1;
  bool ended_ = false;
  bool stopped_ = false;  // the image grew past its bound: the rest is not read

  CoordinateFormat x_format_, y_format_;
  bool format_declared_ = false;
  bool incremental_ = false;
  std::optional<double> unit_mm_;  // 25.4 or 1 once the file says

  std::map<int, Aperture> apertures_;
  std::map<std::string, ApertureMacro> macros_;
  int aperture_ = 0;

  Interpolation interpolation_ = Interpolation::kLinear;
  bool multi_quadrant_ = false;
  int modal_d_ = 0;
  PlanPoint point_;  // mm, before offset and scale
  bool dark_ = true;

  bool in_region_ = false;
  std::vector<PlanPoint> contour_;

  size_t open_objects_ = 0;  // the last so many objects are the stroke being drawn on

  std::optional<StepRepeat> repeat_;
  PlanPoint offset_;                  // %OF, mm
  double scale_x_ = 1, scale_y_ = 1;  // %SF
  size_t points_ = 0;
  uint32_t shapes_ = 0;         // flashes of apertures with clear pieces so far
  size_t aperture_points_ = 0;  // of every aperture defined, bounded like the image
};

}  // namespace zor::gerber_full
