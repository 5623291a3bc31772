// Real-time scheduling for the thread that runs the step loop, for as long as a motion runs.
// On a busy computer the scheduler otherwise takes the processor away for longer than a step
// now and then; the chain of steps restarts and that time is lost.
#pragma once

#include <memory>
#include <string>

namespace zor {

class RealtimeSteps {
 public:
  virtual ~RealtimeSteps() = default;
  // Raises the calling thread for the motion that begins. False when the system refused
  // (the thread then runs as before).
  virtual bool enter() = 0;
  // Back to the scheduling the thread had before enter().
  virtual void leave() = 0;
  // What the operator is told once when enter() was refused: steps may come late, and how
  // to allow it on this system.
  virtual std::string refused_notice() const = 0;
};

// Linux: SCHED_FIFO at a middling priority and the process's memory locked; Windows: the
// time-critical thread priority and a 1 ms system timer.
std::unique_ptr<RealtimeSteps> make_system_realtime();

}  // namespace zor
