// One job of the program without windows: fills the job inputs the window's handlers fill,
// presses the same button through the same session, and reports what the machine did.
#pragma once

#include <iosfwd>

#include "run/run_options.h"

namespace zor::run {

// Runs the job and prints the JSON report on `out`, message texts on `err`. Returns the
// exit status: 0 when the job ran to its end, 1 when it ended with a failure message.
int run_job(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zor::run
