#include "ui/qt/window_input_forwarder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <vector>

namespace brontal {
namespace {

TEST(WindowInputForwarder, EachKeyAndButtonReachesItsSinkOnceAndGoesOnToTheWidgets) {
  struct Key {
    std::uint32_t code;
    bool down, repeat;
    bool operator==(const Key&) const = default;
  };
  std::vector<Key> keys;
  std::vector<std::tuple<WindowInputForwarder::Button, bool, int, int>> buttons;
  WindowInputForwarder forwarder(
      {[&](std::uint32_t code, bool down, bool repeat) {
         keys.push_back({code, down, repeat});
       },
       [&](WindowInputForwarder::Button b, bool down, int x, int y) { buttons.emplace_back(b, down, x, y); }});
  qApp->installEventFilter(&forwarder);
  QWidget window;
  window.resize(200, 100);
  window.show();
  QWindow* handle = window.windowHandle();
  ASSERT_NE(handle, nullptr);

  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a", true);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
  for (QKeyEvent* event : {&press, &repeat, &release}) QApplication::sendEvent(handle, event);
  QMouseEvent back(QEvent::MouseButtonPress, QPointF(12, 34), QPointF(12, 34), Qt::BackButton, Qt::BackButton,
                   Qt::NoModifier);
  QApplication::sendEvent(handle, &back);
  qApp->removeEventFilter(&forwarder);

  EXPECT_EQ(keys, (std::vector<Key>{{38, true, false}, {38, true, true}, {38, false, false}}));
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons.front(), std::make_tuple(WindowInputForwarder::Button::kBack, true, 12, 34));
}

}  // namespace
}  // namespace brontal
