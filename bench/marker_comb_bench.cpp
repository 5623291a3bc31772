// The marker plan of a hostile copper region: a 50 mm bar with 15,000 spikes 2 mm long and
// a micrometre wide, 3 micrometres apart (60,000 corners), at a 0,5 mm marker. The target is
// under 10 s and under 1 GB. Prints the processor time, the peak memory and the notices.
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <string>

#include "plan/marker_plan.h"

namespace {

double processor_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main() {
  zor::CopperObject comb;
  comb.kind = zor::CopperObject::Kind::kArea;
  std::vector<zor::PlanPoint> ring{{0, 0}, {50, 0}, {50, 2}};
  constexpr int kSpikes = 15000;
  constexpr double kPitch = 0.003, kWidth = 0.001;
  for (int k = kSpikes - 1; k >= 0; --k) {
    const double x = 5 + k * kPitch;
    ring.push_back({x + kWidth, 2});
    ring.push_back({x + kWidth, 4});
    ring.push_back({x, 4});
    ring.push_back({x, 2});
  }
  ring.push_back({0, 2});
  comb.rings = {ring};
  zor::CopperImage image{{comb}};
  const double start = processor_seconds();
  const zor::Plan plan = zor::marker_plan(image, 0.5);
  const double seconds = processor_seconds() - start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double megabytes = static_cast<double>(usage.ru_maxrss) / 1024;
  std::printf("comb of %zu corners: %zu passes in %.3f s of processor time, peak %.0f MB\n",
              ring.size(), plan.paths.size(), seconds, megabytes);
  for (const std::string& notice : plan.notices) std::printf("  %s\n", notice.c_str());
  return seconds < 10 && megabytes < 1024 ? 0 : 1;
}
