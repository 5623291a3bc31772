// What the next job reads, watched: each change lets the program plan the job again ahead.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "form1.h"
#include "ui_Form1.h"

namespace zor {

void TForm1::watch_job_inputs() {
  const auto tell = [this] {
    if (job_inputs_changed_) job_inputs_changed_();
  };
  for (QLineEdit* box : {ui_->e_sped, ui_->e_sped2, ui_->e_sped_up, ui_->e_sped_dow, ui_->e_pero,
                         ui_->e_glubs, ui_->d_mark, ui_->name_files, ui_->Edit15}) {
    connect(box, &QLineEdit::textChanged, this, tell);
  }
  for (QCheckBox* box : {ui_->CB_vozvrat, ui_->CB_full, ui_->CB_optimize}) {
    connect(box, &QCheckBox::toggled, this, tell);
  }
  connect(ui_->PageControl2, &QTabWidget::currentChanged, this, tell);
  // A hint to read the file whole has been followed once the box is ticked.
  // The SVG drawing's fill and pens belong to the full reading, and stand where the fixed
  // reading's hint stands: one or the other is shown.
  const auto show_reading = [this](bool full) {
    ui_->L_full_hint->setVisible(!full);
    ui_->L_dxf_hint->setVisible(!full);
    ui_->CB_fill->setVisible(full);
    ui_->CL_colours->setVisible(full);
  };
  connect(ui_->CB_full, &QCheckBox::toggled, this, show_reading);
  ui_->CB_fill->setVisible(ui_->CB_full->isChecked());
  ui_->CL_colours->setVisible(ui_->CB_full->isChecked());
  connect(ui_->Programs, &QComboBox::currentIndexChanged, this, tell);
}

}  // namespace zor
