// What a job did with the tool, counted from the moves it made: where the tool worked (below
// the travel height), how often it was lifted from the work, how many holes it drilled. It
// stands between a job and the moves, so every job kind, fixed or planned, is counted alike.
#pragma once

#include <optional>

#include "context/machine_context.h"
#include "motion/moves.h"
#include "plan/plan.h"

namespace zor {

struct JobCounts {
  std::optional<PlanExtents> extents;  // every X-Y place the tool was below z_idle
  int pen_lifts = 0;                   // the job lowered the tool below z_idle and raised it again
  int holes = 0;                       // the tool went from the surface or above into the work
};

class TallyingMoves : public Moves {
 public:
  TallyingMoves(Moves& moves, const MachineContext& ctx) : moves_(moves), ctx_(ctx) {}
  void move_to_xy(double x, double y, double speed) override;
  void down_up(double z, double speed) override;

  const JobCounts& counts() const { return counts_; }
  void reset() {
    counts_ = {};
    lowered_ = false;
  }

 private:
  bool working() const;
  bool in_work() const;
  void note_place();

  Moves& moves_;
  const MachineContext& ctx_;
  JobCounts counts_;
  // The tool went below z_idle in this job: a tool that starts there (on the surface, where
  // a run begins) and is raised has not been lifted from any work.
  bool lowered_ = false;
};

}  // namespace zor
