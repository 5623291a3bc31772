// The Gerber interpreter's modal state and the aperture table of the last file chosen.
#pragma once

#include <array>
#include <cstdint>

namespace zor {

struct GerberState {
  double x = 0, y = 0;   // mm after the plotting/drilling rules, pixels after the preview rules
  double i = 0;          // radius of a G03 circle
  int32_t g_code = 0;    // number of the last G command
  int32_t aperture = 0;  // selected aperture (row of the table)
  bool select_pending = false;  // a G54 was seen: the next D command selects an aperture
  bool preview_mode = false;
  bool plot_mode = false;
  bool drill_mode = false;
  double max_x = 0, max_y = 0;  // extents found by the preview rules
  double scale = 0;             // preview scale, pixels per mm
};

// 99 rows (aperture numbers 1..99) of 10 values (columns 1..10): column 1 is the shape
// (1.0 circle, 2.0 rectangle), columns 2..10 the dimensions. Never cleared.
class ApertureTable {
 public:
  static constexpr int kRows = 99;
  static constexpr int kColumns = 10;
  static constexpr int kShape = 1;
  static constexpr int kFirstDimension = 2;

  // Row 1..99, column 1..10; callers check the range with valid().
  static bool valid(int row, int column) {
    return row >= 1 && row <= kRows && column >= 1 && column <= kColumns;
  }
  double get(int row, int column) const { return cells_[row - 1][column - 1]; }
  void set(int row, int column, double value) { cells_[row - 1][column - 1] = value; }

 private:
  std::array<std::array<double, kColumns>, kRows> cells_{};
};

}  // namespace zor
