// The transforms of SVG: an affine map (a c e / b d f) and the `transform` attribute's list.
#pragma once

#include <optional>
#include <string_view>

#include "plan/plan.h"

namespace zor::svg {

struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  PlanPoint apply(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
  // This map after `inner`: points go through `inner` first.
  Affine operator*(const Affine& inner) const;
  // The largest stretch the map gives a length; a curve flattened to `t` / stretch in the
  // element's own units is within `t` after the map.
  double stretch() const;
  bool finite() const;
};

Affine translation(double x, double y);
Affine scaling(double x, double y);
Affine rotation(double degrees);

// The list "matrix(...) translate(...) ..." as one map; nothing when the list is malformed,
// which the caller reads as no transform at all, as a style sheet drops a bad value.
std::optional<Affine> parse_transform(std::string_view text);

}  // namespace zor::svg
