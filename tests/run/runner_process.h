// zor-cnc-run started as a process, the way the operator starts it: its standard output, its
// standard error and its exit status, and the fields of its JSON report.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "session_rig.h"

namespace zor::testing {

struct RunnerResult {
  int status = -1;  // -1: ended by a signal (a crash, a sanitizer's abort)
  std::string out, err;
};

inline std::string shell_quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// `kill_after_s`: a runner that would wait forever is killed then (and reports no status).
inline RunnerResult run_runner(const std::vector<std::string>& args, int kill_after_s = 0) {
  const TempFile err("stderr.txt", "");
  std::string cmd = shell_quoted(ZOR_RUNNER);
  if (kill_after_s > 0) cmd = "timeout -s KILL " + std::to_string(kill_after_s) + " " + cmd;
  for (const auto& a : args) cmd += " " + shell_quoted(a);
  cmd += " 2>" + shell_quoted(err.path()) + " </dev/null";
  RunnerResult r;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream f(err.path(), std::ios::binary);
  r.err.assign(std::istreambuf_iterator<char>(f), {});
  EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("runtime error:"), std::string::npos) << r.err;
  return r;
}

// The text of one field of the report.
inline std::string report_field(const std::string& json, const std::string& name) {
  const std::regex re("\"" + name + "\": (\\[[^\\]]*\\]|[^,}]+)");
  std::smatch m;
  return std::regex_search(json, m, re) ? m[1].str() : "<missing>";
}

}  // namespace zor::testing
