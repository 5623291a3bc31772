#include "text/glyph_map.h"

#include <cmath>
#include <numbers>

namespace zor::text {
namespace {

// The Hershey Cyrillic font files its letters under ASCII bytes, mostly by sound (Б under
// B, Ж under H); these are its places for А..Я and а..я.
constexpr char kCyrillicUpper[] = "ABVGD[HZIEKLMNOPRSTYFX`JQW]$_CU^";
constexpr char kCyrillicLower[] = "abvgd{hzieklmnoprstyfx%jqw|&~cu}";

void from_font(const HersheyFont& font, unsigned char code, UnitGlyph& out) {
  const Glyph& g = font.glyphs[code];
  const double s = 1 / font.cap_height;
  for (const auto& stroke : g.strokes) {
    std::vector<PlanPoint> points;
    for (const GlyphPoint& p : stroke) points.push_back({p.x * s, p.y * s});
    out.strokes.push_back(std::move(points));
  }
  out.advance = g.width * s;
}

double top_of(const HersheyFont& font, unsigned char code) {
  double top = 0;
  for (const auto& stroke : font.glyphs[code].strokes) {
    for (const GlyphPoint& p : stroke) top = std::max<double>(top, p.y);
  }
  return top;
}

std::vector<PlanPoint> ring(double cx, double cy, double r) {
  std::vector<PlanPoint> points;
  for (int k = 0; k <= 16; ++k) {
    const double a = k * std::numbers::pi / 8;
    points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return points;
}

bool symbol(char32_t c, UnitGlyph& out) {
  switch (c) {
    case U'\u00B0':  // degree
      out.strokes = {ring(0.25, 0.83, 0.14)};
      out.advance = 0.55;
      return true;
    case U'\u00B1':  // plus-minus
      out.strokes = {{{0.4, 0.2}, {0.4, 0.86}}, {{0.1, 0.53}, {0.7, 0.53}}, {{0.1, 0}, {0.7, 0}}};
      out.advance = 0.8;
      return true;
    case U'\u2300':  // diameter
    case U'\u00D8':
    case U'\u00F8':
      out.strokes = {ring(0.45, 0.45, 0.38), {{0.05, 0}, {0.85, 0.9}}};
      out.advance = 0.95;
      return true;
    default:
      return false;
  }
}

}  // namespace

bool unit_glyph(char32_t c, const HersheyFont* style_font, UnitGlyph& out) {
  out = {};
  if (c >= 32 && c < 127) {
    if (style_font == nullptr || style_font->glyphs[c].width == 0) return false;
    from_font(*style_font, static_cast<unsigned char>(c), out);
    return true;
  }
  if (symbol(c, out)) return true;
  const bool cyrillic = (c >= U'\u0410' && c <= U'\u044F') || c == U'\u0401' || c == U'\u0451';
  if (!cyrillic) return false;
  const HersheyFont* font = hershey_font("cyrillic");
  if (font == nullptr) return false;
  unsigned char code = 0;
  if (c == U'\u0401') {
    code = '[';  // Ё drawn as Е
  } else if (c == U'\u0451') {
    code = '{';
  } else if (c < U'\u0430') {
    code = static_cast<unsigned char>(kCyrillicUpper[c - U'\u0410']);
  } else {
    code = static_cast<unsigned char>(kCyrillicLower[c - U'\u0430']);
  }
  if (font->glyphs[code].width == 0) return false;
  from_font(*font, code, out);
  if (c == U'\u0419') {
    // The font's capital Й lacks its breve: the small letter's, raised to the capitals.
    UnitGlyph small;
    from_font(*font, 'e', small);
    const double lift = (top_of(*font, 'I') - top_of(*font, 'i')) / font->cap_height;
    if (!small.strokes.empty() && lift > 0) {
      auto breve = small.strokes.back();
      for (PlanPoint& p : breve) p.y += lift;
      out.strokes.push_back(std::move(breve));
    }
  }
  return true;
}

UnitGlyph missing_box() {
  UnitGlyph box;
  box.strokes = {{{0.1, 0}, {0.6, 0}, {0.6, 0.7}, {0.1, 0.7}, {0.1, 0}}};
  box.advance = 0.75;
  return box;
}

}  // namespace zor::text
