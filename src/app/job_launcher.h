// "Рисовать" and "Сверлить" as the window runs them: the job is planned first (a progress
// window with a cancel button when the plan takes a while), the operator is asked once when the
// path leaves the travel limits, Virt_cut shows the planned path pale (scaled to the job when
// "Вписать" is checked), and the status line under it follows the job to its end.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session/dry_run.h"
#include "session/job_progress.h"

class QProgressDialog;

namespace zor {

class Form;
class PlanAhead;
class QtScreen;
class Session;
class TForm1;
class TForm3;

class JobLauncher {
 public:
  // A plan taking longer than this shows its progress window.
  static constexpr int kPlanWindowAfterMs = 300;

  // Everything given must outlive the launcher.
  JobLauncher(Session& session, const Form& form, QtScreen& screen, TForm1& window,
              TForm3& path_window);
  ~JobLauncher();
  JobLauncher(const JobLauncher&) = delete;
  JobLauncher& operator=(const JobLauncher&) = delete;

  void run(JobButton button);
  // The plan of the job running or run last.
  const JobPlan& plan() const { return plan_; }
  void set_plan_window_after(int milliseconds) { plan_window_after_ = milliseconds; }
  // The plan made ahead of the next job, shown before anything moves.
  PlanAhead& ahead() { return *ahead_; }

 private:
  bool plan_progress(int64_t ticks);
  bool ask(const std::string& question);
  void starting(const JobPlan& plan);
  void finished();
  void show_ahead(const JobPlan* plan, JobButton button, const QString& status);
  // The notices with the picture's pixel of each place they name.
  void show_notices(const std::vector<std::string>& notices);

  Session& session_;
  const Form& form_;
  QtScreen& screen_;
  TForm1& window_;
  TForm3& path_window_;
  JobPlan plan_;
  std::optional<JobProgress> progress_;
  int64_t first_tick_ = 0;
  int64_t started_ = 0;
  int64_t questions_at_start_ = 0;
  QElapsedTimer planning_;
  int plan_window_after_ = kPlanWindowAfterMs;
  std::unique_ptr<QProgressDialog> plan_window_;
  std::unique_ptr<PlanAhead> ahead_;
};

}  // namespace zor
