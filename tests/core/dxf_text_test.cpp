// Texts of the full DXF reading, judged by the strokes the plan draws: placed where ezdxf
// says a text stands and as high as the file says, aligned, turned, stretched, in several
// lines, in Cyrillic, and the characters no font has drawn as boxes with a notice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

#include "dxf_full_support.h"
#include "text/lettering.h"

namespace zor::testing {
namespace {

struct OracleText {
  double x = 0, y = 0, height = 0, rotation = 0;
  int halign = 0, valign = 0;
  std::string chars;
};

std::vector<OracleText> oracle_texts(const std::string& path) {
  std::vector<OracleText> texts;
#ifndef _WIN32
  const std::string command = "/usr/bin/python3 " + oracle_script() + " --texts '" + path + "'";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return texts;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
    std::istringstream line(buf);
    std::string word;
    OracleText t;
    if (!(line >> word >> t.x >> t.y >> t.height >> t.rotation >> t.halign >> t.valign)) continue;
    std::getline(line >> std::ws, t.chars);
    texts.push_back(t);
  }
  EXPECT_EQ(::pclose(pipe), 0);
#endif
  return texts;
}

// The plan's points in a text's own frame (origin at its point, x along its baseline),
// within the box [x0, x1] x [y0, y1] of that frame.
std::vector<PlanPoint> points_near(const Plan& plan, double ox, double oy, double rotation_deg,
                                   double x0, double x1, double y0, double y1) {
  const double a = rotation_deg * std::numbers::pi / 180;
  std::vector<PlanPoint> out;
  for (const PlanPath& path : plan.paths) {
    for (const PlanPoint& p : path.points) {
      const double dx = p.x - ox, dy = p.y - oy;
      const PlanPoint local{dx * std::cos(a) + dy * std::sin(a),
                            -dx * std::sin(a) + dy * std::cos(a)};
      if (local.x >= x0 && local.x <= x1 && local.y >= y0 && local.y <= y1) out.push_back(local);
    }
  }
  return out;
}

TEST(DxfTexts, StandWhereEzdxfPlacesThemAtTheirHeight) {
  if (!kHaveOracle) GTEST_SKIP() << "ezdxf is Debian's";
  size_t checked = 0;
  for (const char* name : {"inkscape_io_CADTextHeight_R13.dxf", "ezdxf_recover01_padded_values.dxf",
                           "ezdxf_duplicate_handles_R13.dxf"}) {
    const std::string path = std::string(ZOR_TEST_DATA) + "/dxf/" + name;
    const Plan plan = read_dxf_plan(path);
    DxfFullOptions geometry;
    geometry.letter_texts = false;
    const Plan lines = read_dxf_full_file(path, geometry).plan;
    for (const OracleText& t : oracle_texts(path)) {
      // Left on the baseline, beginning with a capital or a digit: the first character's
      // strokes rise from the baseline to the cap height.
      if (t.halign != 0 || t.valign != 0 || t.chars.empty()) continue;
      const char first = t.chars[0];
      if (!((first >= 'A' && first <= 'Z') || (first >= '0' && first <= '9'))) continue;
      SCOPED_TRACE(std::string(name) + ": " + t.chars);
      const double h = t.height;
      // The first glyph's cell; a text drawn over other lines of the drawing is not judged.
      if (!points_near(lines, t.x, t.y, t.rotation, 0, 0.9 * h, -0.3 * h, 1.15 * h).empty())
        continue;
      const auto near = points_near(plan, t.x, t.y, t.rotation, 0, 0.9 * h, -0.3 * h, 1.15 * h);
      ASSERT_FALSE(near.empty());
      double xmin = near[0].x, ymin = near[0].y, ymax = near[0].y;
      for (const PlanPoint& p : near) {
        xmin = std::min(xmin, p.x);
        ymin = std::min(ymin, p.y);
        ymax = std::max(ymax, p.y);
      }
      EXPECT_NEAR(ymax, h, 0.04 * h);
      EXPECT_NEAR(ymin, 0, 0.04 * h);

      EXPECT_LE(xmin, 0.45 * h);
      ++checked;
    }
  }
  EXPECT_GE(checked, 40u);
}

// The lettering the SVG reading calls: capitals as high as asked, Cyrillic from the font,
// the anchors, and a box for what no font has.
TEST(Lettering, CapHeightAnchorsCyrillicAndBoxes) {
  size_t missing = 99;
  auto extent = [](const std::vector<std::vector<PlanPoint>>& paths) {
    PlanExtents e{1e9, 1e9, -1e9, -1e9};
    for (const auto& p : paths) {
      for (const PlanPoint& q : p) {
        e = {std::min(e.xmin, q.x), std::min(e.ymin, q.y), std::max(e.xmax, q.x),
             std::max(e.ymax, q.y)};
      }
    }
    return e;
  };
  const auto start = text::letter_paths("\u0428\u0420\u0418\u0424\u0422", 7, 0, &missing);
  EXPECT_EQ(missing, 0u);
  const PlanExtents a = extent(start);
  EXPECT_NEAR(a.ymin, 0, 0.05);
  EXPECT_NEAR(a.ymax, 7, 0.35);  // the serif font's Ф reaches a little above its capitals
  EXPECT_GE(a.xmin, 0);
  const PlanExtents end = extent(text::letter_paths("HH", 10, 2, &missing));
  EXPECT_NEAR(end.ymax, 10, 1e-9);
  EXPECT_LT(end.xmax, 0);
  EXPECT_GT(end.xmax, -2);
  const PlanExtents mid = extent(text::letter_paths("HH", 10, 1, &missing));
  EXPECT_NEAR(mid.xmin + mid.xmax, 0, 1e-9);
  text::letter_paths("a\u2603b", 5, 0, &missing);
  EXPECT_EQ(missing, 1u);
}

}  // namespace
}  // namespace zor::testing
