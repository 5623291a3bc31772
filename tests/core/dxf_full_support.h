// Helpers of the full DXF reading's tests: drawings written pair by pair, the reading of a
// text, measures of a plan, and the second reading by ezdxf (tests/dxf_oracle.py).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "dxf/dxf_full_reader.h"
#include "plan/plan.h"

namespace zor::testing {

// A drawing as group-code/value pairs, codes right-aligned as most writers do.
class DxfText {
 public:
  DxfText& pair(int code, const std::string& value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d", code);
    text_ += std::string(buf) + "\n" + value + "\n";
    return *this;
  }
  DxfText& pair(int code, double value) {
    std::ostringstream s;
    s.precision(17);
    s << value;
    return pair(code, s.str());
  }
  DxfText& point(int base, double x, double y, double z = 0) {
    return pair(base, x).pair(base + 10, y).pair(base + 20, z);
  }
  DxfText& section(const std::string& name) { return pair(0, "SECTION").pair(2, name); }
  DxfText& endsec() { return pair(0, "ENDSEC"); }
  DxfText& units(int insunits) {
    return section("HEADER").pair(9, "$INSUNITS").pair(70, insunits).endsec();
  }
  DxfText& line(double x1, double y1, double x2, double y2) {
    return pair(0, "LINE").pair(8, "0").point(10, x1, y1).point(11, x2, y2);
  }
  DxfText& insert(const std::string& block, double x, double y, double sx = 1, double sy = 1,
                  double rotation = 0) {
    return pair(0, "INSERT")
        .pair(2, block)
        .point(10, x, y)
        .pair(41, sx)
        .pair(42, sy)
        .pair(50, rotation);
  }
  DxfText& block(const std::string& name, double bx = 0, double by = 0) {
    return pair(0, "BLOCK").pair(2, name).pair(70, 0).point(10, bx, by);
  }
  DxfText& endblk() { return pair(0, "ENDBLK"); }
  DxfText& eof() { return pair(0, "EOF"); }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

inline DxfFullReading read_text(const std::string& text, const DxfFullOptions& options = {}) {
  std::istringstream in(text);
  const auto source = dxf_stream_source(in);
  return read_dxf_full(*source, options);
}

inline double path_length(const PlanPath& path) {
  double length = 0;
  for (size_t i = 1; i < path.points.size(); ++i) {
    length += std::hypot(path.points[i].x - path.points[i - 1].x,
                         path.points[i].y - path.points[i - 1].y);
  }
  return length;
}

inline double plan_length(const Plan& plan) {
  double length = 0;
  for (const PlanPath& p : plan.paths) length += path_length(p);
  return length;
}

inline bool has_notice(const Plan& plan, const std::string& part) {
  for (const std::string& n : plan.notices) {
    if (n.find(part) != std::string::npos) return true;
  }
  return false;
}

// What ezdxf makes of a file.
struct OracleReading {
  std::map<std::string, size_t> counts;
  std::optional<PlanExtents> extents;
  double length = 0;
  size_t holes = 0;
  double unit = 1;
};

inline std::string oracle_script() {
  return std::string(ZOR_TEST_DATA) + "/../dxf_oracle.py";
}

// Runs the oracle (Debian's python3-ezdxf) once over all `paths`; fails the test when it
// cannot. One process for many files: starting ezdxf takes the better part of a second.
// The oracle is Debian's: on Windows (the Wine run of the tests) there is none.
#ifdef _WIN32
constexpr bool kHaveOracle = false;
#else
constexpr bool kHaveOracle = true;
#endif

inline std::map<std::string, OracleReading> oracle_readings(const std::vector<std::string>& paths) {
  std::map<std::string, OracleReading> readings;
#ifdef _WIN32
  ADD_FAILURE() << "no oracle here" << paths.size();
  return readings;
#else
  std::string command = "/usr/bin/python3 " + oracle_script();
  for (const std::string& p : paths) command += " '" + p + "'";
  command += " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return readings;
  }
  std::string out;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int status = ::pclose(pipe);
  EXPECT_EQ(status, 0) << "the oracle failed (is python3-ezdxf installed?)";
  std::istringstream lines(out);
  std::string word;
  OracleReading* r = paths.size() == 1 ? &readings[paths.front()] : nullptr;
  OracleReading ignored;
  if (r == nullptr) r = &ignored;
  while (lines >> word) {
    if (word == "file") {
      std::string name;
      std::getline(lines >> std::ws, name);
      r = &readings[name];
    } else if (word == "count") {
      std::string kind;
      size_t count = 0;
      lines >> kind >> count;
      r->counts[kind] = count;
    } else if (word == "extents") {
      std::string first;
      lines >> first;
      if (first != "none") {
        PlanExtents e;
        e.xmin = std::stod(first);
        lines >> e.ymin >> e.xmax >> e.ymax;
        r->extents = e;
      }
    } else if (word == "length") {
      lines >> r->length;
    } else if (word == "holes") {
      lines >> r->holes;
    } else if (word == "unit") {
      lines >> r->unit;
    }
  }
  for (const std::string& p : paths) EXPECT_EQ(readings.count(p), 1u) << "no reading of " << p;
  return readings;
#endif
}

inline OracleReading oracle_reading(const std::string& path) {
  return oracle_readings({path})[path];
}

inline std::string write_temp(const std::string& name, const std::string& text) {
  const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// Extents within 0.05 mm and drawn length within 0.1 % of ezdxf's.
inline void expect_agrees(const DxfFullReading& mine, const OracleReading& theirs) {
  const auto extents = plan_extents(mine.plan);
  ASSERT_EQ(extents.has_value(), theirs.extents.has_value());
  if (extents) {
    EXPECT_NEAR(extents->xmin, theirs.extents->xmin, 0.05);
    EXPECT_NEAR(extents->ymin, theirs.extents->ymin, 0.05);
    EXPECT_NEAR(extents->xmax, theirs.extents->xmax, 0.05);
    EXPECT_NEAR(extents->ymax, theirs.extents->ymax, 0.05);
  }
  EXPECT_NEAR(plan_length(mine.plan), theirs.length, theirs.length * 0.001 + 1e-9);
  EXPECT_EQ(mine.plan.holes.size(), theirs.holes);
  EXPECT_NEAR(mine.mm_per_unit, theirs.unit, theirs.unit * 1e-9);
}

inline void expect_agrees_with_oracle(const std::string& path, const DxfFullReading& mine) {
  if (kHaveOracle) expect_agrees(mine, oracle_reading(path));
}

}  // namespace zor::testing
