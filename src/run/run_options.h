// The command line of zor-cnc-run: one job, its mode-box texts and what to report.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zor::run {

struct RunOptions {
  bool gerber = false;
  bool drill = false;  // "drill"; otherwise "draw"
  std::string file;
  // Texts for the boxes, exactly as typed there; empty optionals take the job's defaults.
  std::optional<std::string> speed_work, speed_rapid, z_idle, speed_z_up, speed_z_down, depth;
  std::string marker = "05";
  bool return_to_origin = true;
  std::optional<std::string> trace_file;
  std::optional<std::string> png_file;
  bool realtime = false;
  bool full = false;  // "Полное чтение файла": the file read whole, in its own units
  bool optimize = false;            // CB_optimize: the short drawing and drilling order
  std::optional<std::string> port;  // the port list's text: drive the system's real ports
  // The machine's configuration file; without it the runner takes the file as present.
  std::optional<std::string> config_file;
  // --stop-at: the stop request answered "НЕТ" once the job has done this share (%) of its
  // planned time.
  std::optional<double> stop_at;
  std::optional<double> latency_seconds;  // --latency-test: no job, a chain of waits
  double rate = 10000;                    // its waits per second
  // --board top|bottom: FILE is a board's folder or .zip, the side drawn or drilled.
  std::optional<std::string> board_side;
  std::optional<std::string> offset_x, offset_y, pins;  // "Смещение X/Y", "Штифты" diameter
};

// Parses the arguments after the program name. On wrong usage returns nothing and puts the
// reason into `error`.
std::optional<RunOptions> parse_run_options(const std::vector<std::string>& args,
                                            std::string& error);

extern const char* const kUsage;

// "--version" alone on the command line: print kVersionLine and end.
bool asks_for_version(const std::vector<std::string>& args);
// "zor-cnc-run 7": the program and the project's version.
extern const char* const kVersionLine;

}  // namespace zor::run
