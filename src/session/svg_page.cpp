#include "session/svg_page.h"

#include <utility>

#include "common/decimal.h"
#include "svg/svg_plan.h"

namespace zor {

Plan svg_page_plan(Env& env, const std::string& path, bool drill) {
  svg::PlanOptions options;
  options.drill = drill;
  options.fill = env.form.checked(kFillBox);
  // The marker box as the Gerber page reads it: tenths of a mm.
  options.marker_diameter_mm = text_to_double(env.form.text("d_mark")) / 10;
  options.colours_off = env.form.unchecked_items(kColourList);
  svg::SvgPlan read = svg::read_svg_plan(path, options);
  env.form.set_items(kColourList, read.colours);
  return std::move(read.plan);
}

}  // namespace zor
