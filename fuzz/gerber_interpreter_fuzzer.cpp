// out_str on arbitrary lines with the preview, plotting and drilling rules all switched on,
// driving moves that record targets instead of stepping (so huge coordinates cost nothing) and
// a canvas that records strokes. Every move goes at one of the job's speeds to a height the
// rules know, the work per line stays bounded, and every pixel coordinate stays in the range
// the pictures clip safely.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "common/canvas.h"
#include "common/memory_form.h"
#include "gerber/interpreter.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

constexpr zor::WorkingModes kModes{2, 3, 0.5, 1.5, 0.7, 2};

bool is_job_speed(double speed) {
  return speed == kModes.speed_work || speed == kModes.speed_rapid || speed == kModes.speed_z_up ||
         speed == kModes.speed_z_down;
}

class TargetMoves : public zor::Moves {
 public:
  explicit TargetMoves(zor::MachineState& machine) : machine_(machine) {}
  void move_to_xy(double x, double y, double speed) override {
    check(is_job_speed(speed), "X-Y moves at a job speed");
    machine_.pos_x = x;
    machine_.pos_y = y;
    ++count;
  }
  void down_up(double z, double speed) override {
    check(is_job_speed(speed), "Z moves at a job speed");
    check(z == 0 || z == kModes.z_idle || z == -kModes.drill_depth, "Z to a known height");
    machine_.pos_z = z;
    ++count;
  }
  uint64_t count = 0;

 private:
  zor::MachineState& machine_;
};

class StrokeCanvas : public zor::Canvas {
 public:
  int width() const override { return 387; }
  int height() const override { return 320; }
  void set_pen_color(zor::Color) override {}
  void set_pen_width(int) override {}
  void move_to(int64_t x, int64_t y) override { point(x, y); }
  void line_to(int64_t x, int64_t y) override {
    point(x, y);
    ++count;
  }
  void ellipse(int64_t x1, int64_t y1, int64_t x2, int64_t y2) override {
    point(x1, y1);
    point(x2, y2);
    ++count;
  }
  void fill(zor::Color) override {}
  uint64_t count = 0;

 private:
  static void point(int64_t x, int64_t y) {
    constexpr int64_t kLimit = int64_t{1} << 62;
    check(x >= -kLimit && x <= kLimit && y >= -kLimit && y <= kLimit, "pixel in clip range");
  }
};

// The preview scales the pass may run at: one pixel per mm (the first preview pass and every
// job), the design window's scales, and a drawing far smaller than the window.
constexpr double kScales[] = {1, 3.16, 13.88, 1e6};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zor::MachineContext ctx;
  ctx.modes = kModes;
  zor::GerberState& state = ctx.gerber;
  state.preview_mode = state.plot_mode = state.drill_mode = true;
  state.scale = kScales[data[0] % 4];
  // Circles of ordinary, zero and enormous size, and a rectangle, for the flashes.
  const double circles[] = {0.8, 1.5, 0, 1e300};
  for (int n = 0; n < 4; ++n) {
    ctx.apertures.set(10 + n, zor::ApertureTable::kShape, 1.0);
    ctx.apertures.set(10 + n, zor::ApertureTable::kFirstDimension, circles[n]);
  }
  ctx.apertures.set(14, zor::ApertureTable::kShape, 2.0);
  ctx.apertures.set(14, zor::ApertureTable::kFirstDimension, 1.0);

  zor::MemoryForm form;
  form.set_text("d_mark", "05");
  TargetMoves moves(ctx.machine);
  StrokeCanvas picture;
  zor::GerberInterpreter interpreter(state, ctx.apertures, ctx.modes, ctx.machine, moves, picture,
                                     form);

  // Line by line, so the modal state carries from one line to the next as in a pass.
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    const uint64_t moves_before = moves.count, strokes_before = picture.count;
    interpreter.out_str(line);
    // At most a full circle (361 moves and a lowering) or a flash per command, and a command
    // takes at least one character.
    const uint64_t bound = 400 * (line.size() + 1);
    check(moves.count - moves_before <= bound, "bounded moves per line");
    check(picture.count - strokes_before <= bound, "bounded strokes per line");
    start = end + 1;
  }
  return 0;
}
