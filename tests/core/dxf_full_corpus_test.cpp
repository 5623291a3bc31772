// Every DXF file of tests/data/dxf (drawings as CAD programs and converters wrote them) read
// fully and compared with a second, independent reading by ezdxf: entity counts per kind,
// extents within 0.05 mm, drawn length within 0.1 %, holes, units.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "dxf_full_support.h"

namespace zor::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> corpus_files() {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(std::string(ZOR_TEST_DATA) + "/dxf")) {
    if (entry.path().extension() == ".dxf") files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The kinds the reading draws or places: their counts must be ezdxf's exactly.
const std::set<std::string> kDrawnKinds = {"LINE",    "LWPOLYLINE", "POLYLINE", "ARC",    "CIRCLE",
                                           "ELLIPSE", "SPLINE",     "POINT",    "INSERT", "3DFACE"};

// The kinds lettered or drawn from their own blocks: never read over.
const std::set<std::string> kLetteredKinds = {"TEXT", "MTEXT", "DIMENSION", "ATTRIB"};

std::string corpus_path(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/dxf/" + name;
}

void expect_same_counts(const DxfFullReading& mine, const OracleReading& theirs) {
  std::map<std::string, size_t> counts(mine.model_space.begin(), mine.model_space.end());
  for (const auto& [kind, count] : theirs.counts) {
    if (kDrawnKinds.count(kind) != 0) {
      EXPECT_EQ(counts[kind], count) << kind;
    } else {
      // ezdxf's recovery removes read-over entities it finds broken (a DIMENSION without
      // its block); the reading counts what the file holds.
      EXPECT_GE(counts[kind], count) << kind;
    }
  }
  for (const auto& [kind, count] : counts) {
    if (kDrawnKinds.count(kind) != 0) {
      EXPECT_EQ(theirs.counts.count(kind), 1u) << kind;
    }
  }
}

// One test for all files, so that the oracle starts once.
TEST(DxfCorpus, EveryFileAgreesWithEzdxf) {
  if (!kHaveOracle) GTEST_SKIP() << "ezdxf is Debian's";
  const std::vector<std::string> names = corpus_files();
  ASSERT_GE(names.size(), 20u);
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(corpus_path(name));
  const auto theirs = oracle_readings(paths);
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    DxfFullOptions geometry;
    geometry.letter_texts = false;
    const DxfFullReading mine = read_dxf_full_file(path, geometry);
    const auto it = theirs.find(path);
    ASSERT_NE(it, theirs.end());
    expect_agrees(mine, it->second);
    expect_same_counts(mine, it->second);
  }
}

TEST(DxfCorpus, EveryReadOverKindIsNamedOnce) {
  for (const std::string& name : corpus_files()) {
    SCOPED_TRACE(name);
    const DxfFullReading mine = read_dxf_full_file(corpus_path(name));
    std::set<std::string> seen;
    for (const std::string& notice : mine.plan.notices) {
      EXPECT_TRUE(seen.insert(notice).second) << notice;
    }
    for (const auto& [kind, count] : mine.model_space) {
      if (kDrawnKinds.count(kind) != 0) continue;
      EXPECT_EQ(has_notice(mine.plan, "пропущено: " + kind + " ×"), kLetteredKinds.count(kind) == 0)
          << kind;
    }
    for (const PlanPath& p : mine.plan.paths) EXPECT_GE(p.points.size(), 2u);
  }
}

// Files whose whole drawing lies in blocks were drawn as nothing by the fixed reading.
TEST(DxfCorpusFacts, BlocksOnlyDrawingIsDrawn) {
  const Plan plan =
      read_dxf_plan(std::string(ZOR_TEST_DATA) + "/dxf/qcad_dxflib_demo_R12_blocks.dxf");
  EXPECT_GT(plan.paths.size(), 100u);
  EXPECT_GT(plan_length(plan), 7000.0);
}

TEST(DxfCorpusFacts, InchDrawingIsScaledToMillimetres) {
  const DxfFullReading r =
      read_dxf_full_file(std::string(ZOR_TEST_DATA) + "/dxf/ezdxf_wipeout_door_autocad.dxf");
  EXPECT_DOUBLE_EQ(r.mm_per_unit, 25.4);
  EXPECT_TRUE(has_notice(r.plan, "дюймы"));
}

TEST(DxfCorpusFacts, TextsAreDrawnNotCounted) {
  const std::string path = std::string(ZOR_TEST_DATA) + "/dxf/ezdxf_recover01_padded_values.dxf";
  const Plan plan = read_dxf_plan(path);
  DxfFullOptions geometry;
  geometry.letter_texts = false;
  const Plan without = read_dxf_full_file(path, geometry).plan;
  EXPECT_FALSE(has_notice(plan, "TEXT"));
  // 63 texts of a few characters each, every character some millimetres of strokes.
  EXPECT_GT(plan_length(plan), plan_length(without) + 63 * 10.0);
}

}  // namespace
}  // namespace zor::testing
