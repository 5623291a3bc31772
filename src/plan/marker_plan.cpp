#include "plan/marker_plan.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <utility>

#include "common/decimal.h"
#include "plan/copper_gaps.h"
#include "plan/copper_groups.h"
#include "plan/pass_order.h"

#ifdef ZOR_HAVE_CLIPPER
#include "plan/copper_shapes.h"
#include "plan/marker_passes.h"
#endif

namespace zor {
namespace {

#ifdef ZOR_HAVE_CLIPPER

// The operator reads the first few places and fixes the board; a list of thousands helps no one.
constexpr size_t kMostGapNotices = 20;
// Pads of one aperture have the same passes wherever they lie: those of small pieces are
// worked out once and moved. Bigger pieces are rarely alike.
constexpr size_t kMostRememberedPoints = 400;
// Four million points are hours of drawing for any marker; a plan beyond that is a marker far
// too fine for its board, and making it would only take the memory.
constexpr size_t kMostPassPoints = 4'000'000;

using ClipperLib::cInt;
using ClipperLib::Path;
using ClipperLib::Paths;

// One separate piece of copper: its outline and the holes in it.
using Feature = Paths;

std::string mm_text(double value) {
  return format_currency(std::round(value * 100) / 100);
}

PlanPath closed_pass(const Path& ring, cInt dx, cInt dy) {
  PlanPath path;
  path.points.reserve(ring.size() + 1);
  for (const auto& p : ring) path.points.push_back(from_clip({p.X + dx, p.Y + dy}));
  if (!path.points.empty()) path.points.push_back(path.points.front());
  return path;
}

PlanPath open_pass(const Path& line) {
  PlanPath path;
  path.points.reserve(line.size());
  for (const auto& p : line) path.points.push_back(from_clip(p));
  return path;
}

PlanArea plan_area(const Feature& feature) {
  PlanArea area;
  for (const Path& ring : feature) {
    std::vector<PlanPoint>& points = area.rings.emplace_back();
    points.reserve(ring.size());
    for (const auto& p : ring) points.push_back(from_clip(p));
  }
  return area;
}

// Each outer ring of the tree with the holes straight inside it; islands in a hole are
// features of their own.
void collect_features(const ClipperLib::PolyNode& node, std::vector<Feature>& features) {
  for (const ClipperLib::PolyNode* outer : node.Childs) {
    Feature feature{outer->Contour};
    for (const ClipperLib::PolyNode* hole : outer->Childs) {
      feature.push_back(hole->Contour);
      collect_features(*hole, features);
    }
    features.push_back(std::move(feature));
  }
}

std::vector<Feature> features_of(const Paths& a, const Paths& b = {}) {
  ClipperLib::Clipper c;
  c.AddPaths(a, ClipperLib::ptSubject, true);
  c.AddPaths(b, ClipperLib::ptSubject, true);
  ClipperLib::PolyTree tree;
  c.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  std::vector<Feature> features;
  collect_features(tree, features);
  return features;
}

// A feature moved so that its first point is at 0,0, with its ring sizes: alike features have
// alike keys.
struct ShapeKey {
  std::vector<cInt> values;
  bool operator==(const ShapeKey&) const = default;
};
struct ShapeHash {
  size_t operator()(const ShapeKey& key) const {
    uint64_t h = 1469598103934665603u;
    for (cInt v : key.values) h = (h ^ static_cast<uint64_t>(v)) * 1099511628211u;
    return static_cast<size_t>(h);
  }
};

class Insets {
 public:
  explicit Insets(double marker_mm) : marker_mm_(marker_mm) {}

  // False once the passes hold too many points to draw: the rest of the copper gets none.
  bool add(const Feature& feature, std::vector<PlanPath>& passes) {
    if (points_left_ == 0) return false;
    size_t points = 0;
    for (const Path& ring : feature) points += ring.size();
    if (points > kMostRememberedPoints || feature.front().empty()) {
      take(inset_passes(feature, marker_mm_, points_left_), 0, 0, passes);
      return points_left_ > 0;
    }
    cInt x0 = feature.front().front().X, y0 = feature.front().front().Y;
    ShapeKey key;
    key.values.reserve(2 * points + feature.size());
    for (const Path& ring : feature) {
      key.values.push_back(static_cast<cInt>(ring.size()));
      for (const auto& p : ring) {
        key.values.push_back(p.X - x0);
        key.values.push_back(p.Y - y0);
      }
    }
    auto it = remembered_.find(key);
    if (it == remembered_.end()) {
      Feature moved = feature;
      for (Path& ring : moved) {
        for (auto& p : ring) p = {p.X - x0, p.Y - y0};
      }
      it = remembered_.emplace(std::move(key), inset_passes(moved, marker_mm_, points_left_)).first;
    }
    take(it->second, x0, y0, passes);
    return points_left_ > 0;
  }

 private:
  void take(const Paths& rings, cInt dx, cInt dy, std::vector<PlanPath>& passes) {
    for (const Path& ring : rings) {
      passes.push_back(closed_pass(ring, dx, dy));
      points_left_ -= std::min(points_left_, ring.size() + 1);
    }
  }

  double marker_mm_;
  size_t points_left_ = kMostPassPoints;
  std::unordered_map<ShapeKey, Paths, ShapeHash> remembered_;
};

void add_gap_notices(const std::vector<PlanPoint>& places, double marker_mm, Plan& plan) {
  for (size_t i = 0; i < places.size() && i < kMostGapNotices; ++i) {
    plan.notices.push_back("Зазор меньше диаметра маркера (" + mm_text(marker_mm) + " мм) у X " +
                           mm_text(places[i].x) + " Y " + mm_text(places[i].y) +
                           " мм: маркер соединит медь, на плате будет замыкание");
  }
  if (places.size() > kMostGapNotices) {
    plan.notices.push_back("Таких мест с зазором меньше диаметра маркера ещё " +
                           std::to_string(places.size() - kMostGapNotices));
  }
}

Plan computed_plan(const CopperImage& image, double marker_mm) {
  Plan plan;
  std::vector<PlanPath> passes;
  Insets insets(marker_mm);
  bool complete = true;
  for (const CopperImage& group : copper_groups(image)) {
    CopperShapes shapes = copper_shapes(group, marker_mm);
    for (std::string& notice : shapes.notices) plan.notices.push_back(std::move(notice));
    std::vector<Feature> features = features_of(shapes.wide, shapes.thin);
    for (const Feature& feature : features) plan.areas.push_back(plan_area(feature));
    if (!shapes.thin.empty()) features = features_of(shapes.wide);
    for (const Feature& feature : features) complete = insets.add(feature, passes) && complete;
    for (const Path& line : shapes.centre_lines) passes.push_back(open_pass(line));
  }
  if (!complete) {
    plan.notices.push_back("Маркер слишком тонок для этой платы: проходов больше " +
                           std::to_string(kMostPassPoints) + " точек, часть меди не закрашена");
  }
  plan.paths = join_open_passes(order_passes(std::move(passes)));
  add_gap_notices(narrow_gaps(plan.areas, marker_mm), marker_mm, plan);
  return plan;
}

#endif  // ZOR_HAVE_CLIPPER

}  // namespace

Plan marker_plan(const CopperImage& image, double marker_diameter_mm) {
  if (!(marker_diameter_mm > 0) || !std::isfinite(marker_diameter_mm)) {
    Plan plan;
    plan.notices.push_back("Диаметр маркера должен быть больше нуля: рисовать нечем");
    return plan;
  }
#ifdef ZOR_HAVE_CLIPPER
  try {
    return computed_plan(image, marker_diameter_mm);
  } catch (const ClipperLib::clipperException& e) {
    Plan plan;
    plan.notices.push_back(std::string("Медь не удалось рассчитать: ") + e.what());
    return plan;
  }
#else
  (void)image;
  Plan plan;
  plan.notices.push_back("Эта сборка программы не умеет рассчитывать проходы маркера");
  return plan;
#endif
}

bool marker_plan_available() {
#ifdef ZOR_HAVE_CLIPPER
  return true;
#else
  return false;
#endif
}

}  // namespace zor
