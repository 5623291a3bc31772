#include "plan/copper_groups.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace zor {
namespace {

struct Box {
  double xmin = INFINITY, ymin = INFINITY, xmax = -INFINITY, ymax = -INFINITY;
  bool broken = false;  // a coordinate that is not a number
  void add(PlanPoint p, double reach = 0) {
    broken = broken || std::isnan(p.x) || std::isnan(p.y) || std::isnan(reach);
    xmin = std::min(xmin, p.x - reach), xmax = std::max(xmax, p.x + reach);
    ymin = std::min(ymin, p.y - reach), ymax = std::max(ymax, p.y + reach);
  }
  bool finite() const {
    return !broken && std::isfinite(xmin) && std::isfinite(xmax) && std::isfinite(ymin) &&
           std::isfinite(ymax);
  }
  bool meets(const Box& o) const {
    return xmin <= o.xmax && o.xmin <= xmax && ymin <= o.ymax && o.ymin <= ymax;
  }
};

Box box_of(const CopperObject& object) {
  Box box;
  switch (object.kind) {
    case CopperObject::Kind::kArea:
      if (!object.rings.empty()) {
        for (PlanPoint p : object.rings.front()) box.add(p);
      }
      break;
    case CopperObject::Kind::kStroke:
      for (PlanPoint p : object.line) box.add(p, object.width / 2);
      break;
    case CopperObject::Kind::kSweep: {
      Box pattern;
      if (!object.rings.empty()) {
        for (PlanPoint p : object.rings.front()) pattern.add(p);
      }
      for (PlanPoint p : object.line) {
        box.add({p.x + pattern.xmin, p.y + pattern.ymin});
        box.add({p.x + pattern.xmax, p.y + pattern.ymax});
      }
      break;
    }
  }
  // A shade wider, so that objects that only touch are still one group.
  box.xmin -= 1e-3, box.ymin -= 1e-3, box.xmax += 1e-3, box.ymax += 1e-3;
  return box;
}

size_t root(std::vector<size_t>& parent, size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

}  // namespace

std::vector<CopperImage> copper_groups(const CopperImage& image) {
  const auto& objects = image.objects;
  std::vector<Box> boxes(objects.size());
  std::vector<size_t> parent(objects.size());
  std::iota(parent.begin(), parent.end(), 0);
  double cell = 2;  // mm: a few pads to a cell
  Box all;
  for (size_t i = 0; i < objects.size(); ++i) {
    boxes[i] = box_of(objects[i]);
    const Box& b = boxes[i];
    if (b.finite() && std::max({-b.xmin, b.xmax, -b.ymin, b.ymax}) <= kFarthestMm + 1) {
      all.add({boxes[i].xmin, boxes[i].ymin});
      all.add({boxes[i].xmax, boxes[i].ymax});
    }
  }
  if (all.finite()) {
    // No more than about a million cells, however wide the layer.
    cell = std::max({cell, (all.xmax - all.xmin) / 1000, (all.ymax - all.ymin) / 1000});
  }
  // Each cell lists the objects whose boxes reach into it; an object meets only those.
  std::unordered_map<int64_t, std::vector<size_t>> cells;
  size_t odd_group = objects.size();
  for (size_t i = 0; i < objects.size(); ++i) {
    const Box& b = boxes[i];
    bool usable = all.finite() && b.finite() && b.xmin >= all.xmin && b.xmax <= all.xmax &&
                  b.ymin >= all.ymin && b.ymax <= all.ymax;
    if (!usable) {
      if (odd_group == objects.size()) odd_group = i;
      parent[i] = odd_group;
      continue;
    }
    auto i0 = static_cast<int64_t>((b.xmin - all.xmin) / cell);
    auto i1 = static_cast<int64_t>((b.xmax - all.xmin) / cell);
    auto j0 = static_cast<int64_t>((b.ymin - all.ymin) / cell);
    auto j1 = static_cast<int64_t>((b.ymax - all.ymin) / cell);
    for (int64_t j = j0; j <= j1; ++j) {
      for (int64_t k = i0; k <= i1; ++k) {
        auto& list = cells[j * 1'000'003 + k];
        for (size_t other : list) {
          if (boxes[other].meets(b)) parent[root(parent, i)] = root(parent, other);
        }
        list.push_back(i);
      }
    }
  }
  std::vector<CopperImage> groups;
  std::unordered_map<size_t, size_t> group_of_root;
  for (size_t i = 0; i < objects.size(); ++i) {
    size_t r = root(parent, i);
    auto [it, fresh] = group_of_root.try_emplace(r, groups.size());
    if (fresh) groups.emplace_back();
    groups[it->second].objects.push_back(objects[i]);
  }
  return groups;
}

}  // namespace zor
