// Time and memory of the full reading on generated files the size of a dense 100 x 100 mm
// board: a copper layer of 5,000 flashed pads (round, rectangular, KiCad rounded-rectangle
// macros), 10,000 tracks with arcs among them and 200 region contours; and a drill file of
// 20,000 holes. Everything is read from memory; the numbers are the best of three.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "gerber/excellon_reader.h"
#include "gerber/gerber_reader.h"

namespace {

std::string coordinate(double mm) {
  return std::to_string(static_cast<long long>(mm * 1e6));
}

std::string copper_file() {
  std::string f =
      "%FSLAX46Y46*%\n%MOMM*%\n%AMRoundRect*\n0 Rectangle with rounded corners*\n"
      "4,1,4,$2,$3,$4,$5,$6,$7,$8,$9,$2,$3,0*\n1,1,$1+$1,$2,$3*\n1,1,$1+$1,$4,$5*\n"
      "1,1,$1+$1,$6,$7*\n1,1,$1+$1,$8,$9*\n20,1,$1+$1,$2,$3,$4,$5,0*\n20,1,$1+$1,$4,$5,$6,$7,0*\n"
      "20,1,$1+$1,$6,$7,$8,$9,0*\n20,1,$1+$1,$8,$9,$2,$3,0*%\n"
      "%ADD10C,1.600000*%\n%ADD11R,1.500000X1.000000*%\n"
      "%ADD12RoundRect,0.250000X-0.450000X0.350000X-0.450000X-0.350000X0.450000X-0.350000X"
      "0.450000X0.350000X0*%\n%ADD13C,0.250000*%\n%ADD14C,0.400000*%\nG75*\n";
  for (int k = 0; k < 5000; ++k) {
    f += "D" + std::to_string(10 + k % 3) + "*\n";
    f += "X" + coordinate(2 + (k % 70) * 1.4) + "Y" + coordinate(2 + (k / 70) * 1.35) + "D03*\n";
  }
  for (int k = 0; k < 10000; ++k) {
    const double x = 1 + (k % 97) * 1.0, y = 1 + (k / 97) * 0.95;
    f += (k % 2 ? "D13*\n" : "D14*\n");
    f += "X" + coordinate(x) + "Y" + coordinate(y) + "D02*\n";
    if (k % 10 == 0) {
      f += "G03*\nX" + coordinate(x + 0.8) + "Y" + coordinate(y + 0.8) + "I" + coordinate(0.8) +
           "J0D01*\nG01*\n";
    } else {
      f += "X" + coordinate(x + 0.9) + "Y" + coordinate(y + 0.3) + "D01*\n";
    }
  }
  for (int k = 0; k < 200; ++k) {
    const double x = (k % 20) * 5.0, y = (k / 20) * 10.0;
    f += "G36*\nX" + coordinate(x) + "Y" + coordinate(y) + "D02*\n";
    for (int j = 1; j < 50; ++j)
      f += "X" + coordinate(x + j * 0.08) + "Y" + coordinate(y + (j % 2) * 0.5) + "D01*\n";
    f += "X" + coordinate(x) + "Y" + coordinate(y + 4) + "D01*\nG37*\n";
  }
  return f + "M02*\n";
}

std::string drill_file() {
  std::string f = "M48\nMETRIC,TZ\nT1C0.300\nT2C0.800\nT3C1.000\n%\nG90\nG05\n";
  for (int t = 1; t <= 3; ++t) {
    f += "T" + std::to_string(t) + "\n";
    for (int k = 0; k < 20000 / 3; ++k) {
      char line[64];
      std::snprintf(line, sizeof line, "X%.3fY%.3f\n", (k % 100) * 0.99 + t * 0.1, (k / 100) * 1.4);
      f += line;
    }
  }
  return f + "M30\n";
}

template <typename F>
double best_seconds(F&& run) {
  double best = 1e9;
  for (int k = 0; k < 3; ++k) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

long peak_rss_kb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main() {
  const std::string copper = copper_file();
  size_t objects = 0, notices = 0;
  const double gerber_s = best_seconds([&] {
    std::istringstream in(copper);
    std::vector<std::string> n;
    objects = zor::read_gerber(in, n).objects.size();
    notices = n.size();
  });
  std::printf("copper layer: %.1f MB, %zu objects, %zu notices, read in %.3f s\n",
              copper.size() / 1e6, objects, notices, gerber_s);
  const std::string drill = drill_file();
  size_t holes = 0;
  const double drill_s = best_seconds([&] {
    std::istringstream in(drill);
    holes = zor::read_excellon(in).holes.size();
  });
  std::printf("drill file: %.1f MB, %zu holes, read in %.3f s\n", drill.size() / 1e6, holes,
              drill_s);
  std::printf("peak resident memory: %.1f MB\n", peak_rss_kb() / 1024.0);
  return 0;
}
