#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

#include "motion/realtime.h"

namespace zor {
namespace {

// Above the system's own threaded interrupts' default of 50 would starve them; below keeps
// the disk and the network alive while a job runs.
constexpr int kPriority = 40;

class LinuxRealtime : public RealtimeSteps {
 public:
  bool enter() override {
    const pthread_t self = pthread_self();
    pthread_getschedparam(self, &old_policy_, &old_param_);
    sched_param param{};
    param.sched_priority = std::clamp(kPriority, sched_get_priority_min(SCHED_FIFO),
                                      sched_get_priority_max(SCHED_FIFO));
    int rc = pthread_setschedparam(self, SCHED_FIFO, &param);
    // A limit below the middle (an rtprio line of the limits file) is taken as it is.
    rlimit limit{};
    if (rc == EPERM && getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur > 0 &&
        limit.rlim_cur < static_cast<rlim_t>(param.sched_priority)) {
      param.sched_priority = static_cast<int>(limit.rlim_cur);
      rc = pthread_setschedparam(self, SCHED_FIFO, &param);
    }
    raised_ = rc == 0;
    // Pages are locked as they are touched, not all read in now; nothing allocated later is
    // locked, so an allocation can never fail on the lock limit.
#ifdef MCL_ONFAULT
    locked_ = mlockall(MCL_CURRENT | MCL_ONFAULT) == 0 || mlockall(MCL_CURRENT) == 0;
#else
    locked_ = mlockall(MCL_CURRENT) == 0;
#endif
    return raised_ && locked_;
  }

  void leave() override {
    if (locked_) munlockall();
    if (raised_) pthread_setschedparam(pthread_self(), old_policy_, &old_param_);
    locked_ = raised_ = false;
  }

  std::string refused_notice() const override {
    return "Система не дала приоритет реального времени: на загруженном компьютере шаги могут "
           "запаздывать. Чтобы разрешить, добавьте в /etc/security/limits.d/zor-cnc.conf строки "
           "\"@lp - rtprio 40\" и \"@lp - memlock unlimited\", включите пользователя в группу lp "
           "и войдите заново.";
  }

 private:
  int old_policy_ = SCHED_OTHER;
  sched_param old_param_{};
  bool raised_ = false;
  bool locked_ = false;
};

}  // namespace

std::unique_ptr<RealtimeSteps> make_system_realtime() {
  return std::make_unique<LinuxRealtime>();
}

}  // namespace zor
