// What an element's presentation says for the plan: its stroke and fill (inherited down the
// tree), whether it is shown, and the text properties. Attributes first, then `style`.
#pragma once

#include <string>
#include <string_view>

namespace zor::svg {

struct Style {
  std::string stroke = "none";  // a colour as "#rrggbb", "none", or the paint as written
  std::string fill = "#000000";
  bool visible = true;    // visibility, inherited and overridable
  bool displayed = true;  // display, not inherited: a hidden parent hides all within
  double font_size = 16;  // px
  int anchor = 0;         // text-anchor: 0 start, 1 middle, 2 end
};

// One property of the element (attribute or style declaration) applied to the inherited
// style. `name` and `value` as written.
void apply_property(Style& style, std::string_view name, std::string_view value);
// The declarations of a `style` attribute, each applied.
void apply_style_attribute(Style& style, std::string_view text);

// "#abc", "#aabbcc", "rgb(1,2,3)", "red" as "#rrggbb"; anything else lower-cased as written.
std::string colour_name(std::string_view value);

}  // namespace zor::svg
