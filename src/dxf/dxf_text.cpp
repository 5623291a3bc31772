#include "dxf/dxf_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "text/lettering.h"

namespace zor {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
// Characters one entity may draw: far beyond any drawing's note, and a bound on what a
// hostile file can make a single entity cost.
constexpr size_t kMaxChars = 20000;
// CAD programs put MTEXT's lines 5/3 of the text height apart at a spacing factor of 1.
constexpr double kLinePitch = 5.0 / 3.0;

Vec3 linear(const Affine& a, Vec3 v) {
  return a.apply(v) - a.apply({0, 0, 0});
}

Vec3 unit(Vec3 v) {
  const double n = norm(v);
  return n > 0 ? (1 / n) * v : Vec3{1, 0, 0};
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

const DxfTextStyle* style_of(const DxfRaw& raw, const DxfTextContext& context) {
  auto it = context.styles.find(upper(raw.style.empty() ? "STANDARD" : raw.style));
  return it == context.styles.end() ? nullptr : &it->second;
}

bool given(const DxfRaw& raw, int code) {
  return (raw.given_f & (1u << (code - 40))) != 0;
}

void shift(std::vector<std::vector<PlanPoint>>& strokes, double dx, double dy) {
  for (auto& s : strokes) {
    for (PlanPoint& p : s) p.x += dx, p.y += dy;
  }
}

std::string cut(std::string text) {
  if (text.size() > kMaxChars * 4) text.resize(kMaxChars * 4);
  return text;
}

std::variant<DxfShape, ShapeRefusal> single_line(const DxfRaw& raw, const DxfTextContext& context) {
  const DxfTextStyle* style = style_of(raw, context);
  text::LetterStyle letters;
  if (style != nullptr) letters.font = style->font.empty() ? "rowmans" : style->font;
  letters.width_factor = given(raw, 41) && raw.f[1] > 0 ? raw.f[1]
                         : style != nullptr             ? style->width_factor
                                                        : 1;
  letters.oblique_deg = given(raw, 51) ? raw.f[11] : style != nullptr ? style->oblique_deg : 0;
  double height = std::fabs(raw.f[0]);
  if (height == 0 && style != nullptr) height = style->height;
  if (!(height > 0) || !std::isfinite(height)) return ShapeRefusal{};
  const std::string content = cut(dxf_string(raw.text, context));
  const bool attrib = raw.type == "ATTRIB";
  if (attrib && (raw.i[0] & 1) != 0) return ShapeRefusal{};  // an attribute meant to be hidden
  const int horizontal = raw.i[2];
  const int vertical = attrib ? raw.i[4] : raw.i[3];
  const bool placed_by_second = (horizontal != 0 || vertical != 0) && raw.has_p[1];
  Vec3 anchor = placed_by_second ? raw.p[1] : raw.p[0];
  double rotation = raw.f[10] * kDegree;
  text::LetteredLine line = text::letter_line(content, height, letters);
  if (line.strokes.empty()) return ShapeRefusal{};
  double dx = 0, dy = 0;
  if (placed_by_second && (horizontal == 3 || horizontal == 5)) {
    // Aligned and fitted text runs from the first alignment point to the second.
    const double dxp = raw.p[1].x - raw.p[0].x, dyp = raw.p[1].y - raw.p[0].y;
    const double length = std::hypot(dxp, dyp);
    anchor = raw.p[0];
    if (length > 0 && line.advance > 0) {
      rotation = std::atan2(dyp, dxp);
      const double stretch = length / line.advance;
      if (horizontal == 3) height *= stretch;
      letters.width_factor *= stretch;
      line = text::letter_line(content, height, letters);
    }
  } else if (placed_by_second) {
    const double middle = (line.ink_left + line.ink_right) / 2;
    if (horizontal == 1 || horizontal == 4) dx = -middle;
    if (horizontal == 2) dx = -line.ink_right;
    if (horizontal == 4 && vertical == 0) dy = -height / 2;
    if (vertical == 1) dy = text::descent(height, letters);
    if (vertical == 2) dy = -height / 2;
    if (vertical == 3) dy = -height;
  }
  shift(line.strokes, dx, dy);
  const int flags = raw.i[1];
  const double mirror_x = (flags & 2) != 0 ? -1 : 1;
  const double mirror_y = (flags & 4) != 0 ? -1 : 1;
  const Affine ocs = Affine::from_ocs(raw.extrusion);
  TextShape s;
  s.strokes = std::move(line.strokes);
  s.missing = line.missing;
  s.origin = ocs.apply(anchor);
  s.ux = mirror_x * linear(ocs, {std::cos(rotation), std::sin(rotation), 0});
  s.uy = mirror_y * linear(ocs, {-std::sin(rotation), std::cos(rotation), 0});
  return s;
}

// Breaks a paragraph at spaces where it grows wider than `width`.
std::vector<std::string> wrapped(const std::string& paragraph, double width, double height,
                                 const text::LetterStyle& letters) {
  if (!(width > 0)) return {paragraph};
  std::vector<std::string> out(1);
  double used = 0;
  const double space = text::letter_line(" ", height, letters).advance;
  size_t k = 0;
  while (k <= paragraph.size()) {
    size_t end = paragraph.find(' ', k);
    if (end == std::string::npos) end = paragraph.size();
    const std::string word = paragraph.substr(k, end - k);
    const double w = text::letter_line(word, height, letters).advance;
    if (!out.back().empty() && used + space + w > width) {
      out.emplace_back();
      used = 0;
    }
    if (!out.back().empty() || used > 0) {
      out.back() += ' ';
      used += space;
    }
    out.back() += word;
    used += w;
    k = end + 1;
  }
  return out;
}

std::variant<DxfShape, ShapeRefusal> paragraphs(const DxfRaw& raw, const DxfTextContext& context) {
  const DxfTextStyle* style = style_of(raw, context);
  text::LetterStyle letters;
  if (style != nullptr) {
    letters.font = style->font.empty() ? "rowmans" : style->font;
    letters.width_factor = style->width_factor;
    letters.oblique_deg = style->oblique_deg;
  }
  double height = std::fabs(raw.f[0]);
  if (height == 0 && style != nullptr) height = style->height;
  if (!(height > 0) || !std::isfinite(height)) return ShapeRefusal{};
  std::vector<std::string> lines;
  for (const std::string& p : mtext_lines(cut(dxf_string(raw.text, context)))) {
    for (std::string& l : wrapped(p, std::fabs(raw.f[1]), height, letters))
      lines.push_back(std::move(l));
  }
  const double spacing = raw.f[4] > 0 && raw.f[4] <= 10 ? raw.f[4] : 1;
  const double pitch = kLinePitch * height * spacing;
  const int attach = raw.i[1] >= 1 && raw.i[1] <= 9 ? raw.i[1] : 1;
  const int column = (attach - 1) % 3, row = (attach - 1) / 3;
  const double total = height + (lines.size() - 1) * pitch;
  const double top = row == 0 ? 0 : row == 1 ? total / 2 : total;
  TextShape s;
  for (size_t k = 0; k < lines.size(); ++k) {
    text::LetteredLine line = text::letter_line(lines[k], height, letters);
    const double dx = column == 0   ? 0
                      : column == 1 ? -(line.ink_left + line.ink_right) / 2
                                    : -line.ink_right;
    shift(line.strokes, dx, top - height - k * pitch);
    s.missing += line.missing;
    for (auto& stroke : line.strokes) s.strokes.push_back(std::move(stroke));
  }
  if (s.strokes.empty()) return ShapeRefusal{};
  const Vec3 normal = unit(raw.extrusion);
  const Vec3 ux = raw.has_p[1] && norm(raw.p[1]) > 0
                      ? unit(raw.p[1])
                      : linear(Affine::from_ocs(raw.extrusion),
                               {std::cos(raw.f[10] * kDegree), std::sin(raw.f[10] * kDegree), 0});
  s.origin = raw.p[0];  // MTEXT's point is in the drawing's coordinates, not its plane's
  s.ux = ux;
  s.uy = unit(cross(normal, ux));
  return s;
}

}  // namespace

std::variant<DxfShape, ShapeRefusal> to_text_shape(const DxfRaw& raw,
                                                   const DxfTextContext& context) {
  return raw.kind == DxfKind::kMText ? paragraphs(raw, context) : single_line(raw, context);
}

}  // namespace zor
