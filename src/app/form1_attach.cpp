// The events of the main window and the core's handlers they call. Kept apart from the layout so
// the window can be built and looked at without a core behind it.
#include <QShortcut>

#include "form1.h"
#include "jog_keys.h"
#include "key_press_filter.h"
#include "session/session.h"
#include "ui_Form1.h"

namespace zor {

void TForm1::attach(Session& session) {
  Session* const s = &session;
  const auto on_click = [this, s](QAbstractButton* button, void (Session::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, [s, handler] { (s->*handler)(); });
  };

  on_click(ui_->B_left, &Session::B_leftClick);
  on_click(ui_->B_right, &Session::B_rightClick);
  on_click(ui_->B_up, &Session::B_upClick);
  on_click(ui_->B_down, &Session::B_downClick);
  on_click(ui_->B_z_up, &Session::B_z_upClick);
  on_click(ui_->B_z_down, &Session::B_z_downClick);
  connect(ui_->TrackBar1, &QSlider::valueChanged, this, [s] { s->TrackBar1Change(); });
  connect(ui_->TrackBar2, &QSlider::valueChanged, this, [s] { s->TrackBar2Change(); });
  on_click(ui_->BitBtn1, &Session::BitBtn1Click);
  on_click(ui_->Button8, &Session::Button8Click);

  on_click(ui_->Button5, &Session::Button5Click);
  on_click(ui_->Button6, &Session::Button6Click);
  on_click(ui_->Button7, &Session::Button7Click);

  on_click(ui_->Button4, &Session::Button4Click);
  on_click(ui_->B_save_cfg, &Session::B_save_cfgClick);

  // A chosen entry (also the one already chosen) and typed text both change the kind of program.
  connect(ui_->Programs, &QComboBox::activated, this, [s] { s->ProgramsChange(); });
  connect(ui_->Programs->lineEdit(), &QLineEdit::textEdited, this, [s] { s->ProgramsChange(); });
  const auto on_job = [this, s](QAbstractButton* button, JobButton job,
                                void (Session::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, [this, s, job, handler] {
      if (job_runner_) {
        job_runner_(job);
      } else {
        (s->*handler)();
      }
    });
  };
  on_job(ui_->B_risov, JobButton::kDraw, &Session::B_risovClick);
  on_job(ui_->B_drill, JobButton::kDrill, &Session::B_drillClick);
  on_click(ui_->B_frame, &Session::B_frameClick);
  on_click(ui_->change_name, &Session::change_nameClick);
  on_click(ui_->BitBtn2, &Session::change_nameClick);
  on_click(ui_->Call_V_render, &Session::Call_V_renderClick);
  on_click(ui_->CB_holost, &Session::CB_holostClick);
  ui_->CB_holost->installEventFilter(new KeyPressFilter(this, [s] { s->CB_holostKeyDown(); }));
  connect(ui_->SE_zoom, &QSpinBox::textChanged, this, [s] { s->SE_zoomChange(); });
  on_click(ui_->C_autozoom, &Session::C_autozoomClick);
  on_click(ui_->Button10, &Session::Button10Click);

  on_click(ui_->B_stop, &Session::stop_request);
  // Esc stops the machine from whichever of the program's windows the operator looks at (the
  // path picture, the preview); only while it moves, so that Esc still closes boxes otherwise.
  stop_key_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  stop_key_->setContext(Qt::ApplicationShortcut);
  stop_key_->setEnabled(moving_);
  connect(stop_key_, &QShortcut::activated, this, [s] { s->stop_request(); });
  attach_jog_keys(session);
  attach_board_page(session);
}

void TForm1::attach_jog_keys(Session& session) {
  Session* const s = &session;
  QList<QShortcut*> keys;
  for (const JogKey& jog : kJogKeys) {
    auto* key = new QShortcut(QKeySequence(jog.key), this);
    // A press while the machine moves, the key's own repeat among them, is dropped: jogs
    // never queue up behind a running one.
    connect(key, &QShortcut::activated, this, [s, handler = jog.handler] {
      if (!s->moving()) (s->*handler)();
    });
    keys.append(key);
  }
  // Elsewhere the keys stay with the controls (the aperture grid, the lists).
  const auto follow_tab = [this, keys] {
    const bool manual = ui_->PageControl1->currentWidget() == ui_->T_ruchnoe;
    for (QShortcut* key : keys) key->setEnabled(manual);
  };
  connect(ui_->PageControl1, &QTabWidget::currentChanged, this, follow_tab);
  follow_tab();
}

}  // namespace zor
