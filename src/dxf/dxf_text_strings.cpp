// The strings of DXF texts: code pages, escapes, MTEXT's formatting codes.
#include <cctype>
#include <cstdint>

#include "dxf/dxf_text.h"
#include "text/lettering.h"

namespace zor {
namespace {

// Bytes 0x80..0xBF of Windows-1251 (0xC0..0xFF are А..я in order).
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
// Bytes 0x80..0x9F of Windows-1252 (0xA0..0xFF are Latin-1's).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t from_code_page(unsigned char b, const std::string& page) {
  if (b < 0x80) return b;
  if (page == "ANSI_1251") {
    return b >= 0xC0 ? char32_t{0x0410u + (b - 0xC0u)} : char32_t{kCp1251High[b - 0x80]};
  }
  if (page == "DOS866") {
    if (b < 0xB0) return 0x0410 + (b - 0x80);
    if (b >= 0xE0 && b < 0xF0) return 0x0440 + (b - 0xE0);
    if (b == 0xF0) return 0x0401;
    if (b == 0xF1) return 0x0451;
    if (b == 0xF8) return 0x00B0;
    return 0xFFFD;
  }
  return b < 0xA0 ? char32_t{kCp1252High[b - 0x80]} : char32_t{b};
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void apply_style_pair(DxfTextStyle& style, std::string& name, int code, std::string_view value) {
  double v = 0;
  const bool number = dxf_number(value, v);
  if (code == 2) name.assign(value);
  if (code == 3 && !value.empty()) style.font = text::font_for_style(value);
  if (!number) return;
  if (code == 40) style.height = v;
  if (code == 41 && v > 0) style.width_factor = v;
  if (code == 50) style.oblique_deg = v;
  if (code == 71) style.flags = dxf_int(v);
}

std::string dxf_string(std::string_view bytes, const DxfTextContext& context) {
  std::u32string chars;
  // A file that says neither its version nor its code page is taken as UTF-8 when its
  // text reads as such, as scripts write them today.
  bool utf8 = context.utf8;
  if (!utf8 && !context.version_given) {
    const std::u32string decoded = text::decode_utf8(bytes);
    utf8 = decoded.find(U'\uFFFD') == std::u32string::npos;
  }
  if (utf8) {
    chars = text::decode_utf8(bytes);
  } else {
    for (char b : bytes)
      chars.push_back(from_code_page(static_cast<unsigned char>(b), context.code_page));
  }
  std::string out;
  for (size_t k = 0; k < chars.size(); ++k) {
    const char32_t c = chars[k];
    if (c == U'\\' && k + 6 < chars.size() + 0 && (chars[k + 1] == U'U' || chars[k + 1] == U'u') &&
        chars[k + 2] == U'+') {
      char32_t code = 0;
      bool good = true;
      for (size_t j = k + 3; j < k + 7; ++j) {
        const int d = chars[j] < 128 ? hex_digit(static_cast<char>(chars[j])) : -1;
        good = good && d >= 0;
        code = code * 16 + static_cast<char32_t>(d < 0 ? 0 : d);
      }
      if (good) {
        text::append_utf8(out, code);
        k += 6;
        continue;
      }
    }
    if (c == U'%' && k + 2 < chars.size() && chars[k + 1] == U'%') {
      const char32_t what =
          chars[k + 2] < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(chars[k + 2])))
                             : 0;
      const char32_t symbol = what == U'd'   ? U'\u00B0'
                              : what == U'p' ? U'\u00B1'
                              : what == U'c' ? U'\u2300'
                              : what == U'%' ? U'%'
                                             : 0;
      if (symbol != 0) {
        text::append_utf8(out, symbol);
        k += 2;
        continue;
      }
      // Underline, overline and strike-through switch on and off: not drawn.
      if (what == U'u' || what == U'o' || what == U'k') {
        k += 2;
        continue;
      }
      if (chars[k + 2] >= U'0' && chars[k + 2] <= U'9') {
        char32_t code = 0;
        size_t j = k + 2;
        for (; j < chars.size() && j < k + 5 && chars[j] >= U'0' && chars[j] <= U'9'; ++j) {
          code = code * 10 + (chars[j] - U'0');
        }
        text::append_utf8(
            out, code < 256 ? from_code_page(static_cast<unsigned char>(code), context.code_page)
                            : U'\uFFFD');
        k = j - 1;
        continue;
      }
    }
    text::append_utf8(out, c);
  }
  return out;
}

std::vector<std::string> mtext_lines(std::string_view s) {
  std::vector<std::string> lines(1);
  // Codes that take a value up to ';'.
  static const std::string_view kWithValue = "ACcFfHQTWp";
  for (size_t k = 0; k < s.size(); ++k) {
    const char c = s[k];
    if (c == '{' || c == '}') continue;
    if (c != '\\' || k + 1 >= s.size()) {
      lines.back().push_back(c);
      continue;
    }
    const char code = s[++k];
    if (code == 'P' || code == 'N') {
      lines.emplace_back();
    } else if (code == '~') {
      lines.back().push_back(' ');
    } else if (code == '\\' || code == '{' || code == '}') {
      lines.back().push_back(code);
    } else if (code == 'S') {
      // A stacked fraction "\S1^2;" or "\S1/2;" or "\S1#2;": drawn as 1/2.
      for (++k; k < s.size() && s[k] != ';'; ++k) {
        lines.back().push_back(s[k] == '^' || s[k] == '#' ? '/' : s[k]);
      }
    } else if (kWithValue.find(code) != std::string_view::npos) {
      while (k + 1 < s.size() && s[k + 1] != ';') ++k;
      ++k;  // the ';'
    } else if (code == 'U' || code == 'M') {
      // \U+XXXX was resolved before; \M+nXXXX names a character of an Asian code page.
      if (code == 'M') {
        k = std::min(s.size() - 1, k + 6);
        text::append_utf8(lines.back(), U'\uFFFD');
      } else {
        lines.back().append("\\U");
      }
    }
    // Other switches (\L \l \O \o \K \k \X) change how the text looks, not what it says.
  }
  return lines;
}

}  // namespace zor
