#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/toolkit/button.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"
#include "ui/toolkit/window_host.h"

namespace brontal::testing {

// A notification as the window saw it.
struct Note {
  std::string type;
  std::string sender;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
  friend bool operator==(const Note&, const Note&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Note& n) {
    return out << n.type << " from " << n.sender << " (" << n.wparam << ", " << n.lparam << ")";
  }
};

// A program control made by the window's CreateControl: a key that answers a
// double click with "dbclick".
class CKeyPadUI : public CButtonUI {
 public:
  std::string_view GetClass() const override { return "KeyPad"; }

 protected:
  void DoEvent(TEventUI& event) override;
};

// A program control registered with the factory as "CFactoryBadgeUI".
class CFactoryBadgeUI : public CLabelUI {
 public:
  std::string_view GetClass() const override { return "FactoryBadge"; }
};

class TestWindow : public WindowImplBase {
 public:
  TestWindow(Toolkit& toolkit, std::string layout) : WindowImplBase(toolkit), layout_(std::move(layout)) {}

  std::string_view GetWindowClassName() const override { return "TestWnd"; }
  void Notify(TNotifyUI& msg) override;

  std::vector<Note> notes;
  std::vector<std::uint32_t> messages;
  std::function<void(TNotifyUI&)> on_notify;
  std::function<LRESULT(const WindowMessage&, bool&)> on_message;
  int final_messages = 0;
  bool messages_seen_after_final = false;

 protected:
  std::string GetSkinFile() const override { return layout_; }
  std::unique_ptr<CControlUI> CreateControl(std::string_view class_name) override;
  LRESULT HandleMessage(const WindowMessage& message, bool& handled) override;
  void OnFinalMessage() override { ++final_messages; }

 private:
  std::string layout_;
};

// Makes a question box of two buttons close with 1 on a click of
// "confirm_btn" and with 0 on any other click.
void CloseOnClick(TestWindow& dialog);

// Records the names of the controls reported changed, and lets a test look
// at a control's state at that moment.
class CountingHost : public WindowHost {
 public:
  void WindowChanged(WindowImplBase&) override {}
  void WindowDestroyed(WindowImplBase&) override {}
  void ControlChanged(CControlUI& control) override {
    changed.push_back(control.GetName());
    if (on_changed) on_changed(control);
  }
  void ChildrenChanged(CContainerUI&) override {}
  void ControlDestroyed(CControlUI&) override {}
  std::vector<std::string> changed;
  std::function<void(CControlUI&)> on_changed;
};

// A manual loop, a toolkit and a window on `layout`, created by the derived fixture.
class WindowFixture : public ::testing::Test {
 public:
  explicit WindowFixture(std::string layout) : window(toolkit, std::move(layout)) {}

  template <typename T>
  T& Find(std::string_view name) {
    auto* control = dynamic_cast<T*>(window.GetPaintManager().FindControl(name));
    if (!control) throw std::runtime_error("no such control: " + std::string(name));
    return *control;
  }

  ManualMessageLoop loop;
  Toolkit toolkit{loop};
  TestWindow window;
};

// The test skin's panel window, created.
class ToolkitTest : public WindowFixture {
 public:
  ToolkitTest();
};

}  // namespace brontal::testing
