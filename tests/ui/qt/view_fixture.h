#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/qt/qt_message_loop.h"
#include "ui/qt/qt_view.h"
#include "ui/toolkit/test_window.h"

namespace brontal::testing {

// Every test here runs in one QApplication on the offscreen platform, made
// before the first test and deleted after the last (a static one would
// outlive parts of Qt).

// Lets Qt deliver what is queued: the toolkit's posted tasks, layouts, and
// the deletion of widgets whose controls are gone.
void Pump();

// The test panel (every control kind) shown through the view.
class ViewTest : public ::testing::Test {
 public:
  ViewTest();

  template <typename T>
  T& Find(std::string_view name) {
    auto* control = dynamic_cast<T*>(window.GetPaintManager().FindControl(name));
    if (!control) throw std::runtime_error("no such control: " + std::string(name));
    return *control;
  }

  // The widget showing the named control, as the widget class it must be.
  template <typename W = QWidget>
  W& Widget(std::string_view name) {
    auto* widget = dynamic_cast<W*>(view.WidgetOf(Find<CControlUI>(name)));
    if (!widget) throw std::runtime_error("no widget of the expected class for " + std::string(name));
    return *widget;
  }

  QWidget& Top() { return *view.WidgetOf(window); }

  QtMessageLoop loop;
  Toolkit toolkit{loop};
  QtView view{toolkit};
  TestWindow window{toolkit, "XML_PANEL"};
};

}  // namespace brontal::testing
