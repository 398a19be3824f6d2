#pragma once

#include <linux/input.h>

#include <optional>

#include "input_capture/captured_input.h"

namespace brontal {

// Turns one device's evdev events into captured keys and buttons: presses and
// releases of the scan code table's keys and of the five mouse buttons.
// Auto-repeat, movement, the wheel and everything else are left out, and so is
// the rest of a report the kernel lost events from.
class EvdevTranslator {
 public:
  std::optional<CapturedEvent> Translate(const input_event& event);

 private:
  bool skipping_report_ = false;  // after SYN_DROPPED, until the report ends
};

}  // namespace brontal
