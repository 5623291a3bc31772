// Processor time of the marker plan of every real copper layer in tests/data (0,5 mm marker,
// the full Gerber reading), on one core and on all the cores the machine has. The target is
// under 2 s of processor time on one core for each layer. Prints one line a layer: its
// objects, its passes, the processor and wall seconds of one thread, the wall seconds of all.
// Given file names, times those instead.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "gerber/gerber_reader.h"
#include "plan/marker_plan.h"

namespace {

const char* const kLayers[] = {
    "kicad2013_clockblock-B_Cu.gbr",
    "kicad4_example_board-F.Cu.gbr",
    "kicad5_example_board_new-B.Cu.gbr",
    "kicad5_D1MiniGSR-F_Cu.gbr",
    "kicad6_project-controller-B_Cu.gbr",
    "eagle_top-cop.gbx",
    "altium_KNoT_Thing_Starter_Board.GTL",
    "gedapcb171_numpres_group1.grb",
    "veribest_EtchLayer2Bottom.gdo",
    "orcad_rs232_cm.top",
    "visula_jj_l1-1.grb",
    "ekf_d1_3digit_apertures.grb",
    "gerbv26_test-merge-a.gbx",
    "gerbvtest_test-aperture-circle-1.gbx",
};

double processor_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  for (int k = 1; k < argc; ++k) files.emplace_back(argv[k]);
  if (files.empty()) {
    for (const char* name : kLayers) files.push_back(std::string(ZOR_BENCH_DATA) + "/" + name);
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  double worst = 0;
  for (const std::string& file : files) {
    std::vector<std::string> notices;
    const zor::CopperImage image = zor::read_gerber_file(file, notices);
    zor::MarkerOptions one;
    one.threads = 1;
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = processor_seconds();
    const zor::Plan plan = zor::marker_plan(image, 0.5, one);
    const double cpu = processor_seconds() - cpu0;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    zor::MarkerOptions all;
    all.threads = cores;
    const auto wall1 = std::chrono::steady_clock::now();
    const zor::Plan again = zor::marker_plan(image, 0.5, all);
    const double wall_all =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall1).count();
    size_t points = 0;
    for (const auto& p : plan.paths) points += p.points.size();
    const bool same = again.paths.size() == plan.paths.size();
    std::printf(
        "%-40s %6zu objects %6zu passes %8zu points: %.3f s processor, %.3f s wall; "
        "%u threads %.3f s wall%s\n",
        file.substr(file.rfind('/') + 1).c_str(), image.objects.size(), plan.paths.size(), points,
        cpu, wall, cores, wall_all, same ? "" : " (DIFFERENT PLAN)");
    worst = std::max(worst, cpu);
  }
  std::printf("slowest layer: %.3f s of processor time (target < 2 s)\n", worst);
  return worst < 2.0 ? 0 : 1;
}
