// The runner's report, one JSON object on standard output.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "board/board.h"
#include "common/interval_histogram.h"

namespace zor::run {

// The machine the job ran on: the built-in one, or as the settings file described it.
struct MachineReport {
  std::array<double, 3> mm_per_step{};
  std::array<std::optional<double>, 3> travel_from{};  // none: null, that end unchecked
  std::array<double, 3> travel_to{};
  std::array<double, 3> backlash{};
  double max_step_rate = 0;
};

struct JobReport {
  std::array<double, 3> pos{};
  uint64_t port_writes = 0;
  std::array<int64_t, 3> motor{};
  double job_time_s = 0;
  std::optional<double> job_time_file_order_s;  // with --optimize
  int limit_warnings = 0;
  std::vector<std::string> messages;
  // Where the tool worked (below the travel height): xmin, ymin, xmax, ymax; none: null.
  std::optional<std::array<double, 4>> extents;
  bool drill = false;  // holes and tool_changes are reported for drilling,
  int holes = 0;       // pen_lifts for drawing
  int tool_changes = 0;
  int pen_lifts = 0;
  std::vector<std::string> notices;              // what a reader could not read or assumed
  const IntervalHistogram* intervals = nullptr;  // with --realtime: the steps' lateness
  std::optional<BoardSummary> board;             // with --board
  std::optional<MachineReport> machine;
};

void write_json(std::ostream& out, const JobReport& report);
// "\"interval_error_us\": {\"p50\": …, \"p99\": …, \"p999\": …, \"max\": …}, \"chain_restarts\": N"
std::string json_interval_errors(const IntervalHistogram& errors);
// "[\"a\", \"b\"]"
std::string json_list(const std::vector<std::string>& texts);

// A JSON string literal; bytes that are not valid UTF-8 become U+FFFD.
std::string json_string(const std::string& text);

}  // namespace zor::run
