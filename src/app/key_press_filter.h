// Runs a callback for every key pressed while a widget has the focus; the key still reaches
// the widget.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <utility>

namespace zor {

class KeyPressFilter : public QObject {
 public:
  KeyPressFilter(QObject* parent, std::function<void()> on_key)
      : QObject(parent), on_key_(std::move(on_key)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) on_key_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> on_key_;
};

}  // namespace zor
