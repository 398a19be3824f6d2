#pragma once

#include <cstdint>

#include "ui/toolkit/geometry.h"

namespace brontal {

class CControlUI;

enum class UiEventType {
  kMouseEnter,
  kMouseLeave,
  kMouseMove,
  kButtonDown,
  kButtonUp,
  kDblClick,
  kSetFocus,
  kKillFocus,
  kTimer,  // wparam: the timer's id
};

// Input delivered to one control, by the view (pointer and focus) or by the
// paint manager (timers). The point is in window coordinates, like GetPos().
struct TEventUI {
  explicit TEventUI(UiEventType event_type, Point at = {}, std::uintptr_t w = 0, std::intptr_t l = 0)
      : type(event_type), mouse(at), wparam(w), lparam(l) {}

  UiEventType type;
  CControlUI* sender = nullptr;
  Point mouse;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

}  // namespace brontal
