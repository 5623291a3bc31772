#include "session/full_reading.h"

#include <algorithm>
#include <cmath>

#include "common/decimal.h"
#include "common/text_file.h"
#include "dxf/dxf_file.h"
#include "dxf/dxf_full_reader.h"
#include "dxf/dxf_preview.h"
#include "gerber/excellon_reader.h"
#include "gerber/file_kind.h"
#include "gerber/gerber_reader.h"
#include "motion/working_modes.h"
#include "plan/marker_plan.h"
#include "plan/path_joining.h"
#include "plan/plan_job.h"
#include "plan/plan_order.h"
#include "plan/plan_preview.h"
#include "session/svg_page.h"
#include "svg/svg_plan.h"

namespace zor {
namespace {

constexpr int kDxfPage = 0;
constexpr const char* kGerberFile = "Edit15";
constexpr const char* kNoHolesInGerber =
    "В файле Gerber нет отверстий: для сверления выберите файл сверловки";

// The Gerber page's file when it exists; otherwise the fixed reading's report.
std::optional<std::string> gerber_path_or_report(Env& env) {
  std::string name = env.form.text(kGerberFile);
  if (file_exists(name)) return name;
  env.dialogs.message(kNoSuchFile);
  env.form.focus(kGerberFile);
  return std::nullopt;
}

// The marker's diameter in mm: the box's text read as the fixed reading reads it, / 10.
double marker_diameter(const Form& form) {
  return text_to_double(form.text("d_mark")) / 10;
}

Plan gerber_page_plan(Env& env, const std::string& path, bool drill) {
  Plan plan;
  if (detect_file_kind_file(path) == FileKind::kExcellon) {
    plan = read_excellon_file(path);
    if (!drill) {
      // Drawn, a drill file marks each hole's centre with a dot of the marker.
      for (const PlanHole& hole : plan.holes) plan.paths.push_back({{{hole.x, hole.y}}});
    }
    return plan;
  }
  std::vector<std::string> notices;
  const CopperImage image = read_gerber_file(path, notices);
  if (drill) {
    notices.emplace_back(kNoHolesInGerber);
    env.dialogs.message(kNoHolesInGerber);
  } else {
    plan = marker_plan(image, marker_diameter(env.form));
    // Passes that meet end to end are drawn with one lowering, as a drawing's pieces are.
    join_paths(plan.paths, DxfFullOptions{}.join_tolerance_mm);
  }
  plan.notices.insert(plan.notices.begin(), notices.begin(), notices.end());
  return plan;
}

// "Оптимизировать порядок": the plan's paths and holes in a short order from where the tool
// stands; the dropped repeats are told with the reader's notices.
void order_if_asked(Env& env, Plan& plan) {
  if (!env.form.checked(kOptimizeOrderBox)) return;
  optimize_plan(plan, {env.ctx.machine.pos_x, env.ctx.machine.pos_y},
                returning_limits(env.form.checked("CB_vozvrat")));
}

void keep_notices(const Plan& plan, JobNotes& notes) {
  notes.notices.insert(notes.notices.end(), plan.notices.begin(), plan.notices.end());
}

}  // namespace

bool full_reading(const Form& form) {
  return form.checked(kFullReadingBox);
}

std::optional<Plan> page_plan(Env& env, bool drill) {
  if (env.form.index("PageControl2") == kDxfPage) {
    const auto path = dxf_path_or_report(env.form, env.dialogs);
    if (!path) return std::nullopt;
    if (svg::is_svg_path(*path)) return svg_page_plan(env, *path, drill);
    return read_dxf_plan(*path);
  }
  const auto path = gerber_path_or_report(env);
  if (!path) return std::nullopt;
  return gerber_page_plan(env, *path, drill);
}

void full_draw(Env& env, JobNotes& notes) {
  get_rejim(env.form, env.ctx.modes);
  refuse_too_fast_speeds(env.form, env.ctx);
  std::optional<Plan> plan = page_plan(env, false);
  if (!plan) return;
  order_if_asked(env, *plan);
  keep_notices(*plan, notes);
  draw_plan(env, *plan);
}

void full_drill(Env& env, JobNotes& notes) {
  const bool dxf = env.form.index("PageControl2") == kDxfPage;
  // The drawing's points are measured from where the tool stands, as in the fixed job.
  if (dxf) {
    env.ctx.machine.pos_x = 0;
    env.ctx.machine.pos_y = 0;
  }
  get_rejim(env.form, env.ctx.modes);
  read_drill_depth(env.form, env.ctx.modes);
  refuse_too_fast_speeds(env.form, env.ctx);
  std::optional<Plan> plan = page_plan(env, true);
  if (!plan) return;
  order_if_asked(env, *plan);
  keep_notices(*plan, notes);
  notes.tool_changes = drill_plan(env, *plan);
  const WorkingModes& modes = env.ctx.modes;
  env.moves.down_up(modes.z_idle, modes.speed_z_up);
}

void full_preview(Env& env) {
  const bool dxf = env.form.index("PageControl2") == kDxfPage;
  const std::optional<Plan> plan = page_plan(env, false);
  if (!plan) return;
  env.preview.show();
  Canvas& canvas = env.preview.picture();
  canvas.fill(kWhite);
  const std::optional<PlanExtents> extents = plan_extents(*plan);
  PlanView view;
  if (dxf) {
    // The DXF page's rules: the typed whole scale, or "Auto" fitting the drawing and the
    // origin; the origin's row 50 pixels above the window's outer bottom.
    view.scale = read_zoom(env.form);
    PlanExtents box{0, 0, 0, 0};
    if (extents) {
      box = {std::min(extents->xmin, 0.0), std::min(extents->ymin, 0.0),
             std::max(extents->xmax, 0.0), std::max(extents->ymax, 0.0)};
    }
    if (env.form.checked("C_autozoom")) {
      const double span_x = std::trunc(box.xmax) - std::trunc(box.xmin) + 12;
      const double span_y = std::trunc(box.ymax) - std::trunc(box.ymin) + 12;
      view.scale = std::floor(std::min(canvas.width() / span_x, canvas.height() / span_y));
      view.x0 = -std::trunc(box.xmin) * view.scale;
      view.y0 = env.preview.outer_height() - 50 + std::trunc(box.ymin) * view.scale;
    } else {
      view.y0 = env.preview.outer_height() - 50;
    }
    paint_plan(canvas, *plan, view, kBlack);
  } else if (extents) {
    view = fit_view(*extents, canvas.width(), canvas.height(), 12);
    paint_plan(canvas, *plan, view, kPass);
  }
  env.preview.set_note(extents ? extents_text(*extents) : std::string());
}

}  // namespace zor
