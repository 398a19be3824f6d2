#pragma once

#include "devices/interface_table.h"

namespace brontal {

// What brontalctl calls a product of this type in its output.
inline const char* KindName(DeviceType type) {
  switch (type) {
    case DeviceType::kKeyboardWired:
    case DeviceType::kKeyboardReceiver: return "keyboard";
    case DeviceType::kMouseWired:
    case DeviceType::kMouseReceiver: return "mouse";
    case DeviceType::kMousePad: return "mouse pad";
    case DeviceType::kHeadset: return "headset";
  }
  return "device";
}

}  // namespace brontal
