#include "svg/svg_style.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <utility>

#include "svg/svg_numbers.h"
#include "svg/svg_units.h"

namespace zor::svg {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string hex(int r, int g, int b) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", r & 255, g & 255, b & 255);
  return text;
}

// The colours a drawing program writes by name most often.
constexpr std::pair<const char*, const char*> kNamed[] = {
    {"black", "#000000"}, {"white", "#ffffff"},   {"red", "#ff0000"},     {"lime", "#00ff00"},
    {"green", "#008000"}, {"blue", "#0000ff"},    {"yellow", "#ffff00"},  {"cyan", "#00ffff"},
    {"aqua", "#00ffff"},  {"magenta", "#ff00ff"}, {"fuchsia", "#ff00ff"}, {"gray", "#808080"},
    {"grey", "#808080"},  {"silver", "#c0c0c0"},  {"maroon", "#800000"},  {"olive", "#808000"},
    {"navy", "#000080"},  {"purple", "#800080"},  {"teal", "#008080"},    {"orange", "#ffa500"},
    {"brown", "#a52a2a"}, {"pink", "#ffc0cb"}};

}  // namespace

std::string colour_name(std::string_view value) {
  const std::string v = lower(trimmed(value));
  auto digit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (v.size() == 4 && v[0] == '#' && digit(v[1]) && digit(v[2]) && digit(v[3])) {
    return std::string{'#', v[1], v[1], v[2], v[2], v[3], v[3]};
  }
  if (v.size() == 7 && v[0] == '#') return v;
  if (v.rfind("rgb(", 0) == 0 && v.back() == ')') {
    NumberScan scan(std::string_view(v).substr(4, v.size() - 5));
    int rgb[3];
    for (int& c : rgb) {
      const auto n = scan.number();
      if (!n) return v;
      double part = *n;
      if (scan.peek() == '%') {
        scan.skip();
        part = part * 255 / 100;
      }
      c = static_cast<int>(std::lround(std::fmin(255, std::fmax(0, part))));
    }
    return hex(rgb[0], rgb[1], rgb[2]);
  }
  for (const auto& [name, code] : kNamed) {
    if (v == name) return code;
  }
  return v;
}

void apply_property(Style& style, std::string_view name, std::string_view raw) {
  const std::string_view value = trimmed(raw);
  if (value.empty() || value == "inherit") return;
  if (name == "stroke") {
    style.stroke = colour_name(value);
  } else if (name == "fill") {
    style.fill = colour_name(value);
  } else if (name == "display") {
    style.displayed = value != "none";
  } else if (name == "visibility") {
    style.visible = value == "visible";
  } else if (name == "font-size") {
    if (const auto px = length_px(value, style.font_size); px && *px > 0 && std::isfinite(*px)) {
      style.font_size = *px;
    }
  } else if (name == "text-anchor") {
    style.anchor = value == "middle" ? 1 : value == "end" ? 2 : 0;
  }
}

void apply_style_attribute(Style& style, std::string_view text) {
  while (!text.empty()) {
    const size_t end = std::min(text.find(';'), text.size());
    const std::string_view declaration = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t colon = declaration.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view value = declaration.substr(colon + 1);
    if (const size_t bang = value.find("!important"); bang != std::string_view::npos) {
      value = value.substr(0, bang);
    }
    apply_property(style, lower(trimmed(declaration.substr(0, colon))), value);
  }
}

}  // namespace zor::svg
