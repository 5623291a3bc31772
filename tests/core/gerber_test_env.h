// A Gerber test rig: the program-wide state, a form, scripted message boxes, a preview
// window whose picture records what is drawn, and moves that record every call and put the
// tool exactly on its target. Also temporary files for the passes to read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "common/canvas.h"
#include "common/memory_form.h"
#include "common/preview_window.h"
#include "context/machine_context.h"
#include "motion/env.h"
#include "motion/moves.h"
#include "scripted_services.h"

namespace zor::gerber_test {

// One call of the moves: an X-Y move (x, y) or a Z move (z in `x`, y unused).
struct Move {
  enum Kind { kXY, kZ } kind;
  double x = 0, y = 0, speed = 0;
  friend bool operator==(const Move&, const Move&) = default;
};
inline Move xy(double x, double y, double speed) {
  return {Move::kXY, x, y, speed};
}
inline Move z(double height, double speed) {
  return {Move::kZ, height, 0, speed};
}
inline std::ostream& operator<<(std::ostream& out, const Move& m) {
  if (m.kind == Move::kXY) return out << "xy(" << m.x << ", " << m.y << ", " << m.speed << ")";
  return out << "z(" << m.x << ", " << m.speed << ")";
}

// Like the real moves, does nothing once stop_flag is set (the call is still recorded).
class RecordingMoves : public Moves {
 public:
  explicit RecordingMoves(MachineState& machine) : machine_(machine) {}
  void move_to_xy(double x, double y, double speed) override {
    log.push_back(xy(x, y, speed));
    if (!machine_.stop_flag) {
      machine_.pos_x = x;
      machine_.pos_y = y;
    }
    if (after_move) after_move();
  }
  void down_up(double height, double speed) override {
    log.push_back(z(height, speed));
    if (!machine_.stop_flag) machine_.pos_z = height;
    if (after_move) after_move();
  }
  std::vector<Move> log;
  std::function<void()> after_move;

 private:
  MachineState& machine_;
};

// What is visible on a picture: the strokes drawn since the last fill.
struct Stroke {
  enum Kind { kLine, kEllipse } kind;
  Color color;
  int64_t x1, y1, x2, y2;  // a line from (x1, y1) to (x2, y2), or an ellipse's rectangle
  friend bool operator==(const Stroke&, const Stroke&) = default;
};
inline std::ostream& operator<<(std::ostream& out, const Stroke& s) {
  return out << (s.kind == Stroke::kLine ? "line(" : "ellipse(") << int(s.color.r) << ","
             << int(s.color.g) << "," << int(s.color.b) << ": " << s.x1 << ", " << s.y1 << ", "
             << s.x2 << ", " << s.y2 << ")";
}

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}
  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_pen_color(Color color) override { color_ = color; }
  void set_pen_width(int) override {}
  void move_to(int64_t x, int64_t y) override {
    pen_x = x;
    pen_y = y;
  }
  void line_to(int64_t x, int64_t y) override {
    strokes.push_back({Stroke::kLine, color_, pen_x, pen_y, x, y});
    move_to(x, y);
  }
  void ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) override {
    strokes.push_back({Stroke::kEllipse, color_, x1, y1, x2, y2});
  }
  void fill(Color color) override {
    strokes.clear();
    background = color;
    ++fills;
  }

  std::vector<Stroke> strokes;
  Color background = kWhite;
  int fills = 0;
  int64_t pen_x = 0, pen_y = 0;

 private:
  int width_, height_;
  Color color_ = kBlack;
};

class FakePreviewWindow : public PreviewWindow {
 public:
  void show() override { ++shown; }
  void activate() override { ++activated; }
  int outer_width() const override { return width; }
  int outer_height() const override { return height; }
  Canvas& picture() override { return canvas; }

  int width = 395, height = 347;
  int shown = 0, activated = 0;
  RecordingCanvas canvas{387, 320};
};

// A form that also remembers the extent of the grid cells ever written.
class GridForm : public MemoryForm {
 public:
  void set_cell(std::string_view grid, int column, int row, const std::string& text) override {
    if (column > max_column) max_column = column;
    if (row > max_row) max_row = row;
    MemoryForm::set_cell(grid, column, row, text);
  }
  int max_column = -1, max_row = -1;
};

// A directory of its own under the system's temporary directory, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() /
           ("zor_gerber_" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(dir_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Writes the bytes as they are and returns the file's path.
  std::string write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

struct GerberRig {
  GerberRig() {
    form.set_text("d_mark", "05");
    form.set_text("e_sped", "2");
    form.set_text("e_sped2", "3");
    form.set_text("e_pero", "0,5");
    form.set_text("e_sped_up", "1,5");
    form.set_text("e_sped_dow", "0,7");
    ctx.modes = {2, 3, 0.5, 1.5, 0.7, 2};
  }
  GerberState& state() { return ctx.gerber; }
  const WorkingModes& modes() const { return ctx.modes; }
  RecordingCanvas& picture() { return preview.canvas; }

  MachineContext ctx;
  GridForm form;
  zor::testing::ScriptedDialogs dialogs;
  FakePreviewWindow preview;
  RecordingCanvas path{585, 457};
  RecordingMoves moves{ctx.machine};
  Env env{ctx, moves, form, dialogs, preview, path};
  TempDir files;
};

}  // namespace zor::gerber_test
