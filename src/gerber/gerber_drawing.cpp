// The operations D01, D02 and D03 of the full Gerber reading, and what they put into the image:
// strokes and sweeps (consecutive draws of one aperture make one line), flashes, region
// contours, and the copies of step and repeat.
#include <algorithm>
#include <cmath>

#include "gerber/full_reader_state.h"

namespace zor::gerber_full {
namespace {

// A single-quadrant arc may be a little over 90 degrees when its ends are rounded.
constexpr double kQuadrantSlack = 1e-6;

}  // namespace

PlanPoint Reader::placed(PlanPoint p) const {
  return {p.x * scale_x_ + offset_.x, p.y * scale_y_ + offset_.y};
}

bool Reader::take_points(size_t count) {
  if (stopped_) return false;
  if (points_ + count > kMaxImagePoints) {
    notices_.at_line("big", line_,
                     "изображение слишком велико для чтения, остальная часть файла пропущена");
    stopped_ = true;
    ended_ = true;
    return false;
  }
  points_ += count;
  return true;
}

const Aperture* Reader::current_aperture() {
  const auto found = apertures_.find(aperture_);
  if (found != apertures_.end()) return &found->second;
  notices_.at_line("noaperture", line_, "рисование без заданной апертуры пропущено");
  return nullptr;
}

void Reader::operate(int d, std::optional<double> x, std::optional<double> y,
                     std::optional<double> i, std::optional<double> j) {
  PlanPoint target = point_;
  if (incremental_) {
    if (x) target.x += *x;
    if (y) target.y += *y;
  } else {
    if (x) target.x = *x;
    if (y) target.y = *y;
  }
  if (!(std::abs(target.x) <= kMaxCoordinateMm && std::abs(target.y) <= kMaxCoordinateMm)) {
    notices_.at_line("huge", line_, "координата дальше километра, команда пропущена");
    return;
  }
  switch (d) {
    case 1:
      draw_to(target, i.value_or(0), j.value_or(0));
      break;
    case 2:
      end_stroke();
      if (in_region_) close_contour();
      break;
    default:
      end_stroke();
      if (in_region_)
        notices_.at_line("regionflash", line_, "вспышка D03 внутри области пропущена");
      else
        flash_at(target);
      break;
  }
  point_ = target;
}

void Reader::add_path_points(std::vector<PlanPoint>& path, PlanPoint from, PlanPoint to, double i,
                             double j) {
  if (interpolation_ == Interpolation::kLinear) {
    path.push_back(placed(to));
    return;
  }
  const bool ccw = interpolation_ == Interpolation::kCounterClockwise;
  PlanPoint centre{from.x + i, from.y + j};
  bool full = false;
  if (multi_quadrant_) {
    full = from == to;
  } else {
    // The signs are not written: the centre is the one that makes an arc of at most a
    // quadrant with the ends the closest to one radius.
    double best = -1;
    for (const double sx : {1.0, -1.0}) {
      for (const double sy : {1.0, -1.0}) {
        const PlanPoint c{from.x + sx * std::abs(i), from.y + sy * std::abs(j)};
        const double sweep = arc_sweep(from, to, c, ccw);
        const double mismatch =
            std::abs(std::hypot(from.x - c.x, from.y - c.y) - std::hypot(to.x - c.x, to.y - c.y));
        const double score = mismatch + (sweep <= kPi / 2 + kQuadrantSlack ? 0 : 1e12);
        if (best < 0 || score < best) {
          best = score;
          centre = c;
        }
      }
    }
  }
  std::vector<PlanPoint> raw;
  append_arc(raw, from, to, centre, ccw, full);
  for (const PlanPoint& p : raw) path.push_back(placed(p));
}

void Reader::draw_to(PlanPoint target, double i, double j) {
  std::vector<PlanPoint> points;
  add_path_points(points, point_, target, i, j);
  if (in_region_) {
    if (!take_points(points.size() + 1)) return;
    if (contour_.empty()) contour_.push_back(placed(point_));
    // A corner written twice is one corner.
    for (const PlanPoint& p : points)
      if (!(p == contour_.back())) contour_.push_back(p);
    return;
  }
  const Aperture* aperture = current_aperture();
  if (aperture == nullptr) return;
  const bool fresh = open_objects_ == 0;
  if (fresh) {
    const PlanPoint start = placed(point_);
    // %SF scales the aperture's use as it scales the coordinates; unequal scales make a
    // round aperture an ellipse, swept like any other outline.
    const bool even_scale = scale_x_ == scale_y_;
    if (aperture->round && even_scale) {
      CopperObject o;
      o.kind = CopperObject::Kind::kStroke;
      o.dark = dark_;
      o.line = {start};
      o.width = aperture->diameter * scale_x_;
      image.objects.push_back(std::move(o));
      ++open_objects_;
    } else {
      // A hole is no part of what a stroke draws.
      for (const AperturePiece& piece : aperture->pieces) {
        if (!piece.dark) continue;
        CopperObject o;
        o.kind = CopperObject::Kind::kSweep;
        o.dark = dark_;
        o.line = {start};
        Ring ring = piece.ring;
        for (PlanPoint& p : ring) p = {p.x * scale_x_, p.y * scale_y_};
        o.rings = {std::move(ring)};
        image.objects.push_back(std::move(o));
        ++open_objects_;
      }
    }
  }
  if (!take_points((points.size() + (fresh ? 1 + kObjectCost : 0)) * open_objects_)) {
    // The image is full: no line of a single point is left behind.
    while (open_objects_ > 0 && image.objects.back().line.size() < 2) {
      image.objects.pop_back();
      --open_objects_;
    }
    return;
  }
  for (size_t k = image.objects.size() - open_objects_; k < image.objects.size(); ++k) {
    std::vector<PlanPoint>& line = image.objects[k].line;
    line.insert(line.end(), points.begin(), points.end());
  }
}

void Reader::flash_at(PlanPoint at) {
  const Aperture* aperture = current_aperture();
  if (aperture == nullptr) return;
  // An aperture with clear pieces is one shape: they cut its own dark pieces only.
  const bool has_clear = std::any_of(aperture->pieces.begin(), aperture->pieces.end(),
                                     [](const AperturePiece& piece) { return !piece.dark; });
  const uint32_t shape = has_clear ? ++shapes_ : 0;
  for (const AperturePiece& piece : aperture->pieces) {
    if (!take_points(piece.ring.size() + kObjectCost)) return;
    CopperObject o;
    o.kind = CopperObject::Kind::kArea;
    o.dark = has_clear ? piece.dark : dark_;
    o.shape = shape;
    o.shape_dark = dark_;
    Ring ring = piece.ring;
    for (PlanPoint& p : ring) p = placed({p.x + at.x, p.y + at.y});
    o.rings.push_back(std::move(ring));
    image.objects.push_back(std::move(o));
  }
}

void Reader::close_contour() {
  if (contour_.size() > 1 && contour_.front() == contour_.back()) contour_.pop_back();
  if (contour_.size() >= 3 && take_points(kObjectCost)) {
    CopperObject o;
    o.kind = CopperObject::Kind::kArea;
    o.dark = dark_;
    o.rings.push_back(std::move(contour_));
    image.objects.push_back(std::move(o));
  }
  contour_.clear();
}

void Reader::end_region() {
  if (!in_region_) return;
  close_contour();
  in_region_ = false;
}

void Reader::finish_step_repeat() {
  if (!repeat_) return;
  const StepRepeat r = *repeat_;
  repeat_.reset();
  end_stroke();
  if (in_region_) close_contour();
  const size_t end = image.objects.size();
  if (r.first_object >= end) return;
  size_t block_points = 0;
  for (size_t k = r.first_object; k < end; ++k) {
    const CopperObject& o = image.objects[k];
    block_points += o.line.size() + kObjectCost;
    for (const Ring& ring : o.rings) block_points += ring.size();
  }
  if (block_points == 0) return;
  // Copies on one place draw nothing new: a step of 0 makes that direction's copies one.
  const long long nx = r.dx != 0 ? r.nx : 1, ny = r.dy != 0 ? r.ny : 1;
  if (nx < r.nx || ny < r.ny) {
    notices_.at_line("srsame", line_, "повтор %SR с шагом 0: копии на одном месте не сделаны");
  }
  // How many copies there will be is settled before the first is made, so that no count
  // and no step spends time on copies that are then thrown away.
  const size_t room = points_ < kMaxImagePoints ? (kMaxImagePoints - points_) / block_points : 0;
  const size_t allowed = std::min(room, kMaxCopies);
  const long double asked = static_cast<long double>(nx) * static_cast<long double>(ny) - 1;
  if (asked > static_cast<long double>(allowed)) {
    notices_.at_line("srbig", line_, "повтор %SR даёт слишком много копий, сделаны не все");
  }
  size_t made = 0;
  for (long long iy = 0; iy < ny && made < allowed; ++iy) {
    for (long long ix = 0; ix < nx && made < allowed; ++ix) {
      if (ix == 0 && iy == 0) continue;
      ++made;
      points_ += block_points;
      const double dx = ix * r.dx * scale_x_, dy = iy * r.dy * scale_y_;
      // Each copy's flashes are shapes of their own.
      uint32_t last_shape = 0;
      for (size_t k = r.first_object; k < end; ++k) {
        CopperObject copy = image.objects[k];
        if (copy.shape != 0) {
          if (copy.shape != last_shape) ++shapes_;
          last_shape = copy.shape;
          copy.shape = shapes_;
        }
        for (PlanPoint& p : copy.line) p = {p.x + dx, p.y + dy};
        // A sweep's outline is centred on its line and moves with it.
        if (copy.kind == CopperObject::Kind::kArea)
          for (Ring& ring : copy.rings) move_ring(ring, {dx, dy});
        image.objects.push_back(std::move(copy));
      }
    }
  }
}

}  // namespace zor::gerber_full
