#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include "motion/realtime.h"

namespace zor {
namespace {

class WindowsRealtime : public RealtimeSteps {
 public:
  bool enter() override {
    thread_ = GetCurrentThread();
    old_priority_ = GetThreadPriority(thread_);
    raised_ = SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL) != 0;
    // The system timer at 1 ms: the scheduler's slices, and so its interruptions, get shorter.
    timer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    return raised_;
  }

  void leave() override {
    if (timer_) timeEndPeriod(1);
    if (raised_) SetThreadPriority(thread_, old_priority_);
    raised_ = timer_ = false;
  }

  std::string refused_notice() const override {
    return "Система не дала потоку шагов высший приоритет: на загруженном компьютере шаги могут "
           "запаздывать. Запустите программу от имени администратора.";
  }

 private:
  HANDLE thread_ = nullptr;
  int old_priority_ = THREAD_PRIORITY_NORMAL;
  bool raised_ = false;
  bool timer_ = false;
};

}  // namespace

std::unique_ptr<RealtimeSteps> make_system_realtime() {
  return std::make_unique<WindowsRealtime>();
}

}  // namespace zor
