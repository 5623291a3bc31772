// zor-cnc-run: one job of the machine controller without windows. See run_options.cpp.
#include <iostream>
#include <string>
#include <vector>

#include "run/job_run.h"
#include "run/run_options.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = zor::run::parse_run_options(args, error);
  if (!options) {
    std::cerr << "zor-cnc-run: " << error << '\n' << zor::run::kUsage;
    return 2;
  }
  return zor::run::run_job(*options, std::cout, std::cerr);
}
