// The short order on real files: for every corpus drawing and drill file, the job time on the
// virtual clock in file order and in the short order, and the X-Y travel with the tool off
// the work (drawings: raised; drilling: all of it, the drill works only in Z). Runs the
// program tab's own buttons over moves that count steps and step times exactly as the step
// output does on the virtual clock (each step one step time after the previous), without
// writing them: some drill files travel metres between holes.
// Usage: order_bench [FOLDER...] (default: the corpus and, run from the source folder, the
// test data).
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/decimal.h"
#include "common/memory_form.h"
#include "common/raster_canvas.h"
#include "common/unseen_window.h"
#include "gerber/aperture_reader.h"
#include "motion/env.h"
#include "motion/motion.h"
#include "motion/settings.h"
#include "motion/working_modes.h"
#include "session/job_buttons.h"

namespace {

namespace fs = std::filesystem;

class QuietDialogs : public zor::GoAheadDialogs {
 public:
  void message(const std::string& text) override { last = text; }
  std::optional<std::string> open_file(const std::string&) override { return file; }
  std::optional<std::string> file;
  std::string last;
};

// The step output's arithmetic without the port: the same step counts (rounded distances,
// one axis after the other), the position as the sum of the steps, and the virtual clock's
// time, one step time per step.
class CountingMoves : public zor::Moves {
 public:
  explicit CountingMoves(zor::MachineState& m, bool all_travel) : m_(m), all_travel_(all_travel) {}
  void move_to_xy(double x, double y, double speed) override {
    const int64_t dx = steps(x - m_.pos_x), dy = steps(y - m_.pos_y);
    if (dx == 0 && dy == 0) return;
    walk(m_.pos_x, dx, 1);
    walk(m_.pos_y, dy, 1);
    const uint64_t n = static_cast<uint64_t>(std::llabs(dx) + std::llabs(dy));
    counts += n * wait(speed);
    const double mm = static_cast<double>(n) * zor::kMmPerStep;
    (all_travel_ || m_.pos_z > 1e-9 ? travel : work) += mm;
  }
  void down_up(double z, double speed) override {
    const int64_t n = steps(z - m_.pos_z);
    walk(m_.pos_z, n, 1);
    counts += static_cast<uint64_t>(std::llabs(n)) * wait(speed);
  }
  uint64_t counts = 0;
  double travel = 0;
  double work = 0;  // X-Y with the tool on the work

 private:
  static int64_t steps(double delta) {
    return static_cast<int64_t>(zor::round_even(delta / zor::kMmPerStep));
  }
  static uint64_t wait(double speed) {
    return static_cast<uint64_t>(zor::round_even(zor::kMmPerStep * 1e9 / speed));
  }
  static void walk(double& pos, int64_t n, int) {
    const double step = n > 0 ? zor::kMmPerStep : -zor::kMmPerStep;
    for (int64_t i = 0; i < std::llabs(n); ++i) pos += step;
  }
  zor::MachineState& m_;
  bool all_travel_;
};

struct Result {
  double seconds = 0;
  double travel = 0;
  double work = 0;
};

enum class Job { kDxfDraw, kDxfDrill, kGerberDraw, kGerberDrill };

bool drill_job(Job job) {
  return job == Job::kDxfDrill || job == Job::kGerberDrill;
}

Result run(const std::string& path, Job job, bool optimize) {
  zor::MachineContext ctx;
  for (int axis = 1; axis <= 3; ++axis) ctx.machine.mm_per_step[axis] = zor::kMmPerStep;
  const bool drill = drill_job(job);
  CountingMoves moves(ctx.machine, drill);
  zor::MemoryForm form;
  QuietDialogs dialogs;
  zor::UnseenPreview preview;
  zor::RasterCanvas picture(zor::kPathWidth, zor::kPathHeight);
  zor::Env env{ctx, moves, form, dialogs, preview, picture};
  form.set_text("d_mark", "05");
  form.set_checked("CB_vozvrat", true);
  form.set_checked("CB_optimize", optimize);
  form.set_index("Programs", drill ? 1 : 0);
  zor::ProgramsChange(form);
  const bool gerber = job == Job::kGerberDraw || job == Job::kGerberDrill;
  form.set_index("PageControl2", gerber ? 1 : 0);
  form.set_text(gerber ? "Edit15" : "name_files", path);
  try {
    if (job == Job::kGerberDraw) zor::get_app(env);
    drill ? zor::B_drillClick(env) : zor::B_risovClick(env);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
  }
  return {static_cast<double>(moves.counts) / 1e9, moves.travel, moves.work};
}

int count_entities(const std::string& path, const char* name) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  char line[4096];
  int n = 0;
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    if (s == name) ++n;
  }
  std::fclose(f);
  return n;
}

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) folders.emplace_back(argv[i]);
  if (folders.empty()) {
    folders = {"/work/shared/corpus/dxf", "/work/shared/corpus/drill", "/work/shared/corpus/gerber",
               "tests/data/dxf",          "tests/data/drill",          "tests/data/gerber"};
  }
  // One row per file name: the test data repeats corpus files.
  std::map<std::string, std::pair<std::string, Job>> files;
  for (const std::string& folder : folders) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string path = e.path().string();
      std::string ext = e.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
      const std::string name = e.path().filename().string();
      if (ext == ".dxf") {
        if (count_entities(path, "LINE") > 0)
          files.emplace(name + " draw", std::pair{path, Job::kDxfDraw});
        if (count_entities(path, "POINT") > 1) {
          files.emplace(name + " drill", std::pair{path, Job::kDxfDrill});
        }
      } else if (ext != ".md") {
        const bool drill_file = folder.ends_with("drill");
        files.emplace(name + (drill_file ? " drill" : " draw"),
                      std::pair{path, drill_file ? Job::kGerberDrill : Job::kGerberDraw});
      }
    }
  }
  std::printf(
      "| file | job | file order s | short order s | time ratio | travel file mm | "
      "travel short mm | travel ratio | cpu s |\n");
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
  std::map<std::string, std::vector<double>> ratios;
  int longer = 0;
  for (const auto& [key, file] : files) {
    const double t0 = cpu_seconds();
    const Result plain = run(file.first, file.second, false);
    const Result short_order = run(file.first, file.second, true);
    const char* kind = file.second == Job::kDxfDraw      ? "DXF draw"
                       : file.second == Job::kDxfDrill   ? "DXF drill"
                       : file.second == Job::kGerberDraw ? "Gerber draw"
                                                         : "Gerber drill";
    if (short_order.seconds > plain.seconds) ++longer;
    // A job that draws nothing, or that does not travel at all, says nothing of the order:
    // no ratio, and left out of the medians (drilling works in Z only: its holes count).
    const bool works = drill_job(file.second) ? plain.seconds > 0.5 : plain.work > 0;
    std::string ratio = "-";
    if (works && plain.travel > 0) {
      const double r = short_order.travel > 0 ? plain.travel / short_order.travel : 1e9;
      ratios[kind].push_back(r);
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.2f", r);
      ratio = buf;
    }
    std::printf("| %s | %s | %.1f | %.1f | %.3f | %.1f | %.1f | %s | %.2f |\n",
                key.substr(0, key.rfind(' ')).c_str(), kind, plain.seconds, short_order.seconds,
                plain.seconds > 0 ? short_order.seconds / plain.seconds : 1.0, plain.travel,
                short_order.travel, ratio.c_str(), cpu_seconds() - t0);
    std::fflush(stdout);
  }
  std::printf("\nmedian travel ratio (file order / short order):");
  for (auto& [kind, v] : ratios) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    std::printf(" %s %.2f (%zu files);", kind.c_str(),
                n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, n);
  }
  std::printf(" jobs longer in the short order: %d\n", longer);
  return 0;
}
