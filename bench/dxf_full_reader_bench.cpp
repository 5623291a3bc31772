// Throughput and memory of the full DXF reading on a generated file of about 100 MB of
// LWPOLYLINE entities as a CAD program writes them (handles, layers, subclass markers,
// right-aligned codes, some vertices with bulges), read into a plan. Writes its file to /tmp
// and removes it at the end.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dxf/dxf_full_reader.h"

namespace {

constexpr double kTargetBytes = 100e6;

double processor_now() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

// Closed outlines of 20 to 200 vertices over a 300 x 250 mm board, one vertex in ten with a
// bulge.
void write_drawing(const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fputs(
      "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$INSUNITS\n 70\n4\n"
      "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n",
      out);
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> place(0, 300);
  std::uniform_real_distribution<double> step(-3.0, 3.0);
  std::uniform_int_distribution<int> count(20, 200);
  long written = 0;
  for (int handle = 0x100; written < kTargetBytes; ++handle) {
    const int n = count(random);
    written += std::fprintf(out,
                            "  0\nLWPOLYLINE\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\nOutline\n"
                            "100\nAcDbPolyline\n 90\n%d\n 70\n1\n 43\n0.0\n",
                            handle, n);
    double x = place(random), y = place(random) * 250 / 300;
    for (int k = 0; k < n; ++k) {
      written += std::fprintf(out, " 10\n%.4f\n 20\n%.4f\n", x, y);
      if (k % 10 == 9) written += std::fprintf(out, " 42\n0.4142135623730951\n");
      x += step(random);
      y += step(random);
    }
  }
  std::fputs("  0\nENDSEC\n  0\nEOF\n", out);
  std::fclose(out);
}

}  // namespace

int main() {
  const std::string path = "/tmp/zor_dxf_full_bench_" + std::to_string(getpid()) + ".dxf";
  write_drawing(path);
  const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  const long rss_before = peak_rss_kib();

  double best_wall = 1e9;
  double best_processor = 1e9;
  size_t paths = 0;
  size_t points = 0;
  std::vector<std::string> notices;
  for (int run = 0; run < 3; ++run) {
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = processor_now();
    const zor::Plan plan = zor::read_dxf_plan(path);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double cpu = processor_now() - cpu0;
    best_wall = std::min(best_wall, wall);
    best_processor = std::min(best_processor, cpu);
    paths = plan.paths.size();
    points = 0;
    for (const auto& p : plan.paths) points += p.points.size();
    notices = plan.notices;
  }
  const long rss_after = peak_rss_kib();
  std::printf(
      "full reader, %.1f MB of LWPOLYLINE: %.3f s wall (%.0f MB/s), %.3f s processor "
      "(%.0f MB/s), best of 3\n",
      mb, best_wall, mb / best_wall, best_processor, mb / best_processor);
  std::printf("plan: %zu paths, %zu points\n", paths, points);
  for (const std::string& n : notices) std::printf("notice: %s\n", n.c_str());
  std::printf("peak RSS: %ld KiB before reading, %ld KiB after (plan of %.0f MB of points)\n",
              rss_before, rss_after, static_cast<double>(points) * 16 / 1e6);
  std::filesystem::remove(path);
  return 0;
}
