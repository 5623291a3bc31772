#include "run/latency_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>

#include "common/clock.h"
#include "common/png_writer.h"
#include "motion/latency_test.h"
#include "motion/realtime.h"
#include "run/json_report.h"

namespace zor::run {
namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 300;

}  // namespace

RasterCanvas histogram_picture(const IntervalHistogram& errors) {
  RasterCanvas picture(kWidth, kHeight);
  const auto& bins = errors.bins();
  // The fine bins shown: up to twice p99.9, at least 10 us, at most all of them.
  const double range_us =
      std::clamp(2 * errors.percentile_us(0.999), 10.0,
                 IntervalHistogram::kFineBins * IntervalHistogram::kFineNs / 1e3);
  const auto shown = static_cast<int64_t>(range_us * 1000 / IntervalHistogram::kFineNs);
  const int64_t per_column = std::max<int64_t>(1, (shown + kWidth - 1) / kWidth);
  std::vector<int64_t> columns(kWidth, 0);
  for (size_t bin = 0; bin < bins.size(); ++bin) {
    const int64_t column = std::min<int64_t>(static_cast<int64_t>(bin) / per_column, kWidth - 1);
    columns[static_cast<size_t>(column)] += bins[bin];
  }
  const int64_t tallest = *std::max_element(columns.begin(), columns.end());
  const int64_t p999_column = std::min<int64_t>(
      static_cast<int64_t>(errors.percentile_us(0.999) * 1000 / IntervalHistogram::kFineNs) /
          per_column,
      kWidth - 1);
  picture.set_pen_width(1);
  for (int x = 0; x < kWidth; ++x) {
    const auto n = columns[static_cast<size_t>(x)];
    if (n == 0) continue;
    const double share =
        std::log10(1.0 + static_cast<double>(n)) / std::log10(1.0 + static_cast<double>(tallest));
    const auto height = std::max<int64_t>(1, std::llround(share * (kHeight - 1)));
    picture.set_pen_color(x == p999_column ? kRed : kBlue);
    picture.move_to(x, kHeight);
    picture.line_to(x, kHeight - height - 1);
  }
  return picture;
}

int run_latency(const RunOptions& o, std::ostream& out, std::ostream& err) {
  RealClock clock;
  IntervalHistogram errors;
  const std::unique_ptr<RealtimeSteps> realtime = make_system_realtime();
  const bool granted = realtime->enter();
  const LatencyResult r = run_latency_test(clock, *o.latency_seconds, o.rate, errors);
  realtime->leave();
  std::vector<std::string> notices;
  if (!granted) notices.push_back(realtime->refused_notice());

  int status = 0;
  if (o.png_file) {
    try {
      write_png(*o.png_file, histogram_picture(errors));
    } catch (const std::exception& e) {
      err << e.what() << '\n';
      status = 1;
    }
  }
  char head[200];
  std::snprintf(head, sizeof head,
                "{\"seconds\": %.6g, \"rate\": %.6g, \"intervals\": %lld, \"achieved_ratio\": "
                "%.6f, ",
                *o.latency_seconds, o.rate, static_cast<long long>(r.intervals),
                r.achieved / r.commanded);
  out << head << json_interval_errors(errors) << ", \"realtime\": " << (granted ? "true" : "false")
      << ", \"notices\": " << json_list(notices) << "}\n";
  return status;
}

}  // namespace zor::run
