// One board: its files' roles, their layers read at true size, and the plans of a side placed
// on the machine. The outline's lower-left corner goes to the origin plus the offsets; the
// underside is mirrored about the outline's vertical centre line, so both sides occupy the same
// rectangle and the alignment pins on that line map onto themselves.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "board/board_files.h"
#include "board/board_roles.h"
#include "plan/copper_image.h"
#include "plan/plan.h"

namespace zor {

enum class BoardSide { kTop, kBottom };

struct BoardSettings {
  BoardSide side = BoardSide::kTop;
  double offset_x = 0, offset_y = 0;  // mm, "Смещение X/Y"
  std::optional<double> pins;         // "Штифты": the pins' diameter in mm; none: no pins
};

// The pins lie this far beyond the outline's lower and upper edges.
inline constexpr double kPinMargin = 5;

struct BoardLayerFile {
  std::string name;
  BoardRole role = BoardRole::kIgnored;
};

struct Board {
  std::vector<BoardLayerFile> files;
  std::optional<CopperImage> top, bottom, outline;
  // Every drill file's holes in file mm, tool by tool; tools of one diameter are one drill.
  Plan drill;
  std::vector<bool> plated;  // per hole of `drill`
  PlanExtents extents;       // the outline's, or without one the copper's and holes'
  bool has_outline = false;
  std::vector<std::string> notices;  // the readers', each with its file's name
};

// The roles as found, with the operator's choices (by file name) over them.
std::vector<BoardLayerFile> board_roles(const std::vector<BoardFile>& files,
                                        const std::map<std::string, BoardRole>& chosen = {});

// Reads every file of a role. Throws Error with the operator's message for a board without
// copper and drill files, two files of one copper or outline role, a file that is not of its
// role's kind, and a board without any point.
Board read_board(const std::vector<BoardFile>& files,
                 const std::map<std::string, BoardRole>& chosen = {});

// File mm to machine mm for a side.
struct BoardPlacement {
  PlanExtents extents;
  bool mirrored = false;
  double offset_x = 0, offset_y = 0;  // added after mirroring
  PlanPoint place(PlanPoint p) const;
};
BoardPlacement board_placement(const Board& board, const BoardSettings& settings);

// The pins' centres in machine mm, lower first; none without pins.
std::vector<PlanPoint> board_pins(const Board& board, const BoardSettings& settings);

// A layer's image in machine mm as `placement` places it.
CopperImage placed_image(const CopperImage& image, const BoardPlacement& placement);

// The copper of the side's own layer placed (and mirrored) as the side is seen; none when the
// board has no copper on that side.
std::optional<CopperImage> placed_copper(const Board& board, const BoardSettings& settings);

// The holes as drilled from the side: the pins first (a drill of their own), then every drill
// file's holes, tool by tool; tools numbered from 1 in that order.
Plan board_drill_plan(const Board& board, const BoardSettings& settings);

// Where the placed board, with its pins, lies on the machine.
PlanExtents placed_extents(const Board& board, const BoardSettings& settings);

// "Верх" / "Низ".
const char* side_title(BoardSide side);

}  // namespace zor

namespace zor {

// What the runner's report tells of the board.
struct BoardSummary {
  std::vector<BoardLayerFile> files;
  PlanExtents outline;  // file mm
  double offset_x = 0, offset_y = 0;
  bool mirrored = false;
  std::vector<PlanPoint> pins;  // machine mm
};
BoardSummary board_summary(const Board& board, const BoardSettings& settings);

// "1. Сверловка  2. Верх  3. Переверните плату вокруг оси штифтов  4. Низ", only the steps
// the board has.
std::string board_work_order(const Board& board, const BoardSettings& settings);

}  // namespace zor
