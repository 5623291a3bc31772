#include "text/lettering.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "text/glyph_map.h"
#include "text/hershey_fonts.h"

namespace zor::text {

std::u32string decode_utf8(std::string_view s) {
  std::u32string out;
  size_t k = 0;
  while (k < s.size()) {
    const auto b = static_cast<unsigned char>(s[k]);
    int more = 0;
    char32_t c = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      more = 1, c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      more = 2, c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      more = 3, c = b & 0x07;
    } else {
      out.push_back(U'\uFFFD');
      ++k;
      continue;
    }
    bool good = true;
    for (int j = 1; good && j <= more; ++j) {
      if (k + j >= s.size()) {
        good = false;
        break;
      }
      const auto n = static_cast<unsigned char>(s[k + j]);
      if ((n & 0xC0) != 0x80) good = false;
      c = (c << 6) | (n & 0x3F);
    }
    // Overlong forms and surrogates are no characters either.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (!good || c < kLeast[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(U'\uFFFD');
      ++k;
      continue;
    }
    out.push_back(c);
    k += more + 1;
  }
  return out;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

LetteredLine letter_line(std::string_view utf8, double cap_height, const LetterStyle& style) {
  LetteredLine line;
  const HersheyFont* font = hershey_font(style.font);
  if (font == nullptr) font = hershey_font("rowmans");
  const double sx = cap_height * style.width_factor;
  const double lean = std::tan(style.oblique_deg * std::numbers::pi / 180);
  bool inked = false;
  UnitGlyph glyph;
  for (char32_t c : decode_utf8(utf8)) {
    if (c == U'\u00A0') c = U' ';
    if (c < 32 || c == 127) continue;
    if (!unit_glyph(c, font, glyph)) {
      if (c == U' ') {
        glyph = {{}, 0.75};  // a space even without a font
      } else {
        glyph = missing_box();
        ++line.missing;
      }
    }
    for (const auto& stroke : glyph.strokes) {
      std::vector<PlanPoint> points;
      points.reserve(stroke.size());
      for (const PlanPoint& p : stroke) {
        const double y = p.y * cap_height;
        const double x = line.advance + p.x * sx + y * lean;
        points.push_back({x, y});
        line.ink_left = inked ? std::min(line.ink_left, x) : x;
        line.ink_right = inked ? std::max(line.ink_right, x) : x;
        inked = true;
      }
      line.strokes.push_back(std::move(points));
    }
    line.advance += glyph.advance * sx;
  }
  return line;
}

double descent(double cap_height, const LetterStyle& style) {
  const HersheyFont* font = hershey_font(style.font);
  if (font == nullptr) font = hershey_font("rowmans");
  return font == nullptr ? cap_height / 3 : cap_height * font->descent / font->cap_height;
}

std::string font_for_style(std::string_view font_file) {
  std::string name(font_file);
  if (const size_t slash = name.find_last_of("/\\"); slash != std::string::npos) {
    name.erase(0, slash + 1);
  }
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // CAD programs' shape fonts are drawn after the Hershey fonts: their names say which.
  static const std::pair<const char*, const char*> kFonts[] = {
      {"romand", "rowmand"},    {"romant", "rowmant"},    {"romanc", "timesr"},
      {"complex", "timesr"},    {"times", "timesr"},      {"italict", "timesi"},
      {"italicc", "timesi"},    {"italic", "timesi"},     {"scripts", "scripts"},
      {"scriptc", "scriptc"},   {"greeks", "greeks"},     {"greekc", "greekc"},
      {"gothice", "gothiceng"}, {"gothicg", "gothicger"}, {"gothici", "gothicita"},
      {"cyrillic", "cyrillic"}, {"cyriltlc", "cyrillic"}, {"syastro", "astrology"},
      {"symath", "mathlow"},    {"symusic", "music"},     {"symeteo", "meteorology"},
  };
  for (const auto& [cad, hershey] : kFonts) {
    if (name == cad) return hershey;
  }
  return "rowmans";
}

std::vector<std::vector<PlanPoint>> letter_paths(const std::string& utf8, double height_mm,
                                                 int anchor, size_t* missing_glyphs) {
  LetteredLine line = letter_line(utf8, height_mm);
  const double shift = anchor == 1 ? -line.advance / 2 : anchor == 2 ? -line.advance : 0;
  for (auto& stroke : line.strokes) {
    for (PlanPoint& p : stroke) p.x += shift;
  }
  if (missing_glyphs != nullptr) *missing_glyphs = line.missing;
  return std::move(line.strokes);
}

}  // namespace zor::text
