// Throughput and memory of the DXF reader on a generated file of about 100 MB of LINE
// entities, and the time of one preview redraw of 1,000,000 lines into a 387 x 320 picture.
// Writes its files to /tmp and removes them at the end.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "common/memory_form.h"
#include "common/unseen_window.h"
#include "dxf/dxf_preview.h"
#include "dxf/dxf_reader.h"

namespace {

constexpr int kBenchLines = 1'000'000;
constexpr int kSmallLines = 100'000;

// Wall time and the processor time of this process: on a machine shared with other work
// the wall time also counts the waits for a processor.
class Timer {
 public:
  double wall_seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
  }
  double processor_seconds() const { return processor_now() - processor_; }

 private:
  static double processor_now() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  }
  std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
  double processor_ = processor_now();
};

long peak_rss_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

// A drawing as a CAD program writes it: right-aligned codes, handle, layer, subclass
// markers and 3D points; the lines are short strokes of a random walk over a 300 x 250 mm
// board, as a plotted circuit is.
void write_drawing(const std::string& path, int lines) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fputs("  0\nSECTION\n  2\nENTITIES\n", out);
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> step(-3.0, 3.0);
  double x = 150, y = 125;
  for (int i = 0; i < lines; ++i) {
    const double x2 = std::clamp(x + step(random), 0.0, 300.0);
    const double y2 = std::clamp(y + step(random), 0.0, 250.0);
    std::fprintf(out,
                 "  0\nLINE\n  5\n%X\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n"
                 " 10\n%.4f\n 20\n%.4f\n 30\n0.0\n 11\n%.4f\n 21\n%.4f\n 31\n0.0\n",
                 0x100 + i, x, y, x2, y2);
    x = x2;
    y = y2;
  }
  std::fputs("  0\nENDSEC\n  0\nEOF\n", out);
  std::fclose(out);
}

struct PassResult {
  int64_t records = 0;
  double checksum = 0;
  double wall = 0;
  double processor = 0;
};

PassResult read_pass(const std::string& path) {
  PassResult result;
  const Timer timer;
  zor::DxfEntityReader reader(path, zor::DxfEntityKind::kLine);
  zor::DxfLine line;
  while (reader.next(line)) {
    ++result.records;
    result.checksum += line.x1 + line.y1 + line.x2 + line.y2;
  }
  result.wall = timer.wall_seconds();
  result.processor = timer.processor_seconds();
  return result;
}

PassResult best_of_three(const std::string& path) {
  PassResult best = read_pass(path);
  for (int i = 0; i < 2; ++i) {
    const PassResult r = read_pass(path);
    if (r.wall < best.wall) best = r;
  }
  return best;
}

void report_pass(double mb, const PassResult& r) {
  std::printf(
      "reader, %.1f MB, %lld LINE: %.3f s wall (%.0f MB/s), %.3f s processor (%.0f MB/s)"
      "; checksum %.4f\n",
      mb, static_cast<long long>(r.records), r.wall, mb / r.wall, r.processor, mb / r.processor,
      r.checksum);
}

class SilentDialogs : public zor::GoAheadDialogs {
 public:
  void message(const std::string& text) override { std::printf("message: %s\n", text.c_str()); }
};

void time_redraw(const char* what, const std::string& path, bool autozoom, bool idle_travel) {
  zor::MemoryForm form;
  form.set_text("name_files", path);
  form.set_text("SE_zoom", "1");
  form.set_checked("C_autozoom", autozoom);
  form.set_checked("CB_holost", idle_travel);
  SilentDialogs dialogs;
  zor::UnseenPreview preview;
  zor::DxfPreviewState state;
  const Timer timer;
  zor::video_dxf(form, dialogs, preview, state);
  std::printf("  %-26s %.3f s wall, %.3f s processor\n", what, timer.wall_seconds(),
              timer.processor_seconds());
}

}  // namespace

int main() {
  const std::string base = "/tmp/zor_dxf_bench_" + std::to_string(getpid());
  const std::string small = base + "_small.dxf";
  const std::string large = base + "_large.dxf";
  write_drawing(small, kSmallLines);
  write_drawing(large, kBenchLines);
  const double small_mb = static_cast<double>(std::filesystem::file_size(small)) / 1e6;
  const double large_mb = static_cast<double>(std::filesystem::file_size(large)) / 1e6;

  const long rss_start = peak_rss_kib();
  report_pass(small_mb, best_of_three(small));
  const long rss_small = peak_rss_kib();
  report_pass(large_mb, best_of_three(large));
  const long rss_large = peak_rss_kib();
  std::printf(
      "peak RSS: %ld KiB before reading, %ld KiB after the %.0f MB file, %ld KiB after "
      "the %.0f MB file\n",
      rss_start, rss_small, small_mb, rss_large, large_mb);

  std::printf("preview redraw of %d lines into a 387x320 RasterCanvas:\n", kBenchLines);
  time_redraw("zoom 1:", large, false, false);
  time_redraw("zoom 1, idle travel:", large, false, true);
  time_redraw("Auto (two passes), idle:", large, true, true);

  std::filesystem::remove(small);
  std::filesystem::remove(large);
  return 0;
}
