#include "session/board_job.h"

#include <filesystem>
#include <sstream>

#include "board/board_files.h"
#include "board/board_preview.h"
#include "common/decimal.h"
#include "common/error.h"
#include "motion/working_modes.h"
#include "plan/marker_plan.h"
#include "plan/plan_job.h"
#include "plan/plan_order.h"
#include "plan/plan_preview.h"

namespace zor {
namespace {

constexpr const char* kBoardFilter =
    "архив платы ZIP|*.zip|любой файл платы (берётся его папка)|*.*|";

double number_box(const Form& form, const char* box, double empty_value) {
  const std::string text = form.text(box);
  if (text.empty()) return empty_value;
  return text_to_double(text);
}

void refuse_beyond_limits(const Env& env, const Board& board, const BoardSettings& settings) {
  const PlanExtents e = placed_extents(board, settings);
  const auto& limit = env.ctx.machine.travel_limit;
  std::string beyond;
  const auto check = [&](const char* axis, double place, int32_t most) {
    if (!(place > most)) return;
    beyond += (beyond.empty() ? "" : ", ") + std::string(axis) + " до " +
              format_currency(round_even(place * 10) / 10) + " мм (предел " + std::to_string(most) +
              ")";
  };
  check("X", e.xmax, limit[kAxisX]);
  check("Y", e.ymax, limit[kAxisY]);
  if (!beyond.empty()) {
    throw MotionRefused("Плата не помещается в рабочее поле: " + beyond +
                        ". Уменьшите смещение или выберите плату меньше");
  }
}

double marker_diameter(const Form& form) {
  return text_to_double(form.text("d_mark")) / 10;
}

}  // namespace

bool board_page(const Form& form) {
  return form.index("PageControl2") == kBoardPage;
}

BoardSettings board_settings(const Form& form) {
  BoardSettings s;
  s.side = form.index(kBoardSide) == 1 ? BoardSide::kBottom : BoardSide::kTop;
  s.offset_x = number_box(form, kBoardOffsetX, 0);
  s.offset_y = number_box(form, kBoardOffsetY, 0);
  if (form.checked(kBoardPins)) {
    const double d = number_box(form, kBoardPinDiameter, 3);
    if (!(d > 0)) throw ConversionError("Диаметр штифтов должен быть больше нуля");
    s.pins = d;
  }
  return s;
}

std::map<std::string, BoardRole> chosen_roles(const Form& form) {
  return roles_from_text(form.text(kBoardRoles));
}

std::map<std::string, BoardRole> roles_from_text(const std::string& text) {
  std::map<std::string, BoardRole> roles;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t tab = line.rfind('\t');
    if (tab == std::string::npos) continue;
    if (auto role = role_from_word(line.substr(tab + 1))) roles[line.substr(0, tab)] = *role;
  }
  return roles;
}

std::string roles_text(const std::map<std::string, BoardRole>& roles) {
  std::string text;
  for (const auto& [name, role] : roles) text += name + "\t" + role_word(role) + "\n";
  return text;
}

Board page_board(const Form& form) {
  const std::string path = form.text(kBoardPath);
  if (path.empty()) throw IoError("Выберите папку или архив .zip платы");
  return read_board(read_board_files(path), chosen_roles(form));
}

void board_draw(Env& env, JobNotes& notes) {
  get_rejim(env.form, env.ctx.modes);
  refuse_too_fast_speeds(env.form, env.ctx);
  const BoardSettings settings = board_settings(env.form);
  const Board board = page_board(env.form);
  notes.board = board_summary(board, settings);
  const std::optional<CopperImage> copper = placed_copper(board, settings);
  if (!copper) {
    throw Error(std::string("На плате нет меди стороны «") + side_title(settings.side) + "»");
  }
  refuse_beyond_limits(env, board, settings);
  Plan plan = marker_plan(*copper, marker_diameter(env.form));
  plan.notices.insert(plan.notices.begin(), board.notices.begin(), board.notices.end());
  if (env.form.checked(kOptimizeOrderBox)) {
    optimize_plan(plan, {env.ctx.machine.pos_x, env.ctx.machine.pos_y});
  }
  notes.notices.insert(notes.notices.end(), plan.notices.begin(), plan.notices.end());
  draw_plan(env, plan);
}

void board_drill(Env& env, JobNotes& notes) {
  get_rejim(env.form, env.ctx.modes);
  read_drill_depth(env.form, env.ctx.modes);
  refuse_too_fast_speeds(env.form, env.ctx);
  const BoardSettings settings = board_settings(env.form);
  const Board board = page_board(env.form);
  notes.board = board_summary(board, settings);
  Plan plan = board_drill_plan(board, settings);
  if (plan.holes.empty())
    throw Error("На плате нет отверстий: включите «Штифты» или выберите файл сверловки");
  refuse_beyond_limits(env, board, settings);
  if (env.form.checked(kOptimizeOrderBox)) {
    optimize_plan(plan, {env.ctx.machine.pos_x, env.ctx.machine.pos_y});
  }
  notes.notices.insert(notes.notices.end(), plan.notices.begin(), plan.notices.end());
  notes.tool_changes = drill_plan(env, plan);
  const WorkingModes& modes = env.ctx.modes;
  env.moves.down_up(modes.z_idle, modes.speed_z_up);
}

void board_preview(Env& env) {
  const BoardSettings settings = board_settings(env.form);
  const Board board = page_board(env.form);
  env.preview.show();
  const auto& limit = env.ctx.machine.travel_limit;
  paint_board(env.preview.picture(), board, settings, limit[kAxisX], limit[kAxisY]);
  env.preview.set_note(board_work_order(board, settings));
}

void board_choose(Env& env) {
  const auto chosen = env.dialogs.open_file(kBoardFilter);
  if (!chosen) return;
  std::error_code ec;
  std::string path = *chosen;
  if (!is_zip_name(path) && !std::filesystem::is_directory(path, ec)) {
    path = std::filesystem::path(path).parent_path().string();
  }
  env.form.set_text(kBoardPath, path);
  env.form.set_text(kBoardRoles, "");
  board_preview(env);
}

}  // namespace zor
