// Real-time priority on Linux: the system calls it is made of, so that a test can have one of
// them refused while the others act for real.
#pragma once

#include <memory>

#include "motion/realtime.h"

namespace zor {

// Each acts on the calling thread (the memory lock on the whole process); 0 or an errno.
class SchedulingKernel {
 public:
  virtual ~SchedulingKernel() = default;
  virtual int get_scheduler(int& policy, int& priority) = 0;
  virtual int set_scheduler(int policy, int priority) = 0;
  // The soft limit of RLIMIT_RTPRIO; 0 when there is none to speak of.
  virtual long rtprio_limit() = 0;
  virtual int lock_memory() = 0;
  virtual void unlock_memory() = 0;
};

SchedulingKernel& system_scheduling_kernel();
std::unique_ptr<RealtimeSteps> make_linux_realtime(SchedulingKernel& kernel);

}  // namespace zor
