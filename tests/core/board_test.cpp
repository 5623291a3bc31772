// Boards from their fabrication files, run on the virtual machine: which file plays which
// role, where the drill went and where the marker was down, on both sides and with the pins.
#include "board/board.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <unordered_map>

#include "board_rig.h"
#include "common/error.h"
#include "copper_raster.h"
#include "gerber/excellon_reader.h"
#include "gerber/gerber_reader.h"
#include "motion/settings.h"
#include "session/board_job.h"
#include "session/dry_run.h"
#include "session_rig.h"

namespace zor::testing {
namespace {

constexpr double kNear = 0.01;
using Files = std::vector<std::pair<std::string, std::string>>;  // mm: the steps' grain and the
                                                                 // file's rounding

struct BoardRig : SessionRig {
  void open(const std::string& path, BoardSide side, bool pins) {
    form.set_index("PageControl2", kBoardPage);
    form.set_text(kBoardPath, path);
    form.set_index(kBoardSide, side == BoardSide::kBottom ? 1 : 0);
    form.set_text(kBoardOffsetX, "0");
    form.set_text(kBoardOffsetY, "0");
    form.set_checked(kBoardPins, pins);
    form.set_text(kBoardPinDiameter, "3");
  }
  // The clockblock board (104 x 107 mm) needs more than the 100 mm of the default travel.
  void roomy() {
    for (auto& limit : session.context().machine.travel_limit) limit = 200;
  }
  // The job's refusal, or "" when it ran.
  std::string refusal(bool drill_job) {
    try {
      drill_job ? drill() : draw();
    } catch (const Error& e) {
      return e.what();
    }
    return {};
  }
};

// Every stroke point drawn, looked up by place.
class Ink {
 public:
  explicit Ink(const MachineWork& work) {
    for (const auto& stroke : work.strokes()) {
      for (const PlanPoint& p : stroke) cells_[key(p.x, p.y)].push_back(p);
    }
  }
  // Whether the marker's disc, dragged along the strokes, covered `p`.
  bool covers(PlanPoint p, double radius) const {
    for (int i = -1; i <= 1; ++i) {
      for (int j = -1; j <= 1; ++j) {
        const auto it = cells_.find(key(p.x + i * kCell, p.y + j * kCell));
        if (it == cells_.end()) continue;
        for (const PlanPoint& q : it->second) {
          if (std::hypot(q.x - p.x, q.y - p.y) <= radius) return true;
        }
      }
    }
    return false;
  }

 private:
  static constexpr double kCell = 0.3;
  static int64_t key(double x, double y) {
    return (static_cast<int64_t>(std::floor(x / kCell)) << 32) ^
           static_cast<int64_t>(std::floor(y / kCell) + (1 << 30));
  }
  std::unordered_map<int64_t, std::vector<PlanPoint>> cells_;
};

const std::map<std::string, std::map<std::string, BoardRole>> kRoles = {
    {"clockblock",
     {{"clockblock-B_Cu.gbr", BoardRole::kBottom},
      {"clockblock-Edge_Cuts.gbr", BoardRole::kOutline},
      {"clockblock-NPTH.drl", BoardRole::kDrill},
      {"clockblock.drl", BoardRole::kDrill}}},
    {"example_board",
     {{"example_board-B.Cu.gbr", BoardRole::kBottom},
      {"example_board-PTH.drl", BoardRole::kDrill}}},
    {"d1mini",
     {{"D1MiniGSR-F_Cu.gbr", BoardRole::kTop},
      {"D1MiniGSR-Edge_Cuts.gbr", BoardRole::kOutline},
      {"D1MiniGSR-PTH.drl", BoardRole::kDrill}}},
    {"controller",
     {{"project-controller-B_Cu.gbr", BoardRole::kBottom},
      {"project-controller.drl", BoardRole::kDrill}}},
};

TEST(Board, RolesComeFromAttributesAndNamesAlikeInFolderAndArchive) {
  for (const auto& [name, roles] : kRoles) {
    const TempZip zip(folder_files(board_folder(name), "gerbers/"));
    for (const std::string& path : {board_folder(name), zip.path()}) {
      std::map<std::string, BoardRole> found;
      for (const BoardLayerFile& f : board_roles(read_board_files(path))) found[f.name] = f.role;
      EXPECT_EQ(found, roles) << path;
    }
  }
}

// Drills the board from `side` on a rig of its own; the holes the machine made.
std::vector<WorkHole> drilled(const std::string& path, BoardSide side, bool pins,
                              std::vector<uint8_t>* trace = nullptr) {
  BoardRig rig;
  rig.roomy();
  rig.open(path, side, pins);
  EXPECT_EQ(rig.refusal(true), "");
  EXPECT_EQ(rig.dialogs.limit_questions, 0) << path;
  if (trace != nullptr) *trace = rig.machine.trace();
  return rig.work.holes();
}

TEST(Board, HolesLieWhereTheOutlinePutsThemAndTheUndersideIsTheirMirror) {
  const std::string folder = board_folder("clockblock");
  const std::vector<WorkHole> top = drilled(folder, BoardSide::kTop, true);
  const std::vector<WorkHole> bottom = drilled(folder, BoardSide::kBottom, true);
  ASSERT_EQ(top.size(), bottom.size());
  ASSERT_GT(top.size(), 200u);
  // The pins first, on the mirror axis, where both sides put them.
  for (size_t k = 0; k < 2; ++k) {
    EXPECT_NEAR(top[k].x, bottom[k].x, kNear);
    EXPECT_NEAR(top[k].y, bottom[k].y, kNear);
    EXPECT_NEAR(top[k].x, top[0].x, kNear);
  }
  const double axis = top[0].x;
  for (size_t k = 2; k < top.size(); ++k) {
    EXPECT_NEAR(bottom[k].x, 2 * axis - top[k].x, kNear) << k;
    EXPECT_NEAR(bottom[k].y, top[k].y, kNear) << k;
  }
  // The outline as its own reader reads it: its lower-left corner became the origin, and the
  // pins lie 5 mm beyond its lower and upper edges.
  std::vector<std::string> notices;
  const auto outline =
      copper_extents(read_gerber_file(folder + "/clockblock-Edge_Cuts.gbr", notices));
  ASSERT_TRUE(outline.has_value());
  EXPECT_NEAR(axis, (outline->xmax - outline->xmin) / 2, kNear);
  EXPECT_NEAR(top[0].y, -kPinMargin, kNear);
  EXPECT_NEAR(top[1].y, outline->ymax - outline->ymin + kPinMargin, kNear);
  const Plan file = read_excellon_file(folder + "/clockblock.drl");
  size_t found = 0;
  for (const PlanHole& hole : file.holes) {
    for (const WorkHole& made : top) {
      if (std::hypot(made.x - (hole.x - outline->xmin), made.y - (hole.y - outline->ymin)) <
          kNear) {
        ++found;
        break;
      }
    }
  }
  EXPECT_EQ(found, file.holes.size());
}

TEST(Board, EveryBoardFitsTheTravelWithoutTheLimitQuestion) {
  for (const auto& entry : kRoles) {
    if (entry.first == "clockblock") continue;  // larger than the travel: refused below
    for (BoardSide side : {BoardSide::kTop, BoardSide::kBottom}) {
      BoardRig rig;
      rig.open(board_folder(entry.first), side, true);
      rig.drilling_modes();
      const JobPlan plan = dry_run(rig.form, rig.session.context(), JobButton::kDrill);
      EXPECT_EQ(plan.error, "") << entry.first;
      EXPECT_EQ(limit_question(plan), "") << entry.first;
      EXPECT_EQ(plan.limit_warnings, 0) << entry.first;
      EXPECT_GE(plan.work_extents.min_x, -kNear) << entry.first;
      EXPECT_LE(plan.work_extents.max_x, kTravelLimit) << entry.first;
    }
  }
}

// Draws the side's copper and drills it on one rig; the share of plated holes whose centre
// the ink covers.
double plated_holes_in_ink(const std::string& name, BoardSide side) {
  BoardRig rig;
  rig.open(board_folder(name), side, false);
  EXPECT_EQ(rig.refusal(false), "") << name;
  const Ink ink(rig.work);
  rig.work.clear();
  EXPECT_EQ(rig.refusal(true), "") << name;
  const Board board = read_board(read_board_files(board_folder(name)));
  BoardSettings settings;
  settings.side = side;
  // Only a hole on the side's own copper, as the test's own picture of that copper shows it,
  // is this side's: a board may have the other side's pads where this side has none.
  const CopperImage image = *placed_copper(board, settings);
  CopperRaster copper(-10, -10, 110, 110);
  copper.paint(image);
  const std::vector<WorkHole>& holes = rig.work.holes();
  EXPECT_EQ(holes.size(), board.plated.size()) << name;
  int plated = 0, inked = 0;
  for (size_t k = 0; k < holes.size() && k < board.plated.size(); ++k) {
    if (!board.plated[k] || !copper.at_mm(holes[k].x, holes[k].y)) continue;
    ++plated;
    inked += ink.covers({holes[k].x, holes[k].y}, 0.25 + kNear) ? 1 : 0;
  }
  EXPECT_GT(plated, 0) << name;
  return plated > 0 ? static_cast<double>(inked) / plated : 0;
}

TEST(Board, PlatedHolesFallInTheInkOfTheirSide) {
  EXPECT_GE(plated_holes_in_ink("d1mini", BoardSide::kTop), 0.98);
  EXPECT_GE(plated_holes_in_ink("example_board", BoardSide::kBottom), 0.98);
  // Two of the controller's 17 plated holes on bottom copper lie in the middle of pads whose
  // inmost marker pass stays more than the marker's radius from the centre: the marker plan's
  // filling, not the placement, which the other two boards hold to 98 %.
  EXPECT_GE(plated_holes_in_ink("controller", BoardSide::kBottom), 0.85);
}

TEST(Board, FolderAndArchiveGiveTheSameTrace) {
  const std::string folder = board_folder("controller");
  const TempZip zip(folder_files(folder, ""));
  std::vector<uint8_t> from_folder, from_zip;
  drilled(folder, BoardSide::kBottom, true, &from_folder);
  drilled(zip.path(), BoardSide::kBottom, true, &from_zip);
  ASSERT_FALSE(from_folder.empty());
  EXPECT_TRUE(from_folder == from_zip);
}

TEST(Board, BadBoardsAreRefusedBeforeAnythingMoves) {
  const std::string clock = board_folder("clockblock");
  const auto clock_files = folder_files(clock, "");
  auto two_bottoms = clock_files;
  for (const auto& [name, data] : clock_files) {
    if (name == "clockblock-B_Cu.gbr") two_bottoms.emplace_back("copy-B_Cu.gbr", data);
  }
  const TempZip doubled(two_bottoms);
  const TempZip masks(Files{{"board-F_Mask.gbr", "%FSLAX34Y34*%\nM02*\n"}});
  const TempZip climbing(Files{{"../clockblock.drl", clock_files.front().second}});
  const TempFile not_zip("board.zip", "no archive");
  const struct {
    std::string path;
    bool pins;
    std::string offset;
    BoardSide side;
    std::string message;
  } cases[] = {
      {doubled.path(), false, "0", BoardSide::kBottom, "Два файла с ролью «Низ»"},
      {masks.path(), false, "0", BoardSide::kTop, "В плате нет ни файла меди, ни файла сверловки"},
      {climbing.path(), false, "0", BoardSide::kTop, "Имя в архиве платы выходит за его пределы"},
      {not_zip.path(), false, "0", BoardSide::kTop, "Архив платы повреждён"},
      {clock, false, "0", BoardSide::kBottom, "Плата не помещается в рабочее поле: X до"},
      {clock, false, "0", BoardSide::kTop, "На плате нет меди стороны «Верх»"},
  };
  for (const auto& c : cases) {
    for (bool drill_job : {false, true}) {
      if (c.message.rfind("На плате нет меди", 0) == 0 && drill_job) continue;
      BoardRig rig;
      rig.open(c.path, c.side, c.pins);
      rig.form.set_text(kBoardOffsetX, c.offset);
      const std::string refusal = rig.refusal(drill_job);
      EXPECT_EQ(refusal.rfind(c.message, 0), 0u) << refusal;
      EXPECT_EQ(rig.machine.motor_count(1), 0) << c.message;
      EXPECT_EQ(rig.machine.motor_count(3), 0) << c.message;
    }
  }
}

TEST(Board, TheOperatorsRoleWinsOverTheFoundOne) {
  // The outline left out, the board is placed by its copper and holes alone.
  BoardRig rig;
  rig.roomy();
  rig.open(board_folder("clockblock"), BoardSide::kTop, false);
  rig.form.set_text(kBoardRoles, roles_text({{"clockblock-Edge_Cuts.gbr", BoardRole::kIgnored},
                                             {"clockblock-NPTH.drl", BoardRole::kIgnored}}));
  ASSERT_EQ(rig.refusal(true), "");
  double xmin = INFINITY, ymin = INFINITY;
  for (const WorkHole& h : rig.work.holes()) {
    xmin = std::min(xmin, h.x);
    ymin = std::min(ymin, h.y);
  }
  EXPECT_EQ(rig.work.holes().size(),
            read_excellon_file(board_folder("clockblock") + "/clockblock.drl").holes.size());
  // The copper lies beyond the holes, so the lowest hole is off the origin, but not far.
  EXPECT_GE(xmin, -kNear);
  EXPECT_GE(ymin, -kNear);
  EXPECT_LT(std::min(xmin, ymin), 5);
}

}  // namespace
}  // namespace zor::testing
