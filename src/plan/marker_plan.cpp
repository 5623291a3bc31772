#include "plan/marker_plan.h"

#include <cmath>
#include <string>
#include <utility>

#include "common/decimal.h"
#include "plan/pass_order.h"

#ifdef ZOR_HAVE_CLIPPER
#include "plan/copper_gaps.h"
#include "plan/copper_shapes.h"
#include "plan/marker_passes.h"
#endif

namespace zor {
namespace {

#ifdef ZOR_HAVE_CLIPPER

// The operator reads the first few places and fixes the board; a list of thousands helps no one.
constexpr size_t kMostGapNotices = 20;

std::string mm_text(double value) {
  return format_currency(std::round(value * 100) / 100);
}

PlanPath closed_pass(const ClipperLib::Path& ring) {
  PlanPath path;
  path.points.reserve(ring.size() + 1);
  for (const auto& p : ring) path.points.push_back(from_clip(p));
  if (!path.points.empty()) path.points.push_back(path.points.front());
  return path;
}

PlanPath open_pass(const ClipperLib::Path& line) {
  PlanPath path;
  path.points.reserve(line.size());
  for (const auto& p : line) path.points.push_back(from_clip(p));
  return path;
}

std::vector<PlanPoint> ring_points(const ClipperLib::Path& ring) {
  std::vector<PlanPoint> points;
  points.reserve(ring.size());
  for (const auto& p : ring) points.push_back(from_clip(p));
  return points;
}

// Each outer ring of the tree with the holes straight inside it; islands in a hole are
// features of their own.
void collect_features(const ClipperLib::PolyNode& node, std::vector<CopperFeature>& features) {
  for (const ClipperLib::PolyNode* outer : node.Childs) {
    CopperFeature feature{outer->Contour};
    for (const ClipperLib::PolyNode* hole : outer->Childs) {
      feature.push_back(hole->Contour);
      collect_features(*hole, features);
    }
    features.push_back(std::move(feature));
  }
}

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
  CopperShapes shapes = copper_shapes(image, marker_mm);
  plan.notices = std::move(shapes.notices);

  ClipperLib::Clipper all;
  all.AddPaths(shapes.wide, ClipperLib::ptSubject, true);
  all.AddPaths(shapes.thin, ClipperLib::ptSubject, true);
  ClipperLib::PolyTree copper;
  all.Execute(ClipperLib::ctUnion, copper, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
  std::vector<CopperFeature> features;
  collect_features(copper, features);
  plan.areas.reserve(features.size());
  for (const CopperFeature& feature : features) {
    PlanArea area;
    for (const auto& ring : feature) area.rings.push_back(ring_points(ring));
    plan.areas.push_back(std::move(area));
  }

  std::vector<PlanPath> passes;
  for (const auto& ring : inset_passes(shapes.wide, marker_mm)) {
    passes.push_back(closed_pass(ring));
  }
  for (const auto& line : shapes.centre_lines) passes.push_back(open_pass(line));
  plan.paths = order_passes(std::move(passes));
  add_gap_notices(narrow_gaps(features, marker_mm), marker_mm, plan);
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
