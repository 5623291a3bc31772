// Time and memory of planning an SVG drawing of 200,000 paths (about 20 MB, as a generating
// script writes them: polylines of five pieces, one in five ending in a small arc, one in five
// in a small curve, in groups with transforms, two pens), read whole into the plan the jobs run.
// Writes its file to /tmp and removes it at the end.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "svg/svg_plan.h"

namespace {

constexpr int kPaths = 200000;

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

size_t write_drawing(const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    std::exit(1);
  }
  size_t written = static_cast<size_t>(std::fprintf(
      out,
      "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300mm\" "
      "height=\"250mm\" viewBox=\"0 0 300 250\">\n"));
  std::mt19937 random(2468);
  std::uniform_real_distribution<double> place(0, 250);
  std::uniform_real_distribution<double> step(-3, 3);
  for (int k = 0; k < kPaths; ++k) {
    if (k % 1000 == 0) {
      if (k > 0) written += static_cast<size_t>(std::fprintf(out, "</g>\n"));
      written += static_cast<size_t>(
          std::fprintf(out, "<g transform=\"rotate(%d 150 125)\">\n", (k / 1000) % 7));
    }
    const double x = place(random), y = place(random);
    const char* pen = k % 3 == 0 ? "#ff0000" : "#000000";
    written += static_cast<size_t>(std::fprintf(out, "<path d=\"M%.2f %.2fl", x, y));
    for (int s = 0; s < 5; ++s) {
      written += static_cast<size_t>(std::fprintf(out, "%.2f %.2f ", step(random), step(random)));
    }
    // One path in five ends in a small arc, one in five in a small curve.
    if (k % 5 == 0) written += static_cast<size_t>(std::fprintf(out, "a2 2 0 0 1 3 1"));
    if (k % 5 == 1) written += static_cast<size_t>(std::fprintf(out, "q2 2 4 0"));
    written += static_cast<size_t>(std::fprintf(out, "\" stroke=\"%s\"/>\n", pen));
  }
  written += static_cast<size_t>(std::fprintf(out, "</g>\n</svg>\n"));
  std::fclose(out);
  return written;
}

}  // namespace

int main() {
  const std::string path = "/tmp/zor-svg-bench-" + std::to_string(::getpid()) + ".svg";
  const size_t bytes = write_drawing(path);
  const long rss_before = peak_rss_kib();
  const auto start = std::chrono::steady_clock::now();
  const zor::svg::SvgPlan read = zor::svg::read_svg_plan(path, {});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  size_t points = 0;
  for (const zor::PlanPath& p : read.plan.paths) points += p.points.size();
  std::filesystem::remove(path);
  std::printf(
      "svg: %.1f MB, %zu paths, %zu points planned in %.3f s; peak memory %.1f MB "
      "(%.1f MB before reading)\n",
      static_cast<double>(bytes) / 1e6, read.plan.paths.size(), points, seconds,
      static_cast<double>(peak_rss_kib()) / 1024, static_cast<double>(rss_before) / 1024);
  const bool ok = seconds < 2 && peak_rss_kib() < 200 * 1024;
  std::printf("%s: under 2 s and 200 MB\n", ok ? "met" : "NOT met");
  return ok ? 0 : 1;
}
