// The runner's dry run of a 20-million-step job (one LINE to X = -50 000 mm, no return): the
// time it takes and its peak memory, without and with --trace. Starts the built zor-cnc-run
// beside this program, as the operator would.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Run {
  double wall_s = 0;
  double cpu_s = 0;
  long peak_kb = 0;
  int status = -1;
};

Run run(const std::string& runner, const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(runner.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);  // the child must not print this program's buffered lines again
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout)) _exit(127);
    execv(runner.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run r;
  r.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.cpu_s = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  r.peak_kb = usage.ru_maxrss;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace

int main(int, char** argv) {
  const std::string runner = (fs::path(argv[0]).parent_path() / "zor-cnc-run").string();
  const fs::path dir = fs::temp_directory_path() / ("zor-dry-run-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string dxf = (dir / "line.dxf").string();
  std::ofstream(dxf) << "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n"
                        " 11\n-50000\n 21\n0\n  0\nENDSEC\n  0\nEOF\n";
  const std::string trace = (dir / "trace.txt").string();
  constexpr double kSteps = 20'000'000;
  std::printf("20,000,000 steps, one LINE to X = -50 000 mm, --no-return\n");
  std::printf("%-12s %8s %8s %14s %9s %6s\n", "", "wall s", "cpu s", "steps/s (cpu)", "peak MB",
              "exit");
  for (int with_trace = 0; with_trace < 2; ++with_trace) {
    std::vector<std::string> args{"--no-return"};
    if (with_trace) args.insert(args.end(), {"--trace", trace});
    args.insert(args.end(), {"draw", dxf});
    for (int i = 0; i < 3; ++i) {
      const Run r = run(runner, args);
      std::printf("%-12s %8.2f %8.2f %14.0f %9.1f %6d\n", with_trace ? "--trace" : "no output",
                  r.wall_s, r.cpu_s, kSteps / r.cpu_s, static_cast<double>(r.peak_kb) / 1024,
                  r.status);
    }
  }
  std::error_code ec;
  std::printf("trace file: %ju bytes\n", static_cast<uintmax_t>(fs::file_size(trace, ec)));
  fs::remove_all(dir, ec);
}
