#include "text/hershey_fonts.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#ifdef ZOR_HAVE_HERSHEY
extern "C" {
#include <hersheyfont.h>
}
#endif

namespace zor::text {
namespace {

#ifdef ZOR_HAVE_HERSHEY
std::unique_ptr<HersheyFont> load(const std::string& name) {
  struct ::hershey_font* raw = hershey_font_load(name.c_str());
  if (raw == nullptr) return nullptr;
  auto font = std::make_unique<HersheyFont>();
  for (int c = 0; c < 256; ++c) {
    const ::hershey_glyph& from = raw->glyphs[c];
    Glyph& to = font->glyphs[c];
    to.width = from.width;
    for (const ::hershey_path* p = from.paths; p != nullptr; p = p->next) {
      std::vector<GlyphPoint> stroke;
      for (int k = 0; k < p->nverts; ++k) stroke.push_back({p->verts[k].x, p->verts[k].y});
      if (!stroke.empty()) to.strokes.push_back(std::move(stroke));
    }
  }
  hershey_font_free(raw);
  auto top = [&](unsigned char c, bool highest) {
    int best = 0;
    for (const auto& s : font->glyphs[c].strokes) {
      for (const GlyphPoint& p : s)
        best = highest ? std::max<int>(best, p.y) : std::min<int>(best, p.y);
    }
    return best;
  };
  if (const int cap = top('H', true); cap > 0) font->cap_height = cap;
  if (const int down = top('g', false); down < 0) font->descent = -down;
  return font;
}
#else
std::unique_ptr<HersheyFont> load(const std::string&) {
  return nullptr;
}
#endif

}  // namespace

const HersheyFont* hershey_font(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<HersheyFont>> fonts;
  const std::lock_guard<std::mutex> lock(mutex);
  auto it = fonts.find(name);
  if (it == fonts.end()) it = fonts.emplace(name, load(name)).first;
  return it->second.get();
}

}  // namespace zor::text
