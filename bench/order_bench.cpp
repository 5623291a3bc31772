// The short order on real files: for every corpus drawing and drill file, the job time on the
// virtual clock in file order and in the short order, and the X-Y travel with the tool off
// the work (drawings: raised; drilling: all of it, the drill works only in Z). Runs the
// session's own buttons on the virtual machine, as the runner does.
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

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/memory_form.h"
#include "common/preview_window.h"
#include "common/raster_canvas.h"
#include "motion/screen.h"
#include "port/virtual_machine.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;

class QuietDialogs : public zor::Dialogs {
 public:
  void message(const std::string& text) override { last = text; }
  void error_box(const std::string&, const std::string&) override {}
  std::optional<std::string> open_file(const std::string&) override { return file; }
  bool ask_continue() override { return true; }
  std::optional<std::string> file;
  std::string last;
};

class Preview : public zor::PreviewWindow {
 public:
  void show() override {}
  void activate() override {}
  int outer_width() const override { return 395; }
  int outer_height() const override { return 347; }
  zor::Canvas& picture() override { return picture_; }

 private:
  zor::RasterCanvas picture_{387, 320};
};

// Adds up the X-Y motion after every step, split by whether the tool is off the work.
class TravelScreen : public zor::Screen {
 public:
  void process_events() override {}
  void show_path_window() override {}
  void position_changed() override {
    const zor::MachineState& m = *machine;
    const double d = std::fabs(m.pos_x - x_) + std::fabs(m.pos_y - y_);
    if (all_travel || m.pos_z > 1e-9) travel += d;
    x_ = m.pos_x;
    y_ = m.pos_y;
  }
  void run_ended() override {}
  void moving_changed(bool) override {}
  const zor::MachineState* machine = nullptr;
  bool all_travel = false;
  double travel = 0;

 private:
  double x_ = 0, y_ = 0;
};

struct Result {
  double seconds = 0;
  double travel = 0;
};

enum class Job { kDxfDraw, kDxfDrill, kGerberDraw, kGerberDrill };

Result run(const std::string& path, Job job, bool optimize) {
  zor::VirtualClock clock;
  zor::VirtualMachine machine{&clock};
  zor::VirtualPortApi os{machine};
  zor::MemoryForm form;
  QuietDialogs dialogs;
  Preview preview;
  TravelScreen screen;
  zor::Session session({form, dialogs, preview, screen, clock, os});
  form.set_index("TrackBar1", 10);
  form.set_index("TrackBar2", 1);
  form.set_text("d_mark", "05");
  form.set_checked("CB_vozvrat", true);
  form.set_checked("CB_optimize", optimize);
  session.FormCreate(zor::Session::ConfigFile::kAssumePresent);
  screen.machine = &session.context().machine;
  const bool drill = job == Job::kDxfDrill || job == Job::kGerberDrill;
  screen.all_travel = drill;
  form.set_index("Programs", drill ? 1 : 0);
  session.ProgramsChange();
  if (job == Job::kDxfDraw || job == Job::kDxfDrill) {
    form.set_text("name_files", path);
  } else {
    form.set_index("PageControl2", 1);
    dialogs.file = path;
    session.change_nameClick();
  }
  const int64_t start = clock.now();
  try {
    drill ? session.B_drillClick() : session.B_risovClick();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
  }
  Result r;
  r.seconds = static_cast<double>(clock.now() - start) / 1e9;
  r.travel = screen.travel;
  session.FormDestroy();
  return r;
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
    folders = {"/work/shared/corpus/dxf", "/work/shared/corpus/drill", "tests/data/dxf",
               "tests/data/drill"};
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
        files.emplace(name + " drill", std::pair{path, Job::kGerberDrill});
      }
    }
  }
  std::printf(
      "| file | job | file order s | short order s | time ratio | travel file mm | "
      "travel short mm | travel ratio | cpu s |\n");
  std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|\n");
  std::vector<double> draw_ratios, drill_ratios;
  int longer = 0;
  for (const auto& [key, file] : files) {
    const double t0 = cpu_seconds();
    const Result plain = run(file.first, file.second, false);
    const Result short_order = run(file.first, file.second, true);
    const double ratio = short_order.travel > 0 ? plain.travel / short_order.travel : 1;
    const bool draw = file.second == Job::kDxfDraw;
    (draw ? draw_ratios : drill_ratios).push_back(ratio);
    if (short_order.seconds > plain.seconds) ++longer;
    std::printf("| %s | %s | %.1f | %.1f | %.3f | %.1f | %.1f | %.2f | %.1f |\n",
                key.substr(0, key.rfind(' ')).c_str(), draw ? "draw" : "drill", plain.seconds,
                short_order.seconds, short_order.seconds / plain.seconds, plain.travel,
                short_order.travel, ratio, cpu_seconds() - t0);
    std::fflush(stdout);
  }
  auto median = [](std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  };
  std::printf(
      "\nmedian travel ratio (file / short): drawings %.2f over %zu, drill files %.2f "
      "over %zu; jobs longer in the short order: %d\n",
      median(draw_ratios), draw_ratios.size(), median(drill_ratios), drill_ratios.size(), longer);
  return 0;
}
