#include "run/run_options.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <utility>

#include "svg/svg_plan.h"

namespace zor::run {

const char* const kUsage =
    "usage: zor-cnc-run [OPTIONS] draw FILE\n"
    "       zor-cnc-run [OPTIONS] drill FILE\n"
    "       zor-cnc-run [OPTIONS] --gerber draw|drill FILE\n"
    "       zor-cnc-run [OPTIONS] --board top|bottom draw|drill PATH\n"
    "Runs one job of the machine without windows, on the built-in virtual machine unless\n"
    "--port is given, and prints a JSON report on standard output.\n"
    "options (texts are read exactly as the named box reads them, so 2,5 not 2.5):\n"
    "  --speed-work T     e_sped      X-Y working speed, mm/s        (2,5)\n"
    "  --speed-rapid T    e_sped2     X-Y rapid speed, mm/s          (2,5)\n"
    "  --z-idle T         e_pero      idle Z height, mm              (0,5)\n"
    "  --speed-z-up T     e_sped_up   Z speed up, mm/s               (1,5)\n"
    "  --speed-z-down T   e_sped_dow  Z speed down, mm/s  (draw 1,5; drill 0,2)\n"
    "  --depth T          e_glubs     hole depth, mm (drill)         (2)\n"
    "  --marker T         d_mark      marker diameter x 10, 1-2 digits (05)\n"
    "  --no-return        do not return to 0,0 at the end\n"
    "  --full             read the file whole in its own units (\"Полное чтение файла\"):\n"
    "                     Gerber RS-274X, Excellon drill files, DXF curves and blocks\n"
    "                     and SVG drawings (FILE.svg is read only so, not with --gerber)\n"
    "  --optimize         CB_optimize: short order; adds job_time_file_order_s\n"
    "  --trace FILE       write every data-register byte of the job, one per line\n"
    "  --png FILE         write the tool-path picture (585 x 457)\n"
    "  --realtime         real step timing on the system clock\n"
    "  --port ENTRY       drive the system's port \"$3BC\", \"$378\" or \"$278\" (implies "
    "--realtime)\n"
    "  --config FILE      make the settings only when FILE exists, from its [machine] keys\n"
    "                     (default: the built-in machine)\n"
    "  --board SIDE       PATH is one board's folder or .zip: its side (top, or bottom mirrored\n"
    "                     about the outline's centre line) placed at the origin\n"
    "  --offset-x T, --offset-y T   the board's offset, mm (0)\n"
    "  --pins T           drill two alignment pins of diameter T mm first\n"
    "  --stop-at PERCENT  stop as the operator does once PERCENT of the planned time is done\n"
    "  --version          print the version and end\n"
    "       zor-cnc-run --latency-test SECONDS [--rate N] [--png FILE]\n"
    "Times a chain of waits at N a second (10000) on the system clock at real-time priority,\n"
    "moving nothing; prints the interval errors as JSON, their histogram to FILE.\n"
    "With --realtime a job's report adds its steps' interval errors too.\n";

#ifndef ZOR_VERSION
#error "ZOR_VERSION comes from the project's version in CMakeLists.txt"
#endif
const char* const kVersionLine = "zor-cnc-run " ZOR_VERSION;

bool asks_for_version(const std::vector<std::string>& args) {
  return args.size() == 1 && args[0] == "--version";
}

namespace {

bool marker_fits_the_box(const std::string& text) {
  if (text.empty() || text.size() > 2) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool parse_positive(const std::string& text, double most, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && value > 0 && value <= most;
}

// Whether two paths name one file, the file existing or not.
bool same_file(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  const auto ca = std::filesystem::weakly_canonical(a, ec);
  if (ec) return a == b;
  const auto cb = std::filesystem::weakly_canonical(b, ec);
  return ec ? a == b : ca == cb;
}

// An output that names the drawing would overwrite it, and two outputs one file would
// leave only the last.
std::optional<std::string> clashing_outputs(const RunOptions& o) {
  const std::pair<const char*, const std::optional<std::string>*> outputs[] = {
      {"--trace", &o.trace_file}, {"--png", &o.png_file}};
  for (const auto& [name, path] : outputs) {
    if (*path && same_file(**path, o.file)) return std::string(name) + " names the input FILE";
  }
  if (o.trace_file && o.png_file && same_file(*o.trace_file, *o.png_file)) {
    return std::string("--trace and --png name one file");
  }
  return std::nullopt;
}

// The board's options belong to --board, which names a side and takes no other file kind.
std::optional<std::string> wrong_board_usage(const RunOptions& o) {
  if (!o.board_side) {
    if (o.offset_x || o.offset_y || o.pins) return "--offset-x, --offset-y and --pins need --board";
    return std::nullopt;
  }
  if (*o.board_side != "top" && *o.board_side != "bottom") return "--board takes top or bottom";
  if (o.gerber) return "--board and --gerber exclude each other";
  return std::nullopt;
}

}  // namespace

std::optional<RunOptions> parse_run_options(const std::vector<std::string>& args,
                                            std::string& error) {
  RunOptions o;
  const std::map<std::string, std::optional<std::string> RunOptions::*> boxes = {
      {"--speed-work", &RunOptions::speed_work},
      {"--speed-rapid", &RunOptions::speed_rapid},
      {"--z-idle", &RunOptions::z_idle},
      {"--speed-z-up", &RunOptions::speed_z_up},
      {"--speed-z-down", &RunOptions::speed_z_down},
      {"--depth", &RunOptions::depth},
      {"--trace", &RunOptions::trace_file},
      {"--png", &RunOptions::png_file},
      {"--port", &RunOptions::port},
      {"--config", &RunOptions::config_file},
      {"--board", &RunOptions::board_side},
      {"--offset-x", &RunOptions::offset_x},
      {"--offset-y", &RunOptions::offset_y},
      {"--pins", &RunOptions::pins}};
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "draw" || a == "drill") break;
    if (a == "--gerber") {
      o.gerber = true;
    } else if (a == "--no-return") {
      o.return_to_origin = false;
    } else if (a == "--optimize") {
      o.optimize = true;
    } else if (a == "--realtime") {
      o.realtime = true;
    } else if (a == "--full") {
      o.full = true;
    } else if (a == "--stop-at") {
      double value = 0;
      if (i + 1 >= args.size() || !parse_positive(args[++i], 100, value) || value >= 100) {
        error = "--stop-at takes a share of the job, above 0 and below 100";
        return std::nullopt;
      }
      o.stop_at = value;
    } else if (a == "--latency-test" || a == "--rate") {
      // Up to an hour, up to a million waits a second: what a machine could ask.
      const bool test = a == "--latency-test";
      const double most = test ? 3600 : 1e6;
      double value = 0;
      if (i + 1 >= args.size() || !parse_positive(args[++i], most, value)) {
        error = a + (test ? " takes seconds, above 0 and up to 3600"
                          : " takes a rate above 0 and up to 1000000");
        return std::nullopt;
      }
      if (test) {
        o.latency_seconds = value;
      } else {
        o.rate = value;
      }
    } else if (a == "--marker" || boxes.count(a) != 0) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return std::nullopt;
      }
      const std::string& value = args[++i];
      if (a == "--marker") {
        if (!marker_fits_the_box(value)) {
          error = "--marker takes one or two digits";
          return std::nullopt;
        }
        o.marker = value;
      } else {
        o.*(boxes.at(a)) = value;
      }
    } else {
      error = "unknown option " + a;
      return std::nullopt;
    }
  }
  if (o.latency_seconds) {
    if (i != args.size()) {
      error = "--latency-test runs no job";
      return std::nullopt;
    }
    return o;
  }
  if (i + 2 != args.size()) {
    error = i >= args.size() ? "draw or drill and a FILE expected" : "one FILE expected";
    return std::nullopt;
  }
  if (o.port && *o.port != "$3BC" && *o.port != "$378" && *o.port != "$278") {
    error = "--port takes \"$3BC\", \"$378\" or \"$278\"";
    return std::nullopt;
  }
  if (auto wrong = wrong_board_usage(o)) {
    error = *wrong;
    return std::nullopt;
  }
  o.drill = args[i] == "drill";
  o.file = args[i + 1];
  if (svg::is_svg_path(o.file) && (!o.full || o.gerber)) {
    error = "an SVG FILE is read with --full, on the DXF page (no --gerber)";
    return std::nullopt;
  }
  if (o.port) o.realtime = true;
  if (auto clash = clashing_outputs(o)) {
    error = *clash;
    return std::nullopt;
  }
  return o;
}

}  // namespace zor::run
