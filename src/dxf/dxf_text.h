// The texts of a DXF drawing as strokes of a single-stroke font: TEXT and ATTRIB (height,
// rotation, width factor, oblique angle, both alignments with the second alignment point,
// aligned and fitted text, mirroring), and MTEXT (attachment point, direction, line
// spacing, paragraphs wrapped at the reference width, formatting codes left out). The
// strings are read in the drawing's code page ($DWGCODEPAGE) before R2007 and as UTF-8
// after, with the \U+XXXX and %% escapes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "dxf/dxf_entities.h"
#include "dxf/dxf_pairs.h"

namespace zor {

// A text style of the STYLE table.
struct DxfTextStyle {
  std::string font;   // the Hershey font that draws it
  double height = 0;  // fixed height; 0 when the texts give theirs
  double width_factor = 1;
  double oblique_deg = 0;
  int flags = 0;  // 71: 2 mirrored in X, 4 upside down
};

struct DxfTextContext {
  std::map<std::string, DxfTextStyle> styles;  // by upper-case name
  bool utf8 = false;                           // R2007 and later
  bool version_given = false;                  // $ACADVER read
  std::string code_page = "ANSI_1252";         // $DWGCODEPAGE, upper case
};

// Reads one STYLE table entry's pair.
void apply_style_pair(DxfTextStyle& style, std::string& name, int code, std::string_view value);

// The text of an entity in UTF-8, its escapes resolved (TEXT's %%d, %%p, %%c; \U+XXXX).
std::string dxf_string(std::string_view bytes, const DxfTextContext& context);
// MTEXT's text as plain lines: \P and \N break them, the formatting codes are left out,
// \S stacked fractions become a/b.
std::vector<std::string> mtext_lines(std::string_view utf8);

// The lettered shape of a TEXT, ATTRIB or MTEXT (raw.kind kText or kMText).
std::variant<DxfShape, ShapeRefusal> to_text_shape(const DxfRaw& raw,
                                                   const DxfTextContext& context);

}  // namespace zor
