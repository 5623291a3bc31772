#include "motion/path_view.h"

#include <algorithm>
#include <cmath>

namespace zor {
namespace {

// Room for the 2-pixel pen of the tool-down path on every side.
constexpr int kMargin = 4;
// A single point or a straight line along one axis still gets an area to show around it.
constexpr double kSmallestSide = 1.0;  // mm
// Beyond this a step of the path is larger than the picture is useful for.
constexpr double kLargestScale = 400.0;  // px/mm

}  // namespace

PathView window_path_view(int picture_height) {
  PathView view;
  view.bottom_row = picture_height - 1;
  return view;
}

PathView fitted_path_view(const TableBox& job, int picture_width, int picture_height) {
  if (job.empty) return window_path_view(picture_height);
  TableBox box = job;
  box.add(box.min_x, 0.0);  // the row of Y = 0 stays in the picture
  const double width = std::max(box.max_x - box.min_x, kSmallestSide);
  const double height = std::max(box.max_y - box.min_y, kSmallestSide);
  const double room_x = picture_width - 2 * kMargin - 1;
  const double room_y = picture_height - 2 * kMargin - 1;
  PathView view;
  view.scale = std::min({room_x / width, room_y / height, kLargestScale});
  // Centred: the spare room is shared on both sides.
  const double centre_x = (box.min_x + box.max_x) / 2;
  const double centre_y = (box.min_y + box.max_y) / 2;
  view.left_mm = centre_x - (picture_width - 1) / 2.0 / view.scale;
  view.bottom_mm = centre_y - (picture_height - 1) / 2.0 / view.scale;
  view.bottom_row = picture_height - 1;
  return view;
}

}  // namespace zor
