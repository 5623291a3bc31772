// What the window tests share: widgets found by name, scripted message boxes, and a way to
// answer the modal window that a call is about to open.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/dialogs.h"

namespace zor::testing {

// The named widget of a window; fails the test when there is none or it is of another class.
template <typename W = QWidget>
W* find(const QWidget& window, const char* name) {
  W* widget = window.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(widget, nullptr) << "no " << W::staticMetaObject.className() << " named " << name;
  return widget;
}

// Clicks a button the way the operator does: the events go through the application object.
inline void operator_click(QWidget& button) {
  const QPointF centre = QRectF(button.rect()).center();
  const QPointF global = button.mapToGlobal(centre);
  QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(&button, &press);
  QCoreApplication::sendEvent(&button, &release);
}

class ScriptedDialogs : public Dialogs {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  void error_box(const std::string& caption, const std::string& text) override {
    messages.push_back(caption + ": " + text);
  }
  std::optional<std::string> open_file(const std::string& filter) override {
    filters.push_back(filter);
    return chosen;
  }
  bool ask_continue() override {
    ++questions;
    return ask ? ask() : true;
  }

  bool ask_yes_no(const std::string& text) override {
    asked.push_back(text);
    return true;
  }

  bool ask_limit() override {
    ++limit_questions;
    return true;
  }

  std::vector<std::string> messages;
  std::vector<std::string> filters;
  std::vector<std::string> asked;
  std::optional<std::string> chosen;  // the file dialog's answer; cancelled without it
  int questions = 0;
  int limit_questions = 0;
  std::function<bool()> ask;  // the answer to the stop question; "ДА" without it
};

// Runs `answer` with the modal window that a call below is about to open, once that window's own
// event loop turns, so a test can read and close it. Fails the test if none opens in 5 s.
inline void when_modal_window_opens(std::function<void(QWidget&)> answer) {
  constexpr int kPolls = 5000;
  auto* poll = new QTimer;
  poll->setInterval(1);
  auto polls = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, polls, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && ++*polls < kPolls) return;
    poll->stop();
    poll->deleteLater();
    if (modal == nullptr) {
      ADD_FAILURE() << "no modal window opened";
      return;
    }
    answer(*modal);
  });
  poll->start();
}

}  // namespace zor::testing
