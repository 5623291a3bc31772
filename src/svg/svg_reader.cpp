#include "svg/svg_reader.h"

#include "common/input_file.h"

#ifdef ZOR_HAVE_PUGIXML

#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <utility>

#include "common/error.h"
#include "common/input_file.h"
#include "svg/svg_shapes.h"
#include "svg/svg_style.h"
#include "svg/svg_units.h"

namespace zor::svg {
namespace {

constexpr const char* kEntitiesSkipped =
    "Сущности XML (<!ENTITY>) не раскрываются: ссылки на них пропущены";
constexpr const char* kExternalSkipped = "Ссылки на другие файлы (use) не читаются: пропущены";
constexpr const char* kUseLoop = "Элемент use ссылается на себя или на свой контейнер: пропущен";
constexpr const char* kBadTransform =
    "Преобразование с нулевым или бесконечным масштабом: фигура пропущена";
constexpr const char* kBrokenData = "Ошибка в данных фигуры: фигура нарисована до ошибки";
constexpr const char* kTooManyPoints = "Чертёж слишком велик: точки сверх 8 млн пропущены";
constexpr const char* kTooManyElements = "Чертёж слишком велик: элементы сверх 2 млн пропущены";
constexpr const char* kTooDeep = "Вложенность элементов глубже 200: глубже не читается";
constexpr const char* kNotSvg = "Это не рисунок SVG: нет элемента svg";

// Elements that hold what is never drawn by itself.
bool never_drawn(const char* name) {
  static const char* const kNames[] = {
      "defs",           "symbol",         "clipPath",      "mask",  "marker", "pattern",
      "linearGradient", "radialGradient", "style",         "title", "desc",   "metadata",
      "script",         "filter",         "foreignObject", "font",  "cursor", "view"};
  for (const char* n : kNames) {
    if (std::strcmp(name, n) == 0) return true;
  }
  return false;
}

bool is_group(const char* name) {
  return std::strcmp(name, "g") == 0 || std::strcmp(name, "a") == 0 ||
         std::strcmp(name, "switch") == 0;
}

// The local name of an SVG element written with the prefix ("svg:path" is a path); the names
// of other vocabularies (the editors' own) keep their prefix and match nothing.
const char* local(const char* name) {
  if (std::strncmp(name, "svg:", 4) == 0) return name + 4;
  return name;
}

struct State {
  Style style;
  Affine map;  // element units to machine mm
  Viewport viewport;
  size_t layer = 0;
};

class Walker {
 public:
  Walker(Reading& out, const ReadLimits& limits)
      : out_(out), limits_(limits), budget_(limits.max_points) {}

  void document(const pugi::xml_document& doc) {
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
      if (n.type() == pugi::node_doctype && std::strstr(n.value(), "ENTITY") != nullptr) {
        notice(kEntitiesSkipped);
      }
    }
    const pugi::xml_node root = doc.document_element();
    if (!root || std::strcmp(local(root.name()), "svg") != 0) {
      notice(kNotSvg);
      return;
    }
    index_ids(root);
    // The page's size as it prints; without width or height the viewBox's, in px.
    const auto box = parse_view_box(root.attribute("viewBox").value());
    const double w = length_attribute(root, "width", 0, box ? box->width : 0);
    const double h = length_attribute(root, "height", 0, box ? box->height : 0);
    State s;
    // px to mm, Y turned about the page's top edge so the page's foot lies on y = 0.
    s.map = Affine{kMmPerPx, 0, 0, -kMmPerPx, 0, h * kMmPerPx};
    if (box && w > 0 && h > 0) {
      s.map = s.map * view_box_map(*box, root.attribute("preserveAspectRatio").value(), 0, 0, w, h);
      s.viewport = {box->width, box->height};
    } else {
      s.viewport = {w, h};
    }
    styled(root, s);
    children(root, s, 1);
    skipped_kinds();
  }

 private:
  void notice(const std::string& text) {
    for (const std::string& n : out_.notices) {
      if (n == text) return;
    }
    out_.notices.push_back(text);
  }

  void index_ids(const pugi::xml_node& root) {
    for (pugi::xml_node n = root; n;) {
      if (const pugi::xml_attribute id = n.attribute("id")) ids_.emplace(id.value(), n);
      if (n.first_child()) {
        n = n.first_child();
        continue;
      }
      while (n && n != root && !n.next_sibling()) n = n.parent();
      if (!n || n == root) break;
      n = n.next_sibling();
    }
  }

  // The element's own presentation over the inherited one; false when it is not displayed.
  bool styled(const pugi::xml_node& node, State& s) {
    s.style.displayed = true;
    for (const pugi::xml_attribute a : node.attributes()) {
      if (std::strcmp(a.name(), "style") != 0) apply_property(s.style, a.name(), a.value());
    }
    apply_style_attribute(s.style, node.attribute("style").value());
    if (const pugi::xml_attribute t = node.attribute("transform")) {
      const auto m = parse_transform(t.value());
      if (m) s.map = s.map * *m;
    }
    return s.style.displayed;
  }

  void children(const pugi::xml_node& node, const State& s, size_t depth) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
      if (c.type() == pugi::node_element) element(c, s, depth);
    }
  }

  void element(const pugi::xml_node& node, State s, size_t depth) {
    if (++visited_ > limits_.max_elements) {
      notice(kTooManyElements);
      return;
    }
    if (depth > limits_.max_depth) {
      notice(kTooDeep);
      return;
    }
    const char* name = local(node.name());
    if (never_drawn(name) || std::strchr(name, ':') != nullptr) return;
    if (!styled(node, s)) return;
    if (is_group(name)) {
      if (std::strcmp(node.attribute("inkscape:groupmode").value(), "layer") == 0) {
        const char* label = node.attribute("inkscape:label").value();
        out_.layers.emplace_back(*label != '\0' ? label : node.attribute("id").value());
        s.layer = out_.layers.size() - 1;
      }
      children(node, s, depth + 1);
    } else if (std::strcmp(name, "svg") == 0) {
      nested_svg(node, s, depth, s.viewport.width, s.viewport.height);
    } else if (std::strcmp(name, "use") == 0) {
      use(node, s, depth);
    } else if (std::strcmp(name, "text") == 0) {
      text(node, s);
    } else {
      shape(node, s, name);
    }
  }

  void nested_svg(const pugi::xml_node& node, State& s, size_t depth, double width, double height) {
    const double x = length_attribute(node, "x", s.viewport.width);
    const double y = length_attribute(node, "y", s.viewport.height);
    const double w = length_attribute(node, "width", s.viewport.width, width);
    const double h = length_attribute(node, "height", s.viewport.height, height);
    if (!(w > 0) || !(h > 0)) return;
    const auto box = parse_view_box(node.attribute("viewBox").value());
    if (box) {
      s.map = s.map * view_box_map(*box, node.attribute("preserveAspectRatio").value(), x, y, w, h);
      s.viewport = {box->width, box->height};
    } else {
      s.map = s.map * translation(x, y);
      s.viewport = {w, h};
    }
    children(node, s, depth + 1);
  }

  void use(const pugi::xml_node& node, State& s, size_t depth) {
    const char* href = node.attribute("href").value();
    if (*href == '\0') href = node.attribute("xlink:href").value();
    if (*href == '\0') return;
    if (*href != '#') {
      notice(kExternalSkipped);
      return;
    }
    const auto found = ids_.find(href + 1);
    if (found == ids_.end()) return;
    const pugi::xml_node target = found->second;
    // A target that holds this use, or one being drawn through a use already, never ends.
    for (pugi::xml_node up = node; up; up = up.parent()) {
      if (up == target) {
        notice(kUseLoop);
        return;
      }
    }
    for (const pugi::xml_node& open : open_uses_) {
      if (open == target) {
        notice(kUseLoop);
        return;
      }
    }
    s.map = s.map * translation(length_attribute(node, "x", s.viewport.width),
                                length_attribute(node, "y", s.viewport.height));
    open_uses_.push_back(target);
    if (std::strcmp(local(target.name()), "symbol") == 0) {
      State inner = s;
      if (styled(target, inner)) {
        const double w = length_attribute(node, "width", s.viewport.width, s.viewport.width);
        const double h = length_attribute(node, "height", s.viewport.height, s.viewport.height);
        // A symbol is a nested viewport placed at the use's origin.
        pugi::xml_node symbol = target;
        nested_symbol(symbol, inner, depth, w, h);
      }
    } else {
      element(target, s, depth + 1);
    }
    open_uses_.pop_back();
  }

  void nested_symbol(const pugi::xml_node& node, State& s, size_t depth, double w, double h) {
    if (!(w > 0) || !(h > 0)) return;
    const auto box = parse_view_box(node.attribute("viewBox").value());
    if (box) {
      s.map = s.map * view_box_map(*box, node.attribute("preserveAspectRatio").value(), 0, 0, w, h);
      s.viewport = {box->width, box->height};
    }
    children(node, s, depth + 1);
  }

  // The map checked once for an element: a zero or endless scale draws nothing sensible.
  bool usable(const Affine& map) {
    const double stretch = map.stretch();
    if (map.finite() && stretch > 0 && std::isfinite(stretch)) return true;
    notice(kBadTransform);
    return false;
  }

  void shape(const pugi::xml_node& node, const State& s, const char* name) {
    const bool stroked = s.style.stroke != "none";
    const bool filled = s.style.fill != "none";
    Outline outline(limits_.tolerance_mm / s.map.stretch(), budget_);
    // Read before the paint is judged: an unknown element is counted whatever its paint.
    if (!usable(s.map)) return;
    const ShapeRead read = read_shape(node, s.viewport, outline);
    if (read == ShapeRead::kNotAShape) {
      ++skipped_[name];
      return;
    }
    if (read == ShapeRead::kBroken) notice(kBrokenData);
    if (outline.exhausted()) notice(kTooManyPoints);
    if (!s.style.visible || (!stroked && !filled)) return;
    Shape out;
    out.stroked = stroked;
    out.filled = filled;
    out.colour = stroked ? s.style.stroke : s.style.fill;
    out.layer = s.layer;
    for (Run& run : outline.take()) {
      bool finite = true;
      for (PlanPoint& p : run.points) {
        p = s.map.apply(p.x, p.y);
        finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
      }
      if (finite) out.runs.push_back(std::move(run));
    }
    if (out.runs.empty()) return;
    if (!stroked && std::strcmp(name, "circle") == 0) {
      const double r = length_attribute(node, "r", 0);
      const PlanPoint centre = s.map.apply(length_attribute(node, "cx", s.viewport.width),
                                           length_attribute(node, "cy", s.viewport.height));
      out_.circles.push_back({centre, 2 * r * s.map.stretch(), s.layer, out.colour});
    }
    out_.shapes.push_back(std::move(out));
  }

  void text(const pugi::xml_node& node, const State& s) {
    if (!usable(s.map)) return;
    const double x = length_attribute(node, "x", s.viewport.width);
    const double y = length_attribute(node, "y", s.viewport.height);
    auto item = [&](const std::string& utf8, double at_x, double at_y, const Style& style) {
      if (utf8.find_first_not_of(" \t\r\n") == std::string::npos || !style.visible) return;
      const bool stroked = style.stroke != "none";
      if (!stroked && style.fill == "none") return;
      out_.texts.push_back({utf8, at_x, at_y, style.font_size, style.anchor, s.map,
                            stroked ? style.stroke : style.fill, s.layer});
    };
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
      if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
        item(c.value(), x, y, s.style);
      } else if (c.type() == pugi::node_element && std::strcmp(local(c.name()), "tspan") == 0) {
        State span = s;
        if (!styled(c, span)) continue;
        item(c.text().get(), length_attribute(c, "x", s.viewport.width, x),
             length_attribute(c, "y", s.viewport.height, y), span.style);
      }
    }
  }

  void skipped_kinds() {
    if (skipped_.empty()) return;
    std::string text = "пропущено:";
    const char* comma = " ";
    for (const auto& [kind, count] : skipped_) {
      text += comma + kind + " ×" + std::to_string(count);
      comma = ", ";
    }
    notice(text);
  }

  Reading& out_;
  const ReadLimits& limits_;
  size_t budget_;
  size_t visited_ = 0;
  std::unordered_map<std::string, pugi::xml_node> ids_;
  std::vector<pugi::xml_node> open_uses_;
  std::map<std::string, size_t> skipped_;
};

}  // namespace

namespace {

Reading read_document(pugi::xml_document& doc, const pugi::xml_parse_result& parsed,
                      const ReadLimits& limits) {
  Reading reading;
  if (!parsed) {
    reading.notices.push_back("Ошибка XML в байте " + std::to_string(parsed.offset) +
                              ": прочитано то, что до неё");
  }
  Walker(reading, limits).document(doc);
  return reading;
}

// Character references and the five named ones only; a DOCTYPE is kept to be told about.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_doctype;

}  // namespace

Reading read_svg(std::string_view bytes, const ReadLimits& limits) {
  pugi::xml_document doc;
  const auto parsed = doc.load_buffer(bytes.data(), bytes.size(), kParseOptions);
  return read_document(doc, parsed, limits);
}

Reading read_svg_file(const std::string& path, const ReadLimits& limits) {
  // Parsed in place: a large drawing is held once, not twice.
  std::string bytes = read_whole_file(path, kMaxSvgBytes);
  pugi::xml_document doc;
  const auto parsed = doc.load_buffer_inplace(bytes.data(), bytes.size(), kParseOptions);
  return read_document(doc, parsed, limits);
}

}  // namespace zor::svg

#else  // built without the XML library

namespace zor::svg {

Reading read_svg(std::string_view, const ReadLimits&) {
  Reading reading;
  reading.notices.emplace_back("Программа собрана без чтения SVG");
  return reading;
}

Reading read_svg_file(const std::string& path, const ReadLimits& limits) {
  return read_svg(read_whole_file(path, kMaxSvgBytes), limits);
}

}  // namespace zor::svg

#endif
