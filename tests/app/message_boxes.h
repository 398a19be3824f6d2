#pragma once

#include <set>
#include <string>
#include <vector>

#include "ui/toolkit/button.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"
#include "ui/toolkit/window_host.h"

namespace brontal {

// Answers the message boxes as they open with `answers` in turn, keeping the
// text of each; a box nobody expected is closed unanswered.
class MessageBoxes : public WindowHost {
 public:
  explicit MessageBoxes(Toolkit& toolkit) : toolkit_(toolkit) { toolkit_.SetHost(this); }
  ~MessageBoxes() override { toolkit_.SetHost(nullptr); }

  void WindowChanged(WindowImplBase& window) override {
    if (window.GetWindowClassName() != "MsgWnd" || !window.IsModal() || !open_.insert(&window).second) return;
    toolkit_.Loop().Post([this, &window] {
      if (!open_.contains(&window)) return;
      asked.push_back(window.GetPaintManager().FindControl("MessageText")->GetText());
      if (answers.empty()) return window.Close(0);
      const std::string answer = answers.front();
      answers.erase(answers.begin());
      dynamic_cast<CButtonUI&>(*window.GetPaintManager().FindControl(answer)).Activate();
    });
  }
  void WindowDestroyed(WindowImplBase& window) override { open_.erase(&window); }
  void ControlChanged(CControlUI&) override {}
  void ChildrenChanged(CContainerUI&) override {}
  void ControlDestroyed(CControlUI&) override {}

  std::vector<std::string> answers;  // "confirm_btn" or "cancel_btn"
  std::vector<std::string> asked;

 private:
  Toolkit& toolkit_;
  std::set<const WindowImplBase*> open_;
};

}  // namespace brontal
