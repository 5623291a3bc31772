// The SVG tests' second reading, by Debian's python3-svgelements (tests/svg_oracle.py), and
// the measures of a plan and of what the machine drew that are compared with it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "machine_work.h"
#include "plan/plan.h"

namespace zor::testing {

struct SvgOracle {
  std::optional<PlanExtents> extents;
  double length = 0;
  size_t shapes = 0;
};

inline std::string svg_data(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/svg/" + name;
}

#ifdef _WIN32
constexpr bool kHaveSvgOracle = false;
#else
constexpr bool kHaveSvgOracle = true;
#endif

// One oracle process for all `paths`.
inline std::map<std::string, SvgOracle> svg_oracle(const std::vector<std::string>& paths) {
  std::map<std::string, SvgOracle> out;
#ifndef _WIN32
  std::string command = "/usr/bin/python3 " + std::string(ZOR_TEST_DATA) + "/../svg_oracle.py";
  for (const std::string& p : paths) command += " '" + p + "'";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return out;
  }
  std::string text;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
  EXPECT_EQ(::pclose(pipe), 0) << "the oracle failed (is python3-svgelements installed?)";
  std::istringstream lines(text);
  std::string word;
  SvgOracle* r = nullptr;
  while (lines >> word) {
    if (word == "file") {
      std::string name;
      std::getline(lines >> std::ws, name);
      r = &out[name];
    } else if (r != nullptr && word == "extents") {
      std::string first;
      lines >> first;
      if (first != "none") {
        PlanExtents e;
        e.xmin = std::stod(first);
        lines >> e.ymin >> e.xmax >> e.ymax;
        r->extents = e;
      }
    } else if (r != nullptr && word == "length") {
      lines >> r->length;
    } else if (r != nullptr && word == "shapes") {
      lines >> r->shapes;
    }
  }
#endif
  for (const std::string& p : paths) EXPECT_EQ(out.count(p), 1u) << "no reading of " << p;
  return out;
}

inline double plan_length(const Plan& plan) {
  double length = 0;
  for (const PlanPath& path : plan.paths) {
    for (size_t k = 1; k < path.points.size(); ++k) {
      length += std::hypot(path.points[k].x - path.points[k - 1].x,
                           path.points[k].y - path.points[k - 1].y);
    }
  }
  return length;
}

inline std::optional<PlanExtents> strokes_extents(const MachineWork& work) {
  std::optional<PlanExtents> e;
  for (const auto& stroke : work.strokes()) {
    for (const PlanPoint& p : stroke) extend_extents(e, p.x, p.y);
  }
  return e;
}

inline void expect_extents_near(const PlanExtents& a, const PlanExtents& b, double within) {
  EXPECT_NEAR(a.xmin, b.xmin, within);
  EXPECT_NEAR(a.ymin, b.ymin, within);
  EXPECT_NEAR(a.xmax, b.xmax, within);
  EXPECT_NEAR(a.ymax, b.ymax, within);
}

inline bool has_notice(const std::vector<std::string>& notices, const std::string& part) {
  for (const std::string& n : notices) {
    if (n.find(part) != std::string::npos) return true;
  }
  return false;
}

}  // namespace zor::testing
