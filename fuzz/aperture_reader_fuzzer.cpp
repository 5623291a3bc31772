// get_app on arbitrary bytes: whatever the "%ADD" lines hold (numbers out of range, letters,
// endless dimension lists, huge digit runs), only the rows of the aperture table that the lines
// name and only the cells of the 4 x 50 grid are written, and nothing else of the program's
// state changes.
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/memory_form.h"
#include "gerber/aperture_reader.h"
#include "gerber_test_env.h"
#include "scratch_file.h"

namespace {

using zor::fuzz::check;

class GridCheckingForm : public zor::MemoryForm {
 public:
  void set_cell(std::string_view grid, int column, int row, const std::string& text) override {
    check(grid == zor::kApertureGrid, "only the aperture grid");
    check(column >= 0 && column < zor::kApertureGridColumns, "grid column in range");
    check(row >= 0 && row < zor::kApertureGridRows, "grid row in range");
    zor::MemoryForm::set_cell(grid, column, row, text);
  }
};

// Aperture numbers the "%ADD" lines name, and those that name a circle or rectangle, as the
// text-file rules split the bytes into lines.
struct Named {
  std::set<int> rows;
  std::set<int> shaped;
  int definitions = 0;
};

Named named_rows(std::string_view bytes) {
  Named named;
  std::string line;
  bool any = false;
  const auto take = [&] {
    if (line.rfind("%ADD", 0) != 0) return;
    ++named.definitions;
    if (line.size() < 6) return;
    const char tens = line[4], units = line[5];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') return;
    const int n = (tens - '0') * 10 + (units - '0');
    named.rows.insert(n);
    if (line.size() > 6 && (line[6] == 'C' || line[6] == 'R')) named.shaped.insert(n);
  };
  for (const char c : bytes) {
    if (c == '\x1A') break;
    if (c == '\n') {
      take();
      line.clear();
      any = false;
    } else {
      any = true;
      if (c != '\r') line += c;
    }
  }
  if (any) take();
  return named;
}

bool untouched(const zor::MachineContext& ctx) {
  const zor::MachineContext fresh;
  const auto& g = ctx.gerber;
  const auto& f = fresh.gerber;
  const auto& m = ctx.machine;
  const auto& n = fresh.machine;
  const auto& w = ctx.modes;
  const auto& v = fresh.modes;
  return g.x == f.x && g.y == f.y && g.i == f.i && g.g_code == f.g_code &&
         g.aperture == f.aperture && g.select_pending == f.select_pending &&
         g.preview_mode == f.preview_mode && g.plot_mode == f.plot_mode &&
         g.drill_mode == f.drill_mode && g.max_x == f.max_x && g.max_y == f.max_y &&
         g.scale == f.scale && m.pos_x == n.pos_x && m.pos_y == n.pos_y && m.pos_z == n.pos_z &&
         m.mm_per_step == n.mm_per_step && m.travel_limit == n.travel_limit &&
         m.backlash == n.backlash && m.phase_index == n.phase_index && m.last_dir == n.last_dir &&
         m.stop_flag == n.stop_flag && w.speed_work == v.speed_work &&
         w.speed_rapid == v.speed_rapid && w.z_idle == v.z_idle && w.speed_z_up == v.speed_z_up &&
         w.speed_z_down == v.speed_z_down && w.drill_depth == v.drill_depth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static zor::fuzz::ScratchFile file("apertures.gbr");
  const std::string& path = file.write(data, size);

  zor::MachineContext ctx;
  GridCheckingForm form;
  form.set_text("Edit15", path);
  zor::testing::ScriptedDialogs dialogs;
  zor::gerber_test::FakePreviewWindow preview;
  zor::gerber_test::RecordingCanvas canvas(585, 457);
  zor::gerber_test::RecordingMoves moves(ctx.machine);
  zor::Env env{ctx, moves, form, dialogs, preview, canvas};
  zor::get_app(env);

  const Named named = named_rows({reinterpret_cast<const char*>(data), size});
  check(dialogs.messages.empty() && moves.log.empty() && canvas.strokes.empty() &&
            preview.shown == 0 && form.focused().empty() && form.text("Edit15") == path,
        "nothing but the table and the grid");
  check(untouched(ctx), "no other program state");
  for (int row = 1; row <= zor::ApertureTable::kRows; ++row) {
    const double shape = ctx.apertures.get(row, zor::ApertureTable::kShape);
    check(shape == 0 || (named.shaped.count(row) != 0 && (shape == 1.0 || shape == 2.0)),
          "a shape only from a C or R definition");
    for (int column = 1; column <= zor::ApertureTable::kColumns; ++column) {
      const double value = ctx.apertures.get(row, column);
      check(value == 0 || named.rows.count(row) != 0, "only rows that a definition names");
      check(!std::isnan(value) && value >= 0, "dimensions are digits over 100");
    }
  }
  const int end_row = named.definitions + 1;
  if (named.definitions > 0 && end_row < zor::kApertureGridRows) {
    check(form.cell(zor::kApertureGrid, 0, end_row) == "-END-", "the list's end is marked");
  }
  check(form.cell(zor::kApertureGrid, 0, 0).empty(), "row 0 stays empty");
  return 0;
}
