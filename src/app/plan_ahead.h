// The plan of the next job, made on a thread of its own whenever what the job reads changes
// (the file, a mode box, the marker, the order, the full reading, the position after a run):
// the operator sees the job's time, extents and notices before anything moves, and the job
// starts from that plan when nothing changed since.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "session/dry_run.h"

namespace zor {

class Form;
class Session;

class PlanAhead : public QObject {
 public:
  // Changes closer together than this make one plan.
  static constexpr int kSettleMs = 250;

  // `shown` gets the plan made (null: none can be made, with the reason in `status`) and the
  // job it is for; `progress` the planned updates while a plan is made.
  using Shown = std::function<void(const JobPlan* plan, JobButton button, const QString& status)>;
  PlanAhead(Session& session, const Form& form, Shown shown);
  ~PlanAhead() override;
  PlanAhead(const PlanAhead&) = delete;
  PlanAhead& operator=(const PlanAhead&) = delete;

  // What a job reads changed: a plan follows once the changes settle.
  void changed();
  // The plan made ahead for `button`, if the inputs are still those it was made from.
  const JobPlan* ready(JobButton button) const;
  // Drops the plan being made (a job is about to plan for itself, or the window closes).
  void cancel();
  bool planning() const { return worker_.joinable() && !delivered_; }

 private:
  void start();
  void deliver(uint64_t generation, JobPlan plan, JobButton button, std::string inputs);

  Session& session_;
  const Form& form_;
  Shown shown_;
  QTimer settle_;
  std::thread worker_;
  std::atomic<bool> cancelled_{false};
  uint64_t generation_ = 0;
  bool delivered_ = true;
  std::optional<JobPlan> plan_;
  JobButton button_ = JobButton::kDraw;
  std::string inputs_;
};

}  // namespace zor
