// zor-cnc-run: one job of the machine controller without windows. See run_options.cpp.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "run/job_run.h"
#include "run/latency_run.h"
#include "run/run_options.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // The report and the messages are the same bytes on every system: UTF-8 text with "\n" line
  // ends, which text mode would turn into "\r\n".
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (zor::run::asks_for_version(args)) {
    std::cout << zor::run::kVersionLine << '\n';
    return 0;
  }
  std::string error;
  const auto options = zor::run::parse_run_options(args, error);
  if (!options) {
    std::cerr << "zor-cnc-run: " << error << '\n' << zor::run::kUsage;
    return 2;
  }
  if (options->latency_seconds) return zor::run::run_latency(*options, std::cout, std::cerr);
  return zor::run::run_job(*options, std::cout, std::cerr);
}
