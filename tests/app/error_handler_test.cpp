// The general error handler: an exception escaping a handler ends that handler, its message is
// shown, and the program goes on; a nested handler's failure ends only the nested one.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPushButton>
#include <stdexcept>

#include "app_test_support.h"
#include "application.h"
#include "common/error.h"

namespace zor::testing {
namespace {

void post_operator_click(QPushButton& button) {
  const QPointF centre = QRectF(button.rect()).center();
  const QPointF global = button.mapToGlobal(centre);
  QCoreApplication::postEvent(
      &button, new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(
      &button, new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                               Qt::NoButton, Qt::NoModifier));
}

class GeneralErrorHandler : public ::testing::Test {
 protected:
  void SetUp() override {
    app = static_cast<Application*>(QCoreApplication::instance());
    app->set_dialogs(&dialogs);
    failing.show();
    other.show();
  }
  void TearDown() override { app->set_dialogs(nullptr); }

  Application* app = nullptr;
  ScriptedDialogs dialogs;
  QPushButton failing{QStringLiteral("fails")};
  QPushButton other{QStringLiteral("works")};
};

TEST_F(GeneralErrorHandler, ShowsTheMessageAndTheProgramGoesOn) {
  int clicks = 0;
  QObject::connect(&failing, &QPushButton::clicked,
                   [] { throw Error("'1.5' is not a valid floating point value"); });
  QObject::connect(&other, &QPushButton::clicked, [&] { ++clicks; });

  operator_click(failing);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], "'1.5' is not a valid floating point value");

  operator_click(other);
  operator_click(failing);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(dialogs.messages.size(), 2u) << "the failing handler runs again next time";
}

TEST_F(GeneralErrorHandler, AnyStandardExceptionIsShown) {
  QObject::connect(&failing, &QPushButton::clicked, [] { throw std::out_of_range("range"); });
  operator_click(failing);
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"range"});
}

TEST_F(GeneralErrorHandler, NestedHandlerEndsAloneAndTheOuterGoesOn) {
  bool outer_finished = false;
  QObject::connect(&failing, &QPushButton::clicked, [] { throw Error("inner failed"); });
  QObject::connect(&other, &QPushButton::clicked, [&] {
    // Like a step of a move: the operator's click is handled from inside this handler.
    post_operator_click(failing);
    QCoreApplication::processEvents();
    outer_finished = true;
  });
  operator_click(other);
  EXPECT_TRUE(outer_finished);
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"inner failed"});
}

}  // namespace
}  // namespace zor::testing
