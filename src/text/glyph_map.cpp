#include "text/glyph_map.h"

#include <cmath>
#include <numbers>
#include <utility>

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
    case U'\u00D7':  // multiplication
      out.strokes = {{{0.15, 0.2}, {0.65, 0.7}}, {{0.65, 0.2}, {0.15, 0.7}}};
      out.advance = 0.8;
      return true;
    case U'\u00F7':  // division
      out.strokes = {{{0.1, 0.45}, {0.7, 0.45}}, ring(0.4, 0.75, 0.04), ring(0.4, 0.15, 0.04)};
      out.advance = 0.8;
      return true;
    default:
      return false;
  }
}

// Characters drawn as an ASCII one: typographic dashes and quotes, and the letters that
// look the same in another alphabet.
char32_t plain_form(char32_t c) {
  switch (c) {
    case U'\u2010':
    case U'\u2011':
    case U'\u2012':
    case U'\u2013':
    case U'\u2014':
    case U'\u2212':
      return U'-';
    case U'\u2018':
    case U'\u2019':
    case U'\u201A':
    case U'\u2032':
      return U'\'';
    case U'\u201C':
    case U'\u201D':
    case U'\u201E':
    case U'\u00AB':
    case U'\u00BB':
    case U'\u2033':
      return U'"';
    case U'\u2022':
    case U'\u00B7':
      return U'.';
    case U'\u0406':
      return U'I';
    case U'\u0456':
      return U'i';
    case U'\u0408':
      return U'J';
    case U'\u0458':
      return U'j';
    case U'\u0405':
      return U'S';
    case U'\u0455':
      return U's';
    default:
      return 0;
  }
}

// Greek letters as the Hershey Greek font files them: in the alphabet's order from A on.
bool greek(char32_t c, UnitGlyph& out) {
  if (c == U'\u2126') c = U'\u03A9';
  if (c == U'\u00B5') c = U'\u03BC';
  if (c == U'\u03C2') c = U'\u03C3';
  char32_t first = 0;
  if (c >= U'\u0391' && c <= U'\u03A9' && c != U'\u03A2') first = U'\u0391';
  if (c >= U'\u03B1' && c <= U'\u03C9') first = U'\u03B1';
  if (first == 0) return false;
  const HersheyFont* font = hershey_font("greeks");
  if (font == nullptr) return false;
  unsigned index = c - first;
  if (index > 0x11) --index;  // no capital final sigma; the small one is drawn as sigma
  const auto code = static_cast<unsigned char>((first == U'\u0391' ? 'A' : 'a') + index);
  if (font->glyphs[code].width == 0) return false;
  from_font(*font, code, out);
  return true;
}

// Superscript two and three, and the letters with a diaeresis: built of the plain glyphs.
bool composed(char32_t c, const HersheyFont* font, UnitGlyph& out) {
  if (font == nullptr) return false;
  if (c == U'\u00B2' || c == U'\u00B3') {
    from_font(*font, c == U'\u00B2' ? '2' : '3', out);
    for (auto& stroke : out.strokes) {
      for (PlanPoint& p : stroke) p = {p.x * 0.6, p.y * 0.6 + 0.45};
    }
    out.advance *= 0.6;
    return true;
  }
  static const std::pair<char32_t, char> kDiaeresis[] = {
      {U'\u00C4', 'A'}, {U'\u00D6', 'O'}, {U'\u00DC', 'U'}, {U'\u00E4', 'a'},
      {U'\u00F6', 'o'}, {U'\u00FC', 'u'}, {U'\u00EB', 'e'}, {U'\u00EF', 'i'}};
  for (const auto& [letter, base] : kDiaeresis) {
    if (c != letter) continue;
    from_font(*font, static_cast<unsigned char>(base), out);
    const double y = base < 'a' ? 1.15 : 0.85;
    const double mid = out.advance / 2;
    out.strokes.push_back(ring(mid - 0.15, y, 0.03));
    out.strokes.push_back(ring(mid + 0.15, y, 0.03));
    return true;
  }
  return false;
}

}  // namespace

bool unit_glyph(char32_t c, const HersheyFont* style_font, UnitGlyph& out) {
  out = {};
  if (c >= 32 && c < 127) {
    if (style_font == nullptr || style_font->glyphs[c].width == 0) return false;
    from_font(*style_font, static_cast<unsigned char>(c), out);
    return true;
  }
  if (const char32_t plain = plain_form(c); plain != 0) return unit_glyph(plain, style_font, out);
  if (symbol(c, out) || greek(c, out) || composed(c, style_font, out)) return true;
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
