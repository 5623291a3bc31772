// A test's own picture of copper and ink at 20 pixels to the millimetre, independent of the
// polygon library the marker plan uses: copper painted object by object (dark sets, clear
// clears) from the CopperImage itself, ink as the marker's disc dragged along every pass.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "plan/copper_image.h"
#include "plan/plan.h"

namespace zor::testing {

constexpr double kPixelsPerMm = 20;

class CopperRaster {
 public:
  // The window from (x0, y0) to (x1, y1) in mm.
  CopperRaster(double x0, double y0, double x1, double y1, double per_mm = kPixelsPerMm)
      : ppm_(per_mm),
        x0_(x0),
        y0_(y0),
        width_(static_cast<int>(std::ceil((x1 - x0) * per_mm))),
        height_(static_cast<int>(std::ceil((y1 - y0) * per_mm))),
        pixels_(static_cast<size_t>(width_) * height_, 0) {}

  int width() const { return width_; }
  double per_mm() const { return ppm_; }
  int height() const { return height_; }
  bool at(int i, int j) const { return pixels_[index(i, j)] != 0; }
  bool at_mm(double x, double y) const {
    int i = static_cast<int>(std::floor((x - x0_) * ppm_));
    int j = static_cast<int>(std::floor((y - y0_) * ppm_));
    return i >= 0 && j >= 0 && i < width_ && j < height_ && at(i, j);
  }
  int64_t count() const { return std::count(pixels_.begin(), pixels_.end(), 1); }

  // Rings filled by the even-odd rule: an outline with holes inside it.
  void fill_rings(const std::vector<std::vector<PlanPoint>>& rings, bool value, double dx = 0,
                  double dy = 0) {
    for (int j = 0; j < height_; ++j) {
      double y = centre_y(j) - dy;
      std::vector<double> crossings;
      for (const auto& ring : rings) {
        for (size_t k = 0; k < ring.size(); ++k) {
          PlanPoint a = ring[k], b = ring[(k + 1) % ring.size()];
          if ((a.y <= y) != (b.y <= y)) {
            crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x) + dx);
          }
        }
      }
      std::sort(crossings.begin(), crossings.end());
      for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
        for (int i = 0; i < width_; ++i) {
          double x = centre_x(i);
          if (x >= crossings[k] && x < crossings[k + 1]) pixels_[index(i, j)] = value;
        }
      }
    }
  }

  // Every pixel whose centre lies within `radius` of the segment a-b.
  void capsule(PlanPoint a, PlanPoint b, double radius, bool value) {
    int i0 = pixel_x(std::min(a.x, b.x) - radius), i1 = pixel_x(std::max(a.x, b.x) + radius);
    int j0 = pixel_y(std::min(a.y, b.y) - radius), j1 = pixel_y(std::max(a.y, b.y) + radius);
    double vx = b.x - a.x, vy = b.y - a.y, length2 = vx * vx + vy * vy;
    for (int j = std::max(j0, 0); j <= std::min(j1, height_ - 1); ++j) {
      for (int i = std::max(i0, 0); i <= std::min(i1, width_ - 1); ++i) {
        double px = centre_x(i) - a.x, py = centre_y(j) - a.y;
        double t = length2 > 0 ? std::clamp((px * vx + py * vy) / length2, 0.0, 1.0) : 0.0;
        double dx = px - t * vx, dy = py - t * vy;
        if (dx * dx + dy * dy <= radius * radius) pixels_[index(i, j)] = value;
      }
    }
  }

  void paint(const CopperObject& object) {
    switch (object.kind) {
      case CopperObject::Kind::kArea:
        fill_rings(object.rings, object.dark);
        break;
      case CopperObject::Kind::kStroke:
        for (size_t k = 0; k < object.line.size(); ++k) {
          capsule(object.line[k], object.line[k + (k + 1 < object.line.size() ? 1 : 0)],
                  object.width / 2, object.dark);
        }
        break;
      case CopperObject::Kind::kSweep:
        // The aperture stamped every half pixel along the line.
        for (size_t k = 0; k + 1 < object.line.size(); ++k) {
          PlanPoint a = object.line[k], b = object.line[k + 1];
          int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) * 40));
          for (int s = 0; s <= steps; ++s) {
            double t = static_cast<double>(s) / steps;
            fill_rings({object.rings.front()}, object.dark, a.x + t * (b.x - a.x),
                       a.y + t * (b.y - a.y));
          }
        }
        break;
    }
  }
  // A flash of several pieces is painted on a picture of its own first: its clear pieces cut
  // that flash only.
  void paint(const CopperImage& image) {
    const auto& objects = image.objects;
    for (size_t k = 0; k < objects.size(); ++k) {
      if (objects[k].shape == 0) {
        paint(objects[k]);
        continue;
      }
      CopperRaster shape(x0_, y0_, x0_ + width_ / ppm_, y0_ + height_ / ppm_, ppm_);
      size_t first = k;
      for (; k < objects.size() && objects[k].shape == objects[first].shape; ++k)
        shape.paint(objects[k]);
      --k;
      for (size_t p = 0; p < pixels_.size(); ++p) {
        if (shape.pixels_[p] != 0) pixels_[p] = objects[first].shape_dark;
      }
    }
  }

  // The ink of a marker of `diameter` drawn along every path.
  void ink(const Plan& plan, double diameter) {
    for (const PlanPath& path : plan.paths) {
      for (size_t k = 0; k < path.points.size(); ++k) {
        capsule(path.points[k], path.points[std::min(k + 1, path.points.size() - 1)], diameter / 2,
                true);
      }
    }
  }

  // This picture grown by `radius` (and half a pixel, for the pixels' own size).
  CopperRaster grown(double radius) const {
    CopperRaster out = *this;
    for (int j = 0; j < height_; ++j) {
      for (int i = 0; i < width_; ++i) {
        if (!at(i, j)) continue;
        bool edge = i == 0 || j == 0 || i == width_ - 1 || j == height_ - 1 || !at(i - 1, j) ||
                    !at(i + 1, j) || !at(i, j - 1) || !at(i, j + 1);
        if (edge) {
          PlanPoint c{centre_x(i), centre_y(j)};
          out.capsule(c, c, radius + 0.5 / ppm_, true);
        }
      }
    }
    return out;
  }

  // How many pixels are set here and in `other` (`other_value` true), or here and not there.
  int64_t count_with(const CopperRaster& other, bool other_value) const {
    int64_t n = 0;
    for (size_t k = 0; k < pixels_.size(); ++k)
      n += pixels_[k] && (other.pixels_[k] != 0) == other_value;
    return n;
  }

 private:
  size_t index(int i, int j) const { return static_cast<size_t>(j) * width_ + i; }
  double centre_x(int i) const { return x0_ + (i + 0.5) / ppm_; }
  double centre_y(int j) const { return y0_ + (j + 0.5) / ppm_; }
  int pixel_x(double x) const { return static_cast<int>(std::floor((x - x0_) * ppm_)); }
  int pixel_y(double y) const { return static_cast<int>(std::floor((y - y0_) * ppm_)); }

  double ppm_;
  double x0_, y0_;
  int width_, height_;
  std::vector<uint8_t> pixels_;
};

// What the ink does to the copper.
struct InkScore {
  double covered;  // share of the copper's pixels inked
  double spilled;  // share of the inked pixels outside the copper grown by half the marker
};

inline InkScore score(const CopperRaster& copper, const CopperRaster& ink, double diameter) {
  CopperRaster grown = copper.grown(diameter / 2);
  return {static_cast<double>(copper.count_with(ink, true)) / std::max<int64_t>(copper.count(), 1),
          static_cast<double>(ink.count_with(grown, false)) / std::max<int64_t>(ink.count(), 1)};
}

}  // namespace zor::testing
