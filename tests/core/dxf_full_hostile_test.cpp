// Drawings made to hurt the full DXF reading: arrays of a trillion copies, blocks that place
// themselves, a spline whose degree its points cannot carry, arcs of absurd size, broken and
// cut-off files. Each ends with a plan of finite points within the bounds and a notice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

#include "dxf_full_support.h"

namespace zor::testing {
namespace {

void expect_sane(const Plan& plan, const DxfFullOptions& options = {}) {
  size_t points = 0;
  for (const PlanPath& path : plan.paths) {
    EXPECT_GE(path.points.size(), 2u);
    for (const PlanPoint& p : path.points) {
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    points += path.points.size();
  }
  for (const PlanHole& h : plan.holes) ASSERT_TRUE(std::isfinite(h.x) && std::isfinite(h.y));
  EXPECT_LE(points + plan.holes.size(), options.max_points);
}

std::string with_block(const std::string& block_body, const std::string& entities) {
  DxfText t;
  const std::string head = t.section("BLOCKS").block("B").str();
  DxfText mid;
  mid.endblk().endsec().section("ENTITIES");
  DxfText tail;
  tail.endsec().eof();
  return head + block_body + mid.str() + entities + tail.str();
}

TEST(DxfFullHostile, ArrayOfAMillionByAMillionStopsAtTheBound) {
  DxfText body;
  body.line(0, 0, 1, 0);
  DxfText place;
  place.insert("B", 0, 0).pair(70, 1000000).pair(71, 1000000).pair(44, 2.0).pair(45, 2.0);
  const DxfFullReading r = read_text(with_block(body.str(), place.str()));
  expect_sane(r.plan);
  EXPECT_TRUE(has_notice(r.plan, "чертёж слишком велик"));
  EXPECT_GT(r.plan.paths.size(), 1000u);
}

TEST(DxfFullHostile, ArrayOfAnEmptyBlockEndsToo) {
  DxfText place;
  place.insert("B", 0, 0).pair(70, 1000000).pair(71, 1000000).pair(44, 2.0).pair(45, 2.0);
  place.line(0, 0, 5, 5);
  DxfFullOptions small;
  small.max_work = 100000;
  const DxfFullReading r = read_text(with_block("", place.str()), small);
  expect_sane(r.plan, small);
  EXPECT_TRUE(has_notice(r.plan, "чертёж слишком велик"));
}

TEST(DxfFullHostile, BlockThatInsertsItselfIsDrawnOnce) {
  DxfText body;
  body.line(0, 0, 1, 0).insert("B", 5, 0);
  DxfText place;
  place.insert("B", 0, 0);
  const DxfFullReading r = read_text(with_block(body.str(), place.str()));
  expect_sane(r.plan);
  EXPECT_TRUE(has_notice(r.plan, "блок «B» вставляет сам себя"));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  EXPECT_DOUBLE_EQ(plan_length(r.plan), 1);
}

TEST(DxfFullHostile, BlocksPlacingEachOtherInACircle) {
  DxfText t;
  t.section("BLOCKS");
  t.block("A").line(0, 0, 1, 0).insert("C", 0, 1).endblk();
  t.block("C").line(0, 0, 0, 1).insert("A", 1, 0).endblk().endsec();
  t.section("ENTITIES").insert("A", 0, 0).endsec().eof();
  const DxfFullReading r = read_text(t.str());
  expect_sane(r.plan);
  EXPECT_TRUE(has_notice(r.plan, "вставляет сам себя"));
  EXPECT_DOUBLE_EQ(plan_length(r.plan), 2);
}

TEST(DxfFullHostile, NestingDeeperThanTheBoundIsCut) {
  DxfText t;
  t.section("BLOCKS");
  for (int k = 0; k < 100; ++k) {
    t.block("L" + std::to_string(k)).line(0, 0, 1, 0);
    if (k + 1 < 100) t.insert("L" + std::to_string(k + 1), 1, 0);
    t.endblk();
  }
  t.endsec().section("ENTITIES").insert("L0", 0, 0).endsec().eof();
  const DxfFullReading r = read_text(t.str());
  expect_sane(r.plan);
  EXPECT_TRUE(has_notice(r.plan, "вложены глубже 32"));
  EXPECT_DOUBLE_EQ(plan_length(r.plan), 32);
}

TEST(DxfFullHostile, SplineOfDegreeFiftyWithThreePoints) {
  DxfText t;
  t.section("ENTITIES").pair(0, "SPLINE").pair(71, 50).pair(73, 3);
  t.point(10, 0, 0).point(10, 1, 1).point(10, 2, 0).line(0, 0, 1, 1).endsec().eof();
  const DxfFullReading r = read_text(t.str());
  expect_sane(r.plan);
  EXPECT_TRUE(has_notice(r.plan, "SPLINE: степень 50 при 3 управляющих точках"));
  EXPECT_EQ(r.plan.paths.size(), 1u);
}

TEST(DxfFullHostile, SplinesWithBrokenKnotsOrWeights) {
  DxfText t;
  t.section("ENTITIES");
  t.pair(0, "SPLINE").pair(71, 2).pair(40, 0.0).pair(40, 1.0);
  t.point(10, 0, 0).point(10, 1, 1).point(10, 2, 0);
  t.pair(0, "SPLINE").pair(71, 1);
  for (const double k : {0.0, 0.0, 2.0, 1.0, 1.0}) t.pair(40, k);
  t.point(10, 0, 0).point(10, 1, 1).point(10, 2, 0);
  t.pair(0, "SPLINE").pair(71, 1).pair(41, 1.0).pair(41, -1.0);
  t.point(10, 0, 0).point(10, 1, 1);
  t.endsec().eof();
  const DxfFullReading r = read_text(t.str());
  expect_sane(r.plan);
  EXPECT_TRUE(r.plan.paths.empty());
  EXPECT_TRUE(has_notice(r.plan, "узлов вместо"));
  EXPECT_TRUE(has_notice(r.plan, "узлы идут не по возрастанию"));
  EXPECT_TRUE(has_notice(r.plan, "вес не больше нуля"));
}

TEST(DxfFullHostile, BulgeOfTenToTheThreeHundredIsAStraightSegment) {
  DxfText t;
  t.section("ENTITIES").pair(0, "LWPOLYLINE").pair(90, 2).pair(70, 0);
  t.pair(10, 0.0).pair(20, 0.0).pair(42, "1e300").pair(10, 10.0).pair(20, 0.0);
  t.endsec().eof();
  const DxfFullReading r = read_text(t.str());
  expect_sane(r.plan);
  EXPECT_TRUE(has_notice(r.plan, "слишком велика: нарисована отрезком"));
  ASSERT_EQ(r.plan.paths.size(), 1u);
  EXPECT_EQ(r.plan.paths[0].points, (std::vector<PlanPoint>{{0, 0}, {10, 0}}));
}

TEST(DxfFullHostile, HugeRadiiAndScalesAreLeftOut) {
  DxfText body;
  body.pair(0, "CIRCLE").point(10, 0, 0).pair(40, 1.0);
  DxfText place;
  place.pair(0, "CIRCLE").point(10, 0, 0).pair(40, "1e300");
  place.pair(0, "ARC").point(10, 0, 0).pair(40, 1e9).pair(50, 0.0).pair(51, 180.0);
  place.insert("B", 0, 0, 1e300, 1e300);
  place.pair(0, "ELLIPSE").point(10, 1e200, 0).point(11, 1e200, 0).pair(40, 1.0);
  const DxfFullReading r = read_text(with_block(body.str(), place.str()));
  expect_sane(r.plan);
  EXPECT_TRUE(r.plan.paths.empty());
  EXPECT_TRUE(has_notice(r.plan, "дальше 100 км"));
}

TEST(DxfFullHostile, LinesScaledBeyondTheNumbersAreLeftOut) {
  DxfText body;
  body.line(0, 0, 1e300, 0).pair(0, "POINT").point(10, 1e300, 1e300);
  DxfText place;
  place.insert("B", 0, 0, 1e300, 1e300).insert("B", 0, 0).pair(70, 3).pair(44, 1e308);
  place.line(0, 0, 1, 0).pair(70, 1000000000000.0);
  const DxfFullReading r = read_text(with_block(body.str(), place.str()));
  expect_sane(r.plan);
  EXPECT_EQ(r.plan.paths.size(), 1u);
  EXPECT_TRUE(r.plan.holes.empty());
  EXPECT_TRUE(has_notice(r.plan, "дальше 100 км от начала координат: "));
}

TEST(DxfFullHostile, NumbersThatDoNotReadSkipTheirEntity) {
  DxfText t;
  t.section("ENTITIES").line(0, 0, 1, 0);
  t.pair(0, "LINE").pair(10, "1.2.3").pair(20, "0").pair(11, "nan").pair(21, "inf");
  t.pair(0, "LINE").pair(10, "1e999").pair(20, "0").pair(11, "2").pair(21, "0");
  t.line(1, 0, 2, 0).endsec().eof();
  const DxfFullReading r = read_text(t.str());
  expect_sane(r.plan);
  EXPECT_DOUBLE_EQ(plan_length(r.plan), 2);
  EXPECT_TRUE(has_notice(r.plan, "пропущено: объекты с нечитаемыми числами ×2"));
}

TEST(DxfFullHostile, EveryCutOfARealFileReads) {
  std::ifstream in(std::string(ZOR_TEST_DATA) + "/dxf/qcad_entities_lowercase_names.dxf",
                   std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(whole.size(), 100000u);
  size_t last_paths = 0;
  for (size_t cut = 0; cut <= whole.size(); cut += whole.size() / 37) {
    const DxfFullReading r = read_text(whole.substr(0, cut));
    expect_sane(r.plan);
    EXPECT_GE(r.plan.paths.size() + 1, last_paths);
    last_paths = r.plan.paths.size();
    if (cut > 0 && cut < whole.size()) {
      EXPECT_FALSE(r.plan.notices.empty());
    }
  }
}

TEST(DxfFullHostile, BinaryBytesGiveANoticeAndNothingDrawn) {
  std::string bytes;
  uint32_t state = 2463534242u;
  for (int i = 0; i < 200000; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    bytes += static_cast<char>(state & 0xFF);
  }
  const DxfFullReading r = read_text(bytes);
  expect_sane(r.plan);
  EXPECT_TRUE(r.plan.paths.empty());
}

}  // namespace
}  // namespace zor::testing
