// Only with the XML library: the shapes are read from its elements.
#ifdef ZOR_HAVE_PUGIXML
#include "svg/svg_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "svg/svg_numbers.h"
#include "svg/svg_path_data.h"
#include "svg/svg_units.h"

namespace zor::svg {
namespace {

// Clockwise on screen from the top edge, each corner a quarter of an ellipse.
void rounded_rect(double x, double y, double w, double h, double rx, double ry, Outline& out) {
  out.move_to(x + rx, y);
  out.line_to(x + w - rx, y);
  out.arc_to(rx, ry, 0, false, true, x + w, y + ry);
  out.line_to(x + w, y + h - ry);
  out.arc_to(rx, ry, 0, false, true, x + w - rx, y + h);
  out.line_to(x + rx, y + h);
  out.arc_to(rx, ry, 0, false, true, x, y + h - ry);
  out.line_to(x, y + ry);
  out.arc_to(rx, ry, 0, false, true, x + rx, y);
  out.close();
}

bool points_shape(const char* text, bool close, Outline& out) {
  NumberScan scan(text);
  bool first = true;
  for (;;) {
    const auto x = scan.number();
    if (!x) break;
    const auto y = scan.number();
    if (!y) return false;
    if (first) {
      out.move_to(*x, *y);
    } else {
      out.line_to(*x, *y);
    }
    first = false;
  }
  if (close) out.close();
  scan.skip_space();
  return scan.at_end();
}

}  // namespace

double length_attribute(const pugi::xml_node& node, const char* name, double reference,
                        double fallback) {
  const pugi::xml_attribute a = node.attribute(name);
  if (!a) return fallback;
  const auto px = length_px(a.value(), reference);
  return px && std::isfinite(*px) ? *px : fallback;
}

ShapeRead read_shape(const pugi::xml_node& node, const Viewport& vp, Outline& out) {
  const char* name = node.name();
  const double diagonal = std::hypot(vp.width, vp.height) / std::sqrt(2.0);
  auto len = [&](const char* attribute, double reference) {
    return length_attribute(node, attribute, reference);
  };
  if (std::strcmp(name, "path") == 0) {
    return read_path_data(node.attribute("d").value(), out) ? ShapeRead::kDrawn
                                                            : ShapeRead::kBroken;
  }
  if (std::strcmp(name, "rect") == 0) {
    const double x = len("x", vp.width), y = len("y", vp.height);
    const double w = len("width", vp.width), h = len("height", vp.height);
    if (!(w > 0) || !(h > 0)) return ShapeRead::kDrawn;  // not rendered
    double rx = len("rx", vp.width), ry = len("ry", vp.height);
    const bool has_rx = node.attribute("rx") && rx > 0, has_ry = node.attribute("ry") && ry > 0;
    if (!has_rx) rx = has_ry ? ry : 0;
    if (!has_ry) ry = has_rx ? rx : 0;
    rx = std::min(std::max(rx, 0.0), w / 2);
    ry = std::min(std::max(ry, 0.0), h / 2);
    if (rx > 0 && ry > 0) {
      rounded_rect(x, y, w, h, rx, ry, out);
    } else {
      out.move_to(x, y);
      out.line_to(x + w, y);
      out.line_to(x + w, y + h);
      out.line_to(x, y + h);
      out.close();
    }
    return ShapeRead::kDrawn;
  }
  if (std::strcmp(name, "circle") == 0) {
    const double r = len("r", diagonal);
    if (r > 0) out.ellipse(len("cx", vp.width), len("cy", vp.height), r, r);
    return ShapeRead::kDrawn;
  }
  if (std::strcmp(name, "ellipse") == 0) {
    double rx = len("rx", vp.width), ry = len("ry", vp.height);
    if (!node.attribute("rx")) rx = ry;
    if (!node.attribute("ry")) ry = rx;
    if (rx > 0 && ry > 0) out.ellipse(len("cx", vp.width), len("cy", vp.height), rx, ry);
    return ShapeRead::kDrawn;
  }
  if (std::strcmp(name, "line") == 0) {
    out.move_to(len("x1", vp.width), len("y1", vp.height));
    out.line_to(len("x2", vp.width), len("y2", vp.height));
    return ShapeRead::kDrawn;
  }
  if (std::strcmp(name, "polyline") == 0 || std::strcmp(name, "polygon") == 0) {
    return points_shape(node.attribute("points").value(), name[4] == 'g', out) ? ShapeRead::kDrawn
                                                                               : ShapeRead::kBroken;
  }
  return ShapeRead::kNotAShape;
}

}  // namespace zor::svg

#endif
