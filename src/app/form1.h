// The main window Form1: the layout of Form1.ui, and its controls' events wired to the core's
// handlers of the same names. The window holds no logic of its own.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

class QShortcut;
#include "session/dry_run.h"

namespace Ui {
class TForm1;
}

namespace zor {

class Session;
struct PositionDisplay;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Every control's event calls the session's handler of the same name; the stop button and
  // the Esc key ask the session to stop. The session must outlive the window's events.
  void attach(Session& session);
  // What "Рисовать" and "Сверлить" do instead of pressing the session's buttons at once (the
  // program plans the job first).
  void set_job_runner(std::function<void(JobButton)> run) { job_runner_ = std::move(run); }
  // Told whenever something a job reads changes: a mode box, the file, the page, the kind of
  // program, a job's check box.
  void set_job_inputs_changed(std::function<void()> changed) {
    job_inputs_changed_ = std::move(changed);
  }

  // While the machine moves, every control that would start a second motion or change the
  // coordinates, the port or a running job's data is disabled, and only then is "Стоп" enabled.
  void set_moving(bool moving);

  // The settings file allows the tab to change the settings: the ratio and limit boxes take
  // typing and "Сохранить" shows.
  void set_settings_editable(bool editable);

  // The position panel.
  void show_texts(const PositionDisplay& display);
  // The progress gauge: painted by the next events, with whatever else they paint.
  void show_gauge(const PositionDisplay& display);

 protected:
  // Closing the window ends the program; while the machine moves it is refused, so the machine
  // never goes on moving without a window to stop it from.
  void closeEvent(QCloseEvent* event) override;

 private:
  // Arrows and Page Up / Page Down jog while the manual tab is in front.
  void attach_jog_keys(Session& session);
  // The board page: its browse and preview buttons, and the list of its files' roles.
  void attach_board_page(Session& session);
  void fill_board_files(Session& session);
  void watch_job_inputs();

  std::unique_ptr<Ui::TForm1> ui_;
  bool moving_ = false;
  QShortcut* stop_key_ = nullptr;  // Esc, application-wide while moving
  std::function<void(JobButton)> job_runner_;
  std::function<void()> job_inputs_changed_;
};

}  // namespace zor
