#include "motion/realtime_linux.h"

#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace zor {
namespace {

// Above the system's own threaded interrupts' default of 50 would starve them; below keeps
// the disk and the network alive while a job runs. The package's limits file grants this.
constexpr int kPriority = 40;

class SystemSchedulingKernel : public SchedulingKernel {
 public:
  int get_scheduler(int& policy, int& priority) override {
    const int got = sched_getscheduler(0);
    sched_param param{};
    if (got < 0 || sched_getparam(0, &param) != 0) return errno;
    policy = got & ~SCHED_RESET_ON_FORK;
    priority = param.sched_priority;
    return 0;
  }
  int set_scheduler(int policy, int priority) override {
    sched_param param{};
    param.sched_priority = priority;
    return sched_setscheduler(0, policy, &param) == 0 ? 0 : errno;
  }
  long rtprio_limit() override {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
    return static_cast<long>(limit.rlim_cur);
  }
  int lock_memory() override {
    // Pages are locked as they are touched, not all read in now; nothing allocated later is
    // locked, so an allocation can never fail on the lock limit.
#ifdef MCL_ONFAULT
    if (mlockall(MCL_CURRENT | MCL_ONFAULT) == 0) return 0;
#endif
    return mlockall(MCL_CURRENT) == 0 ? 0 : errno;
  }
  void unlock_memory() override {
    munlockall();
  }
};

class LinuxRealtime : public RealtimeSteps {
 public:
  explicit LinuxRealtime(SchedulingKernel& kernel) : kernel_(kernel) {}

  bool enter() override {
    kernel_.get_scheduler(old_policy_, old_priority_);
    int priority = std::clamp(kPriority, sched_get_priority_min(SCHED_FIFO),
                              sched_get_priority_max(SCHED_FIFO));
    // Threads started during the motion (a port's claim, the window's helpers) run as
    // threads normally do, not ahead of the system's.
    constexpr int kPolicy = SCHED_FIFO | SCHED_RESET_ON_FORK;
    int rc = kernel_.set_scheduler(kPolicy, priority);
    // A limit below the middle (an rtprio line of the limits file) is taken as it is.
    const long limit = kernel_.rtprio_limit();
    if (rc == EPERM && limit > 0 && limit < priority) {
      priority = static_cast<int>(limit);
      rc = kernel_.set_scheduler(kPolicy, priority);
    }
    raised_ = rc == 0;
    locked_ = kernel_.lock_memory() == 0;
    priority_refused_ = !raised_;
    lock_refused_ = !locked_;
    if (raised_ && locked_) return true;
    // Half of it would run the thread ahead of the system's while the operator is told it was
    // refused, or hold memory locked for nothing: both or neither.
    leave();
    return false;
  }

  void leave() override {
    if (locked_) kernel_.unlock_memory();
    if (raised_) kernel_.set_scheduler(old_policy_, old_priority_);
    locked_ = raised_ = false;
  }

  std::string refused_notice() const override {
    std::string refused = "приоритет и закрепление памяти";
    std::string lines = "строки \"@lp - rtprio 40\" и \"@lp - memlock unlimited\"";
    if (priority_refused_ && !lock_refused_) {
      refused = "приоритет (закрепление памяти снято)";
      lines = "строку \"@lp - rtprio 40\"";
    } else if (lock_refused_ && !priority_refused_) {
      refused = "закрепление памяти (приоритет снят)";
      lines = "строку \"@lp - memlock unlimited\"";
    }
    return "Система не дала приоритет реального времени, отказано: " + refused +
           ". На загруженном компьютере шаги могут запаздывать. Чтобы разрешить, добавьте в "
           "/etc/security/limits.d/zor-cnc.conf " +
           lines + ", включите пользователя в группу lp и войдите заново.";
  }

 private:
  SchedulingKernel& kernel_;
  int old_policy_ = SCHED_OTHER;
  int old_priority_ = 0;
  bool raised_ = false;
  bool locked_ = false;
  bool priority_refused_ = false;
  bool lock_refused_ = false;
};

}  // namespace

SchedulingKernel& system_scheduling_kernel() {
  static SystemSchedulingKernel kernel;
  return kernel;
}

std::unique_ptr<RealtimeSteps> make_linux_realtime(SchedulingKernel& kernel) {
  return std::make_unique<LinuxRealtime>(kernel);
}

std::unique_ptr<RealtimeSteps> make_system_realtime() {
  return make_linux_realtime(system_scheduling_kernel());
}

}  // namespace zor
