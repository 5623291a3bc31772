// The confirmation window F_stop: "Продолжить?" with "ДА" and "НЕТ". The answer is kept in the
// hidden label L_stop, "yes" or "no", until the next press.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TF_stop;
}

namespace zor {

class TF_stop : public QDialog {
  Q_OBJECT

 public:
  explicit TF_stop(QWidget* parent = nullptr);
  ~TF_stop() override;

  void Button1Click();
  void Button2Click();

  // Shows the window modally until it is answered or closed. True only for "ДА": closing the
  // window without an answer counts as "НЕТ", so a stop request is never lost.
  bool ask();

 protected:
  // Comes up in front of whatever window the operator is looking at.
  void showEvent(QShowEvent* event) override;

 private:
  std::unique_ptr<Ui::TF_stop> ui_;
};

}  // namespace zor
