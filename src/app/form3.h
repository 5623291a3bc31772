// The path window Form3 ("Virt_cut"): the tool path of the session, drawn at 5 pixels per mm.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TForm3;
}

namespace zor {

class RasterCanvas;

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  // The picture is the session's; it must outlive the window.
  explicit TForm3(RasterCanvas& path, QWidget* parent = nullptr);
  ~TForm3() override;

  // The picture changed: it is repainted at the next event processing.
  void picture_changed();

 private:
  RasterCanvas& path_;
  std::unique_ptr<Ui::TForm3> ui_;
};

}  // namespace zor
