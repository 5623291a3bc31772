#include "svg/svg_text.h"

#include "text/lettering.h"

namespace zor::svg {

constexpr double kCapPerEm = 0.7;

void letter_texts(const std::vector<TextItem>& items, std::vector<Shape>& shapes,
                  std::vector<std::string>& notices) {
  size_t missing = 0;
  for (const TextItem& item : items) {
    size_t item_missing = 0;
    // SVG's font size is the em; the single-stroke font's capitals stand at about 0.7 of it,
    // as in the sans faces a browser shows. Y up from the baseline, turned here into the
    // element's Y down.
    const auto strokes =
        zor::text::letter_paths(item.utf8, item.font_size * kCapPerEm, item.anchor, &item_missing);
    missing += item_missing;
    Shape shape;
    shape.stroked = true;
    shape.colour = item.colour;
    shape.layer = item.layer;
    for (const auto& stroke : strokes) {
      Run run;
      for (const PlanPoint& p : stroke)
        run.points.push_back(item.map.apply(item.x + p.x, item.y - p.y));
      if (run.points.size() >= 2) shape.runs.push_back(std::move(run));
    }
    if (!shape.runs.empty()) shapes.push_back(std::move(shape));
  }
  if (missing > 0) {
    notices.push_back("знаков, которых нет в шрифте, нарисовано квадратиками: " +
                      std::to_string(missing));
  }
}

}  // namespace zor::svg
