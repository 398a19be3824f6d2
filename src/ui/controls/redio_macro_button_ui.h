#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "ui/toolkit/button.h"
#include "ui/toolkit/geometry.h"

namespace brontal {

// The macro panel's start and stop buttons. The stop button tells where the
// pointer is while it is over the button: the system-wide captures report
// clicks without a place (and Wayland gives no screen coordinates), so the
// recorder learns this way that a left click was the one on the stop button.
//
// Layout attribute "redioimage": an image name, kept like any other.
class CRedioMacroButtonUI : public CButtonUI {
 public:
  static constexpr std::string_view kClassName = "RedioMacroButton";

  std::string_view GetClass() const override { return kClassName; }

  // The pointer's place in window coordinates while over the button; nullopt
  // once it has left.
  std::function<void(std::optional<Point>)> on_pointer;

 protected:
  void DoEvent(TEventUI& event) override;
};

}  // namespace brontal
