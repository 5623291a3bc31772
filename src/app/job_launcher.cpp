#include "job_launcher.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

#include "app_identity.h"
#include "common/raster_canvas.h"
#include "form1.h"
#include "form3.h"
#include "motion/motion.h"
#include "plan_ahead.h"
#include "qt_screen.h"
#include "session/plan_summary.h"
#include "session/planned_job.h"
#include "session/planned_path.h"
#include "session/session.h"

namespace zor {

JobLauncher::JobLauncher(Session& session, const Form& form, QtScreen& screen, TForm1& window,
                         TForm3& path_window)
    : session_(session),
      form_(form),
      screen_(screen),
      window_(window),
      path_window_(path_window),
      ahead_(std::make_unique<PlanAhead>(
          session, form, [this](const JobPlan* plan, JobButton button, const QString& status) {
            show_ahead(plan, button, status);
          })) {
  window_.set_job_inputs_changed([this] { ahead_->changed(); });
}

JobLauncher::~JobLauncher() = default;

void JobLauncher::run(JobButton button) {
  if (session_.moving()) return;
  // While the plan runs, nothing may start another motion; the question keeps it so too.
  struct Guard {
    JobLauncher& l;
    ~Guard() {
      l.plan_window_.reset();
      l.finished();
      l.window_.set_moving(false);
    }
  } guard{*this};
  window_.set_moving(true);
  planning_.start();
  PlannedJobHooks hooks;
  hooks.progress = [this](int64_t ticks) { return plan_progress(ticks); };
  hooks.ask = [this](const std::string& question) { return ask(question); };
  hooks.starting = [this](const JobPlan& plan) { starting(plan); };
  // Made ahead for what the job reads now: the job starts from it without planning again.
  const JobPlan* ready = ahead_->ready(button);
  if (ready == nullptr) ahead_->cancel();
  run_planned(session_, form_, button, hooks, ready);
}

void JobLauncher::show_notices(const std::vector<std::string>& notices) {
  const PathView& view = session_.motion().path_view();
  std::vector<TForm3::Notice> shown;
  for (const std::string& text : notices) {
    TForm3::Notice n{QString::fromStdString(text), std::nullopt};
    if (const auto place = notice_place(text)) {
      n.place =
          QPoint(static_cast<int>(view.column(place->x)), static_cast<int>(view.row(place->y)));
    }
    shown.push_back(std::move(n));
  }
  path_window_.set_notices(shown);
}

void JobLauncher::show_ahead(const JobPlan* plan, JobButton button, const QString& status) {
  if (plan == nullptr) {
    path_window_.show_status(status);
    if (!status.isEmpty()) show_notices({});
    return;
  }
  path_window_.show_status(QString::fromStdString(plan_summary(*plan, button)));
  show_notices(plan->notes.notices);
  if (path_window_.isHidden()) path_window_.show();
}

bool JobLauncher::plan_progress(int64_t) {
  if (!plan_window_) {
    if (planning_.elapsed() < plan_window_after_) return true;
    plan_window_ = std::make_unique<QProgressDialog>(QStringLiteral("Расчёт задания…"),
                                                     QStringLiteral("Отмена"), 0, 0, &window_);
    plan_window_->setWindowTitle(application_title());
    plan_window_->setWindowModality(Qt::ApplicationModal);
    plan_window_->setMinimumDuration(0);
    plan_window_->show();
  }
  QCoreApplication::processEvents();
  return !plan_window_->wasCanceled();
}

bool JobLauncher::ask(const std::string& question) {
  plan_window_.reset();
  QMessageBox box(QMessageBox::NoIcon, application_title(), QString::fromStdString(question),
                  QMessageBox::NoButton, &window_);
  QPushButton* yes = box.addButton(QStringLiteral("ДА"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("НЕТ"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

void JobLauncher::starting(const JobPlan& plan) {
  plan_window_.reset();
  plan_ = plan;
  RasterCanvas& picture = session_.path_picture();
  const PathView view = path_window_.fit()
                            ? fitted_path_view(plan_.extents, picture.width(), picture.height())
                            : window_path_view(picture.height());
  Motion& motion = session_.motion();
  if (motion.path_view() != view) {
    // What was drawn at another scale would not fit what comes; the path goes on from here.
    motion.set_path_view(view);
    picture.fill(kWhite);
    const MachineState& m = session_.context().machine;
    picture.move_to(view.column(m.pos_x), view.row(m.pos_y));
  }
  draw_planned_path(path_window_.pending(), plan_, view);
  path_window_.show_pending();
  path_window_.picture_changed();
  if (path_window_.isHidden()) path_window_.show();
  progress_.emplace(plan_);
  first_tick_ = screen_.ticks();
  started_ = screen_.now();
  questions_at_start_ = session_.question_ns();
  screen_.set_status([this](int64_t ticks, int64_t now) {
    path_window_.show_status(QString::fromStdString(progress_->running(
        ticks - first_tick_, now - started_, session_.question_ns() - questions_at_start_)));
  });
}

void JobLauncher::finished() {
  if (!progress_) return;
  show_notices(session_.job_notes().notices);
  screen_.set_status({});
  path_window_.show_status(QString::fromStdString(progress_->finished(
      screen_.ticks() - first_tick_, screen_.now() - started_, session_.job_notes().stopped)));
  progress_.reset();
}

}  // namespace zor
