#include "svg/svg_text.h"

#if __has_include("text/lettering.h")
#include "text/lettering.h"
#define ZOR_HAVE_LETTERING 1
#endif

namespace zor::svg {

#ifdef ZOR_HAVE_LETTERING
void letter_texts(const std::vector<TextItem>& items, std::vector<Shape>& shapes,
                  std::vector<std::string>& notices) {
  size_t missing = 0;
  for (const TextItem& item : items) {
    size_t item_missing = 0;
    // The lettering works in the units it is given: the font size in the element's units,
    // its Y up from the baseline, turned here into the element's Y down.
    const auto strokes =
        zor::text::letter_paths(item.utf8, item.font_size, item.anchor, &item_missing);
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
    notices.push_back("Знаков нет в шрифте: " + std::to_string(missing) +
                      ", нарисованы квадратиками");
  }
}
#else
// Built without the lettering: the text is told about and left out.
void letter_texts(const std::vector<TextItem>& items, std::vector<Shape>&,
                  std::vector<std::string>& notices) {
  if (!items.empty()) notices.emplace_back("текст пропущен");
}
#endif

}  // namespace zor::svg
