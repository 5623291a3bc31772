// zor-cnc-run --latency-test: how late a chain of waits comes on this computer, as JSON and as
// a histogram picture.
#pragma once

#include <iosfwd>

#include "common/interval_histogram.h"
#include "common/raster_canvas.h"
#include "run/run_options.h"

namespace zor::run {

// Runs the test at real-time priority when the system grants it. Returns the exit status: 0,
// or 1 when the picture could not be written.
int run_latency(const RunOptions& options, std::ostream& out, std::ostream& err);

// The histogram: one column per equal slice of 0 .. a little beyond p99.9 (errors beyond in
// the last column), heights on a logarithmic scale, the p99.9 column marked red.
RasterCanvas histogram_picture(const IntervalHistogram& errors);

}  // namespace zor::run
