#include "common/interval_histogram.h"

#include <algorithm>
#include <cmath>

namespace zor {

IntervalHistogram::IntervalHistogram() : bins_(kFineBins + kCoarseBins, 0) {}

int64_t IntervalHistogram::bin_of(int64_t ns) {
  if (ns < 0) return 0;  // a step is never early; a clock that says so counts as on time
  if (ns < kFineBins * kFineNs) return ns / kFineNs;
  const int64_t coarse = (ns - kFineBins * kFineNs) / kCoarseNs;
  return kFineBins + std::min(coarse, kCoarseBins - 1);
}

int64_t IntervalHistogram::upper_edge_ns(int64_t bin) {
  if (bin < kFineBins) return (bin + 1) * kFineNs;
  return kFineBins * kFineNs + (bin - kFineBins + 1) * kCoarseNs;
}

void IntervalHistogram::add(int64_t error_counts, int64_t frequency, bool restart) {
  const int64_t ns = frequency == 1'000'000'000
                         ? error_counts
                         : static_cast<int64_t>(static_cast<double>(error_counts) * 1e9 /
                                                static_cast<double>(frequency));
  ++bins_[static_cast<size_t>(bin_of(ns))];
  ++count_;
  if (restart) ++restarts_;
  max_ns_ = std::max(max_ns_, ns);
}

double IntervalHistogram::percentile_us(double q) const {
  if (count_ == 0) return 0;
  const auto rank = static_cast<int64_t>(std::ceil(std::clamp(q, 0.0, 1.0) * count_));
  int64_t seen = 0;
  for (size_t bin = 0; bin < bins_.size(); ++bin) {
    seen += bins_[bin];
    if (seen >= std::max<int64_t>(rank, 1)) {
      // The upper edge, but never beyond the largest error actually seen.
      const int64_t edge = std::min(upper_edge_ns(static_cast<int64_t>(bin)), max_ns_);
      return static_cast<double>(edge) / 1000.0;
    }
  }
  return max_us();
}

}  // namespace zor
