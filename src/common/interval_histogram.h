// How late each step of a chain came: a histogram of fixed size, so that collecting it costs
// the step loop one addition and the same memory however long the run.
#pragma once

#include <cstdint>
#include <vector>

namespace zor {

class IntervalHistogram {
 public:
  // 10 ns bins up to 1 ms, then 10 us bins up to 1 s; later errors count in the last bin.
  static constexpr int64_t kFineNs = 10;
  static constexpr int64_t kFineBins = 100'000;
  static constexpr int64_t kCoarseNs = 10'000;
  static constexpr int64_t kCoarseBins = 100'000;

  IntervalHistogram();

  // One interval's error, (interval - step time), in counts of a clock of `frequency` counts
  // a second; `restart` when the chain restarted there (a pause longer than a step).
  void add(int64_t error_counts, int64_t frequency, bool restart);

  int64_t count() const { return count_; }
  int64_t restarts() const { return restarts_; }
  // The error no larger than the fraction q (0..1) of all errors, in microseconds, to the bin
  // (rounded up to its upper edge); 0 while empty.
  double percentile_us(double q) const;
  double max_us() const { return static_cast<double>(max_ns_) / 1000.0; }
  // The counts of the bins, and where each bin ends (ns).
  const std::vector<uint32_t>& bins() const { return bins_; }
  static int64_t upper_edge_ns(int64_t bin);

 private:
  static int64_t bin_of(int64_t ns);

  std::vector<uint32_t> bins_;
  int64_t count_ = 0;
  int64_t restarts_ = 0;
  int64_t max_ns_ = 0;
};

}  // namespace zor
