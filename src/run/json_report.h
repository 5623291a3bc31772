// The runner's report, one JSON object on standard output.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "common/interval_histogram.h"

namespace zor::run {

struct JobReport {
  std::array<double, 3> pos{};
  uint64_t port_writes = 0;
  std::array<int64_t, 3> motor{};
  double job_time_s = 0;
  int limit_warnings = 0;
  std::vector<std::string> messages;
  std::vector<std::string> notices;              // listed only when there are some
  const IntervalHistogram* intervals = nullptr;  // with --realtime: the steps' lateness
};

void write_json(std::ostream& out, const JobReport& report);
// "\"interval_error_us\": {\"p50\": …, \"p99\": …, \"p999\": …, \"max\": …}, \"chain_restarts\": N"
std::string json_interval_errors(const IntervalHistogram& errors);
// "[\"a\", \"b\"]"
std::string json_list(const std::vector<std::string>& texts);

// A JSON string literal; bytes that are not valid UTF-8 become U+FFFD.
std::string json_string(const std::string& text);

}  // namespace zor::run
