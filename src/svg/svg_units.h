// Lengths with their units, and the viewport of an `svg` element: its size in millimetres at
// 96 px to the inch, and the map of its viewBox into that size (preserveAspectRatio).
#pragma once

#include <optional>
#include <string_view>

#include "svg/svg_transform.h"

namespace zor::svg {

inline constexpr double kMmPerPx = 25.4 / 96;

// A length in user units (px): "12", "12px", "3mm", "1in", "2pt"; a percentage of `reference`.
// Nothing when the text is no length (em and ex taken at 16 px).
std::optional<double> length_px(std::string_view text, double reference = 0);

struct ViewBox {
  double x = 0, y = 0, width = 0, height = 0;
};
std::optional<ViewBox> parse_view_box(std::string_view text);

// The map from viewBox units into a viewport of `width` x `height` user units at x, y.
Affine view_box_map(const ViewBox& box, std::string_view preserve_aspect_ratio, double x, double y,
                    double width, double height);

}  // namespace zor::svg
