#include "form1.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <iterator>

#include "app_identity.h"
#include "session/session.h"
#include "ui_Form1.h"

namespace zor {

namespace {

// The aperture grid: the first row is the header row, every row 15 pixels high.
constexpr int kGridRowHeight = 15;
constexpr int kGridColumnWidths[] = {54, 41, 39, 48};
constexpr int kZoomMaxDigits = 3;

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TForm1>()) {
  ui_->setupUi(this);
  setWindowTitle(main_window_caption());

  // What a Designer form cannot hold. A list with entries starts on its first one; the kinds of
  // program start with no entry chosen and the prompt as their text.
  const QString prompt = ui_->Programs->currentText();
  ui_->Programs->setCurrentIndex(-1);
  ui_->Programs->setEditText(prompt);
  // Until a kind is chosen its mode boxes have no values: they stand empty, not showing
  // their names.
  for (QLineEdit* box : {ui_->e_sped, ui_->e_sped2, ui_->e_sped_up, ui_->e_sped_dow, ui_->e_pero,
                         ui_->e_glubs, ui_->e_glubi}) {
    box->clear();
  }

  QHeaderView* header = ui_->StringGrid1->horizontalHeader();
  header->setFixedHeight(kGridRowHeight);
  header->setSectionResizeMode(QHeaderView::Fixed);
  for (int column = 0; column < static_cast<int>(std::size(kGridColumnWidths)); ++column) {
    header->resizeSection(column, kGridColumnWidths[column]);
  }
  ui_->StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

  ui_->SE_zoom->findChild<QLineEdit*>()->setMaxLength(kZoomMaxDigits);

  // The full reading concerns both file pages: its box stands in the corner of their tabs.
  ui_->PageControl2->setCornerWidget(ui_->CB_full, Qt::TopRightCorner);

  const QIcon browse = style()->standardIcon(QStyle::SP_DirOpenIcon);
  ui_->change_name->setIcon(browse);
  ui_->BitBtn2->setIcon(browse);
  ui_->B_board_open->setIcon(browse);

  // The position panel repaints during every run: painted whole on its own background, it
  // spares Qt repainting the group box behind it.
  for (QWidget* live : {ui_->view_x, ui_->view_y, ui_->view_z}) {
    live->setAutoFillBackground(true);
    live->setAttribute(Qt::WA_OpaquePaintEvent);
  }
  watch_job_inputs();
}

TForm1::~TForm1() = default;

void TForm1::set_moving(bool moving) {
  QWidget* const motion_controls[] = {ui_->B_up,    ui_->B_down,   ui_->B_left,    ui_->B_right,
                                      ui_->B_z_up,  ui_->B_z_down, ui_->BitBtn1,   ui_->Button8,
                                      ui_->Button5, ui_->Button6,  ui_->Button7,   ui_->B_risov,
                                      ui_->B_drill, ui_->Button4,  ui_->ComboBox1, ui_->change_name,
                                      ui_->BitBtn2, ui_->Button10, ui_->B_frame,   ui_->B_save_cfg};
  for (QWidget* control : motion_controls) control->setEnabled(!moving);
  for (QWidget* control :
       std::initializer_list<QWidget*>{ui_->B_board_open, ui_->B_board_view, ui_->SG_board_files}) {
    control->setEnabled(!moving);
  }
  // What the running job has read or reads as it goes stays as it was: the boxes keep their
  // text legible but take no typing, the kind of program and the page stay chosen.
  QLineEdit* const job_texts[] = {ui_->e_sped,     ui_->e_sped2, ui_->e_sped_up, ui_->e_sped_dow,
                                  ui_->e_pero,     ui_->e_glubs, ui_->e_glubi,   ui_->d_mark,
                                  ui_->name_files, ui_->Edit15};
  for (QLineEdit* box : job_texts) box->setReadOnly(moving);
  QWidget* const job_choices[] = {ui_->Programs, ui_->CB_vozvrat, ui_->CB_full, ui_->CB_optimize,
                                  ui_->PageControl2->tabBar()};
  for (QWidget* choice : job_choices) choice->setEnabled(!moving);
  ui_->B_stop->setEnabled(moving);
  if (stop_key_ != nullptr) stop_key_->setEnabled(moving);
  moving_ = moving;
}

void TForm1::set_settings_editable(bool editable) {
  for (QLineEdit* box : {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit6, ui_->Edit7, ui_->Edit8}) {
    box->setReadOnly(!editable);
  }
  ui_->B_save_cfg->setVisible(editable);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (moving_) {
    event->ignore();
  } else {
    QWidget::closeEvent(event);
  }
}

void TForm1::show_texts(const PositionDisplay& display) {
  QLineEdit* const views[] = {ui_->view_x, ui_->view_y, ui_->view_z};
  for (size_t axis = 0; axis < display.view.size(); ++axis) {
    // Setting a text lays it out again even when it is the same; most moves change one axis.
    const QString text = QString::fromStdString(display.view[axis]);
    if (views[axis]->text() != text) views[axis]->setText(text);
  }
}

void TForm1::show_gauge(const PositionDisplay& display) {
  // A progress bar repaints itself at once whenever its percentage changes; with its updates
  // held the change waits for the next events.
  if (ui_->Gauge1->value() == display.gauge) return;
  ui_->Gauge1->setUpdatesEnabled(false);
  ui_->Gauge1->setValue(display.gauge);
  ui_->Gauge1->setUpdatesEnabled(true);
}

}  // namespace zor
