// Hostile SVG files: each is read in bounded time and memory, with a notice, and whatever
// sound part the file holds is still drawn.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/error.h"
#include "common/input_file.h"
#include "session_rig.h"
#include "svg/svg_plan.h"
#include "svg_support.h"

namespace zor::testing {
namespace {

const std::string kOpen =
    "<svg xmlns='http://www.w3.org/2000/svg' width='100mm' height='100mm' "
    "viewBox='0 0 100 100'>";
const std::string kSound = "<path d='M10 10H20' stroke='black'/>";

svg::SvgPlan plan_of(const std::string& body) {
  return svg::svg_plan(svg::read_svg(kOpen + body + "</svg>"), {});
}

void expect_sound_line_drawn(const Plan& plan) {
  ASSERT_FALSE(plan.paths.empty());
  EXPECT_NEAR(plan_length(plan), 10, 1e-9);
}

TEST(SvgHostile, EntitiesAreNeverExpanded) {
  std::string doc = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY a0 'lol'>";
  for (int k = 1; k < 10; ++k) {
    doc += "<!ENTITY a" + std::to_string(k) + " '";
    for (int j = 0; j < 10; ++j) doc += "&a" + std::to_string(k - 1) + ";";
    doc += "'>";
  }
  doc += "<!ENTITY ext SYSTEM 'file:///etc/passwd'>]>" + kOpen +
         "<text x='1' y='5'>&a9;&ext;</text>" + kSound + "</svg>";
  const Plan plan = svg::svg_plan(svg::read_svg(doc), {}).plan;
  EXPECT_TRUE(has_notice(plan.notices, "не раскрываются"));
  // The text keeps its references unexpanded, a few letters wide, and the line is drawn.
  const auto extents = plan_extents(plan);
  ASSERT_TRUE(extents);
  EXPECT_LT(extents->xmax - extents->xmin, 200);
  EXPECT_GE(plan_length(plan), 10);
}

TEST(SvgHostile, AUseOfItselfOrItsContainerIsSkipped) {
  const Plan self = plan_of("<use id='u' href='#u'/>" + kSound).plan;
  EXPECT_TRUE(has_notice(self.notices, "ссылается на себя"));
  expect_sound_line_drawn(self);
  const Plan ancestor = plan_of("<g id='g'><g><use href='#g'/></g>" + kSound + "</g>").plan;
  EXPECT_TRUE(has_notice(ancestor.notices, "ссылается на себя"));
  expect_sound_line_drawn(ancestor);
  // Each through the other.
  const Plan pair = plan_of(
                        "<defs><g id='a'><use href='#b'/></g><g id='b'><use href='#a'/></g>"
                        "</defs><use href='#a'/>" +
                        kSound)
                        .plan;
  EXPECT_TRUE(has_notice(pair.notices, "ссылается на себя"));
  expect_sound_line_drawn(pair);
  const Plan outside = plan_of("<use href='other.svg#x'/>" + kSound).plan;
  EXPECT_TRUE(has_notice(outside.notices, "другие файлы"));
}

TEST(SvgHostile, UsesMultiplyingToBillionsStopAtTheElementCap) {
  // Ten uses of ten uses of ... nine deep: a billion copies of one line.
  std::string defs = "<defs><path id='l0' d='M0 0h1' stroke='black'/>";
  for (int k = 1; k <= 9; ++k) {
    defs += "<g id='l" + std::to_string(k) + "'>";
    for (int j = 0; j < 10; ++j) defs += "<use href='#l" + std::to_string(k - 1) + "'/>";
    defs += "</g>";
  }
  const Plan plan = plan_of(defs + "</defs><use href='#l9'/>").plan;
  EXPECT_TRUE(has_notice(plan.notices, "элементы сверх"));
  EXPECT_LE(plan.paths.size(), 2'000'000u);
}

TEST(SvgHostile, AMillionCommandPathIsReadWhole) {
  std::string d = "M0 0";
  for (int k = 0; k < 1'000'000; ++k) d += k % 2 ? "l.0001 0" : "l0 .0001";
  const Plan plan = plan_of("<path d='" + d + "' stroke='black'/>").plan;
  ASSERT_EQ(plan.paths.size(), 1u);
  EXPECT_EQ(plan.paths[0].points.size(), 1'000'001u);
}

TEST(SvgHostile, ZeroOrEndlessScalesAndZeroRadiiDrawNothingBroken) {
  const Plan zero =
      plan_of("<path d='M0 0H50' transform='scale(0)' stroke='black'/>" + kSound).plan;
  EXPECT_TRUE(has_notice(zero.notices, "нулевым или бесконечным"));
  expect_sound_line_drawn(zero);
  const Plan endless =
      plan_of("<g transform='scale(1e308)'><circle r='1e308' stroke='black'/></g>" + kSound).plan;
  EXPECT_TRUE(has_notice(endless.notices, "нулевым или бесконечным"));
  expect_sound_line_drawn(endless);
  // Zero radii: a straight line, as SVG draws it.
  expect_sound_line_drawn(plan_of("<path d='M10 10A0 0 0 0 1 20 10' stroke='black'/>").plan);
}

TEST(SvgHostile, AFileTooLargeIsRefusedBeforeItIsHeld) {
  TempFile file("big.svg", "");
  std::filesystem::resize_file(file.path(), uintmax_t{100} << 20);  // 100 MB of zeros
  try {
    svg::read_svg_plan(file.path(), {});
    ADD_FAILURE() << "read";
  } catch (const IoError& e) {
    EXPECT_NE(std::string(e.what()).find(kFileTooLarge), std::string::npos) << e.what();
  }
  // On the machine: the refusal is told and nothing moves.
  SessionRig rig;
  rig.open_dxf(file.path());
  rig.full_reading();
  EXPECT_THROW(rig.draw(), IoError);
  EXPECT_EQ(rig.work.lowerings(), 0);
}

TEST(SvgHostile, BrokenXmlAndDataDrawWhatCameBefore) {
  const Plan cut = svg::svg_plan(svg::read_svg(kOpen + kSound + "<path d='M0 0"), {}).plan;
  EXPECT_TRUE(has_notice(cut.notices, "Ошибка XML"));
  expect_sound_line_drawn(cut);
  const Plan data = plan_of("<path d='M10 10H20 L 5' stroke='black'/>").plan;
  EXPECT_TRUE(has_notice(data.notices, "Ошибка в данных"));
  expect_sound_line_drawn(data);
  EXPECT_TRUE(
      has_notice(svg::svg_plan(svg::read_svg("<html/>"), {}).plan.notices, "не рисунок SVG"));
}

}  // namespace
}  // namespace zor::testing
