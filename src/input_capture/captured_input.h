#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <variant>

#include "macros/scan_code_table.h"
#include "ui/toolkit/geometry.h"

// What a capture backend saw, handed by value to the UI loop.
namespace brontal {

using CaptureClock = std::chrono::steady_clock;

struct CapturedKey {
  ScanCode key;  // as the scan code table holds it
  bool down = false;
};

enum class MouseButton : std::uint8_t { kLeft, kRight, kMiddle, kBack, kForward };

struct CapturedButton {
  MouseButton button = MouseButton::kLeft;
  bool down = false;
  // Where in our window the click happened, when the window itself reported
  // it; the system-wide backends know of no window.
  std::optional<Point> in_window;
};

using CapturedEvent = std::variant<CapturedKey, CapturedButton>;

struct CapturedInput {
  CapturedEvent event;
  CaptureClock::time_point time;  // when the capture received it
};

using CaptureSink = std::function<void(const CapturedInput&)>;

}  // namespace brontal
