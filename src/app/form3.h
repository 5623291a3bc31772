// The path window Form3 ("Virt_cut"): the tool path of the session, drawn at 5 pixels per mm or
// scaled to a job; under it the job's planned path and its status line.
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

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

  // The status line under the picture.
  void show_status(const QString& text);
  // A standing remark about the computer (steps may be late): its first sentence follows
  // every status text, the whole of it is the line's tooltip.
  void set_notice(const QString& text);
  // "Вписать": the next job's picture is scaled to its extents.
  bool fit() const;
  // The planned path under the steps' own picture, shown through its white; drawn by the
  // caller, then shown, until the next job replaces it.
  RasterCanvas& pending() { return *pending_; }
  void show_pending();
  // The job's notices under the picture, each with the picture's pixel of the place it names;
  // a click on one rings its place. An empty list hides the list and the window is its
  // designed size again.
  struct Notice {
    QString text;
    std::optional<QPoint> place;
  };
  void set_notices(const std::vector<Notice>& notices);

 private:
  RasterCanvas& path_;
  std::unique_ptr<RasterCanvas> pending_;
  std::unique_ptr<Ui::TForm3> ui_;
  QString notice_;
  std::vector<Notice> notices_;
  int designed_height_ = 0;
};

}  // namespace zor
