#include "input_capture/evdev_translation.h"

#include "input_capture/evdev_key_table.h"

namespace brontal {
namespace {

// Key values: a release, a press, and the auto-repeat that is dropped.
constexpr std::int32_t kRelease = 0;
constexpr std::int32_t kPress = 1;

std::optional<MouseButton> ButtonForEvdevCode(std::uint16_t code) {
  switch (code) {
    case BTN_LEFT: return MouseButton::kLeft;
    case BTN_RIGHT: return MouseButton::kRight;
    case BTN_MIDDLE: return MouseButton::kMiddle;
    case BTN_SIDE:
    case BTN_BACK: return MouseButton::kBack;
    case BTN_EXTRA:
    case BTN_FORWARD: return MouseButton::kForward;
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<CapturedEvent> EvdevTranslator::Translate(const input_event& event) {
  if (event.type == EV_SYN) {
    if (event.code == SYN_DROPPED) skipping_report_ = true;
    if (event.code == SYN_REPORT) skipping_report_ = false;
    return std::nullopt;
  }
  if (skipping_report_ || event.type != EV_KEY || (event.value != kPress && event.value != kRelease))
    return std::nullopt;
  const bool down = event.value == kPress;
  if (const std::optional<MouseButton> button = ButtonForEvdevCode(event.code))
    return CapturedButton{.button = *button, .down = down, .in_window = std::nullopt};
  if (const std::optional<ScanCode> key = ScanCodeForEvdevKey(event.code))
    return CapturedKey{.key = *key, .down = down};
  return std::nullopt;
}

}  // namespace brontal
