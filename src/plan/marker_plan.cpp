#include "plan/marker_plan.h"

#include <atomic>
#include <cmath>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>

#include "common/decimal.h"
#include "plan/copper_gaps.h"
#include "plan/copper_groups.h"
#include "plan/parallel_work.h"
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

ShapeKey key_of(const Feature& feature, cInt x0, cInt y0, size_t points) {
  ShapeKey key;
  key.values.reserve(2 * points + feature.size());
  for (const Path& ring : feature) {
    key.values.push_back(static_cast<cInt>(ring.size()));
    for (const auto& p : ring) {
      key.values.push_back(p.X - x0);
      key.values.push_back(p.Y - y0);
    }
  }
  return key;
}

// One group's copper: its pieces for the preview and those the insets cover.
struct GroupCopper {
  CopperShapes shapes;
  std::vector<Feature> all, wide;
};

// Where a piece of copper takes its passes from: a job's, moved by dx, dy.
struct FeatureUse {
  size_t job;
  cInt dx, dy;
};

// The passes of every piece worked out, alike pieces once, on the threads asked for; in the
// order of the groups, whatever the threads did first.
class PassJobs {
 public:
  explicit PassJobs(const std::vector<GroupCopper>& groups) {
    std::unordered_map<ShapeKey, size_t, ShapeHash> remembered;
    for (const GroupCopper& group : groups) {
      for (const Feature& feature : group.wide) uses_.push_back(use_of(feature, remembered));
    }
  }
  size_t size() const { return jobs_.size(); }
  const std::vector<FeatureUse>& uses() const { return uses_; }

  void run(size_t job, double marker_mm) {
    // Past the bound the work is left undone: the plan says so, and no memory goes on it.
    if (made_points_.load() > kMostPassPoints) return;
    results_[job] = inset_passes(*jobs_[job].feature, marker_mm, kMostPassPoints);
    done_[job] = 1;
    size_t points = 0;
    for (const Path& ring : results_[job].rings) points += ring.size() + 1;
    made_points_ += points;
  }
  bool done(size_t job) const { return done_[job] != 0; }
  const FeaturePasses& result(size_t job) const { return results_[job]; }

  void prepare() {
    results_.resize(jobs_.size());
    done_.assign(jobs_.size(), 0);
  }

 private:
  struct Job {
    const Feature* feature;
    Feature moved;  // a small piece, moved so that its first point is at 0,0
  };

  // Pads of one aperture have the same passes wherever they lie: those of small pieces are
  // worked out once and moved. Bigger pieces are rarely alike.
  FeatureUse use_of(const Feature& feature,
                    std::unordered_map<ShapeKey, size_t, ShapeHash>& remembered) {
    size_t points = 0;
    for (const Path& ring : feature) points += ring.size();
    if (points > kMostRememberedPoints || feature.front().empty()) {
      jobs_.push_back({&feature, {}});
      return {jobs_.size() - 1, 0, 0};
    }
    const cInt x0 = feature.front().front().X, y0 = feature.front().front().Y;
    auto [it, fresh] = remembered.try_emplace(key_of(feature, x0, y0, points), jobs_.size());
    if (fresh) {
      Feature moved = feature;
      for (Path& ring : moved) {
        for (auto& p : ring) p = {p.X - x0, p.Y - y0};
      }
      jobs_.push_back({nullptr, std::move(moved)});
      jobs_.back().feature = &jobs_.back().moved;
    }
    return {it->second, x0, y0};
  }

  std::deque<Job> jobs_;  // a deque: the moved pieces stay where their pointers say
  std::vector<FeatureUse> uses_;
  std::vector<FeaturePasses> results_;
  std::vector<char> done_;
  std::atomic<size_t> made_points_{0};
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

void add_corner_notice(const std::vector<PlanPoint>& corners, double marker_mm, Plan& plan) {
  if (corners.empty()) return;
  plan.notices.push_back("Острые углы меди, куда маркер (" + mm_text(marker_mm) +
                         " мм) не достаёт, не закрашены: " + std::to_string(corners.size()) +
                         ", первый у X " + mm_text(corners.front().x) + " Y " +
                         mm_text(corners.front().y) + " мм");
}

Plan computed_plan(const CopperImage& image, double marker_mm, const MarkerOptions& options) {
  const unsigned threads = options.threads == 0 ? available_threads() : options.threads;
  const std::vector<CopperImage> groups = copper_groups(image);
  // The progress counts the groups' copper, then the passes, as one run of work.
  size_t total = 0, before = 0;
  auto progress = [&](size_t done, size_t) {
    if (options.progress) options.progress(before + done, total);
  };
  std::vector<GroupCopper> copper(groups.size());
  total = 2 * groups.size();
  parallel_work(
      groups.size(), threads,
      [&](size_t g) {
        GroupCopper& c = copper[g];
        c.shapes = copper_shapes(groups[g], marker_mm);
        c.all = features_of(c.shapes.wide, c.shapes.thin);
        c.wide = c.shapes.thin.empty() ? c.all : features_of(c.shapes.wide);
      },
      progress);
  PassJobs jobs(copper);
  jobs.prepare();
  before = groups.size();
  total = before + jobs.size();
  parallel_work(
      jobs.size(), threads, [&](size_t job) { jobs.run(job, marker_mm); }, progress);
  if (jobs.size() == 0 && options.progress) options.progress(total, total);

  Plan plan;
  std::vector<PlanPath> passes;
  std::vector<PlanPoint> corners;
  bool complete = true, simplified = false;
  size_t points_left = kMostPassPoints, use = 0;
  for (GroupCopper& group : copper) {
    for (std::string& notice : group.shapes.notices) plan.notices.push_back(std::move(notice));
    simplified = simplified || group.shapes.simplified;
    for (const Feature& feature : group.all) plan.areas.push_back(plan_area(feature));
    for (size_t f = 0; f < group.wide.size(); ++f, ++use) {
      const FeatureUse& u = jobs.uses()[use];
      if (!jobs.done(u.job) || points_left == 0) {
        complete = false;
        continue;
      }
      const FeaturePasses& result = jobs.result(u.job);
      complete = complete && !result.cut_short;
      simplified = simplified || result.simplified;
      for (PlanPoint c : result.bare_corners)
        corners.push_back({c.x + u.dx / kClipPerMm, c.y + u.dy / kClipPerMm});
      for (const Path& ring : result.rings) {
        if (points_left == 0) break;
        passes.push_back(closed_pass(ring, u.dx, u.dy));
        points_left -= std::min(points_left, ring.size() + 1);
      }
    }
    for (const Path& line : group.shapes.centre_lines) passes.push_back(open_pass(line));
  }
  if (!complete) {
    plan.notices.push_back("Маркер слишком тонок для этой платы: проходов больше " +
                           std::to_string(kMostPassPoints) + " точек, часть меди не закрашена");
  }
  if (simplified) {
    plan.notices.push_back("Мелкие детали меди тоньше " + mm_text(marker_mm / 20) +
                           " мм сглажены перед расчётом проходов маркера");
  }
  add_corner_notice(corners, marker_mm, plan);
  plan.paths = join_open_passes(order_passes(std::move(passes)));
  add_gap_notices(narrow_gaps(plan.areas, marker_mm), marker_mm, plan);
  return plan;
}

#endif  // ZOR_HAVE_CLIPPER

}  // namespace

Plan marker_plan(const CopperImage& image, double marker_diameter_mm,
                 const MarkerOptions& options) {
  if (!(marker_diameter_mm > 0) || !std::isfinite(marker_diameter_mm)) {
    Plan plan;
    plan.notices.push_back("Диаметр маркера должен быть больше нуля: рисовать нечем");
    return plan;
  }
#ifdef ZOR_HAVE_CLIPPER
  try {
    return computed_plan(image, marker_diameter_mm, options);
  } catch (const ClipperLib::clipperException& e) {
    Plan plan;
    plan.notices.push_back(std::string("Медь не удалось рассчитать: ") + e.what());
    return plan;
  }
#else
  (void)image;
  (void)options;
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
