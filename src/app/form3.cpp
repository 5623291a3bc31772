#include "form3.h"

#include "ui_Form3.h"

namespace zor {

TForm3::TForm3(const RasterCanvas& path, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm3>()) {
  ui_->setupUi(this);
  // Only the main window's closing ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  // Shown by the first step of a run: it must not take the focus from the main window.
  setAttribute(Qt::WA_ShowWithoutActivating);
  ui_->Image1->set_picture(&path);
}

TForm3::~TForm3() = default;

void TForm3::picture_changed() {
  ui_->Image1->update();
}

}  // namespace zor
