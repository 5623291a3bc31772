#include "board/board.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "common/error.h"
#include "gerber/excellon_reader.h"
#include "gerber/file_kind.h"
#include "gerber/gerber_reader.h"

namespace zor {
namespace {

// Two drills closer than this are one drill of the machine.
constexpr double kSameDiameter = 1e-4;

FileKind kind_of(const BoardFile& file) {
  std::istringstream in(file.data);
  return detect_file_kind(in);
}

void prefixed(std::vector<std::string>& out, const std::string& name,
              const std::vector<std::string>& notices) {
  for (const std::string& n : notices) out.push_back(name + ": " + n);
}

CopperImage read_layer(const BoardFile& file, Board& board) {
  if (kind_of(file) != FileKind::kGerber) {
    throw Error("Файл " + file.name + " не похож на файл Gerber: выберите для него другую роль");
  }
  std::istringstream in(file.data);
  std::vector<std::string> notices;
  CopperImage image = read_gerber(in, notices);
  prefixed(board.notices, file.name, notices);
  return image;
}

// The file's holes merged into the board's drills, tool by tool in the order drills appear.
void add_drill(const BoardFile& file, Board& board, std::vector<std::vector<size_t>>& by_tool,
               std::vector<bool>& plated_by_hole, std::vector<PlanHole>& holes) {
  if (kind_of(file) != FileKind::kExcellon) {
    throw Error("Файл " + file.name + " не похож на файл сверловки: выберите для него другую роль");
  }
  std::istringstream in(file.data);
  const Plan plan = read_excellon(in);
  prefixed(board.notices, file.name, plan.notices);
  const bool plated = plated_drill_file(file);
  std::vector<size_t> merged(plan.tools.size());
  for (size_t t = 0; t < plan.tools.size(); ++t) {
    size_t k = 0;
    while (k < board.drill.tools.size() &&
           std::fabs(board.drill.tools[k].diameter - plan.tools[t].diameter) > kSameDiameter) {
      ++k;
    }
    if (k == board.drill.tools.size()) {
      board.drill.tools.push_back({static_cast<int>(k) + 1, plan.tools[t].diameter});
      by_tool.emplace_back();
    }
    merged[t] = k;
  }
  for (const PlanHole& hole : plan.holes) {
    if (hole.tool >= merged.size()) continue;
    by_tool[merged[hole.tool]].push_back(holes.size());
    holes.push_back({hole.x, hole.y, merged[hole.tool]});
    plated_by_hole.push_back(plated);
  }
}

std::string both(const std::string& a, const std::string& b) {
  return a + " и " + b;
}

PlanPoint mirrored_about(double axis_sum, PlanPoint p, bool mirror) {
  return mirror ? PlanPoint{axis_sum - p.x, p.y} : p;
}

}  // namespace

const char* side_title(BoardSide side) {
  return side == BoardSide::kBottom ? "Низ" : "Верх";
}

std::vector<BoardLayerFile> board_roles(const std::vector<BoardFile>& files,
                                        const std::map<std::string, BoardRole>& chosen) {
  std::vector<BoardLayerFile> out;
  for (const BoardFile& file : files) {
    const auto it = chosen.find(file.name);
    out.push_back({file.name, it != chosen.end() ? it->second : detect_role(file)});
  }
  return out;
}

Board read_board(const std::vector<BoardFile>& files,
                 const std::map<std::string, BoardRole>& chosen) {
  Board board;
  board.files = board_roles(files, chosen);
  const BoardFile* single[3] = {nullptr, nullptr, nullptr};  // top, bottom, outline
  bool drills = false;
  for (size_t k = 0; k < files.size(); ++k) {
    const BoardRole role = board.files[k].role;
    if (role == BoardRole::kDrill) drills = true;
    if (role != BoardRole::kTop && role != BoardRole::kBottom && role != BoardRole::kOutline)
      continue;
    const BoardFile*& slot = single[static_cast<int>(role)];
    if (slot != nullptr) {
      throw Error(std::string("Два файла с ролью «") + role_title(role) +
                  "»: " + both(slot->name, files[k].name) + ". Оставьте этой роли один файл");
    }
    slot = &files[k];
  }
  if (single[0] == nullptr && single[1] == nullptr && !drills) {
    throw Error("В плате нет ни файла меди, ни файла сверловки");
  }
  if (single[0] != nullptr) board.top = read_layer(*single[0], board);
  if (single[1] != nullptr) board.bottom = read_layer(*single[1], board);
  if (single[2] != nullptr) board.outline = read_layer(*single[2], board);

  std::vector<std::vector<size_t>> by_tool;
  std::vector<bool> plated_by_hole;
  std::vector<PlanHole> holes;
  for (size_t k = 0; k < files.size(); ++k) {
    if (board.files[k].role == BoardRole::kDrill)
      add_drill(files[k], board, by_tool, plated_by_hole, holes);
  }
  for (const std::vector<size_t>& tool : by_tool) {
    for (size_t h : tool) {
      board.drill.holes.push_back(holes[h]);
      board.plated.push_back(plated_by_hole[h]);
    }
  }

  std::optional<PlanExtents> box;
  if (board.outline) box = copper_extents(*board.outline);
  board.has_outline = box.has_value();
  if (!box) {
    if (board.outline) {
      board.notices.push_back(single[2]->name +
                              ": контур пуст, плата размещена по меди и отверстиям");
    }
    for (const auto* layer : {&board.top, &board.bottom}) {
      if (!*layer) continue;
      if (const auto e = copper_extents(**layer)) {
        extend_extents(box, e->xmin, e->ymin);
        extend_extents(box, e->xmax, e->ymax);
      }
    }
    for (const PlanHole& hole : board.drill.holes) extend_extents(box, hole.x, hole.y);
  }
  if (!box) throw Error("В файлах платы нет ни одной точки меди, контура или отверстия");
  board.extents = *box;
  return board;
}

PlanPoint BoardPlacement::place(PlanPoint p) const {
  const PlanPoint m = mirrored_about(extents.xmin + extents.xmax, p, mirrored);
  return {m.x + offset_x, m.y + offset_y};
}

BoardPlacement board_placement(const Board& board, const BoardSettings& settings) {
  BoardPlacement placement;
  placement.extents = board.extents;
  placement.mirrored = settings.side == BoardSide::kBottom;
  // Mirrored about its centre line the board keeps its rectangle, so one shift serves both.
  placement.offset_x = settings.offset_x - board.extents.xmin;
  placement.offset_y = settings.offset_y - board.extents.ymin;
  return placement;
}

std::vector<PlanPoint> board_pins(const Board& board, const BoardSettings& settings) {
  if (!settings.pins) return {};
  const PlanExtents& e = board.extents;
  const double x = (e.xmax - e.xmin) / 2 + settings.offset_x;
  return {{x, settings.offset_y - kPinMargin},
          {x, settings.offset_y + (e.ymax - e.ymin) + kPinMargin}};
}

CopperImage placed_image(const CopperImage& source, const BoardPlacement& placement) {
  CopperImage image = source;
  for (CopperObject& object : image.objects) {
    for (PlanPoint& p : object.line) p = placement.place(p);
    for (auto& ring : object.rings) {
      for (PlanPoint& p : ring) {
        // A sweep's aperture outline is centred on 0,0: mirrored, never moved.
        p = object.kind == CopperObject::Kind::kSweep ? mirrored_about(0, p, placement.mirrored)
                                                      : placement.place(p);
      }
      // A mirror turns a ring's sense; turned back, outlines and holes keep their meaning.
      if (placement.mirrored) std::reverse(ring.begin(), ring.end());
    }
  }
  return image;
}

std::optional<CopperImage> placed_copper(const Board& board, const BoardSettings& settings) {
  const std::optional<CopperImage>& own =
      settings.side == BoardSide::kBottom ? board.bottom : board.top;
  if (!own) return std::nullopt;
  return placed_image(*own, board_placement(board, settings));
}

Plan board_drill_plan(const Board& board, const BoardSettings& settings) {
  Plan plan;
  const std::vector<PlanPoint> pins = board_pins(board, settings);
  if (!pins.empty()) {
    plan.tools.push_back({1, *settings.pins});
    for (const PlanPoint& p : pins) plan.holes.push_back({p.x, p.y, 0});
  }
  const size_t first = plan.tools.size();
  for (const PlanTool& tool : board.drill.tools) {
    plan.tools.push_back({static_cast<int>(plan.tools.size()) + 1, tool.diameter});
  }
  const BoardPlacement placement = board_placement(board, settings);
  for (const PlanHole& hole : board.drill.holes) {
    const PlanPoint p = placement.place({hole.x, hole.y});
    plan.holes.push_back({p.x, p.y, hole.tool + first});
  }
  plan.notices = board.notices;
  return plan;
}

PlanExtents placed_extents(const Board& board, const BoardSettings& settings) {
  const PlanExtents& e = board.extents;
  std::optional<PlanExtents> box;
  extend_extents(box, settings.offset_x, settings.offset_y);
  extend_extents(box, settings.offset_x + (e.xmax - e.xmin), settings.offset_y + (e.ymax - e.ymin));
  for (const PlanPoint& p : board_pins(board, settings)) extend_extents(box, p.x, p.y);
  return *box;
}

}  // namespace zor

namespace zor {

BoardSummary board_summary(const Board& board, const BoardSettings& settings) {
  const BoardPlacement placement = board_placement(board, settings);
  return {board.files,        board.extents,      placement.offset_x,
          placement.offset_y, placement.mirrored, board_pins(board, settings)};
}

std::string board_work_order(const Board& board, const BoardSettings& settings) {
  std::vector<std::string> steps;
  if (!board.drill.holes.empty() || settings.pins) steps.emplace_back("Сверловка");
  if (board.top) steps.emplace_back("Верх");
  if (board.bottom) {
    if (!steps.empty()) steps.emplace_back("Переверните плату вокруг оси штифтов");
    steps.emplace_back("Низ");
  }
  std::string line;
  for (size_t k = 0; k < steps.size(); ++k) {
    line += (k ? "  " : "") + std::to_string(k + 1) + ". " + steps[k];
  }
  return line;
}

}  // namespace zor
