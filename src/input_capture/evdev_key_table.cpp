#include "input_capture/evdev_key_table.h"

#include <linux/input-event-codes.h>

#include <algorithm>

namespace brontal {

// What a USB keyboard's key arrives as: the HID usage of the key code table
// row, as the kernel's HID layer turns it into a key code.
const std::array<std::uint16_t, kScanCodeRowCount> kEvdevKeyCodes = {
    KEY_LEFTCTRL,  KEY_LEFTSHIFT,  KEY_LEFTALT,
    KEY_LEFTMETA,  KEY_RIGHTCTRL,  KEY_RIGHTSHIFT,
    KEY_RIGHTALT,  KEY_RIGHTMETA,  KEY_A,
    KEY_B,         KEY_C,          KEY_D,
    KEY_E,         KEY_F,          KEY_G,
    KEY_H,         KEY_I,          KEY_J,
    KEY_K,         KEY_L,          KEY_M,
    KEY_N,         KEY_O,          KEY_P,
    KEY_Q,         KEY_R,          KEY_S,
    KEY_T,         KEY_U,          KEY_V,
    KEY_W,         KEY_X,          KEY_Y,
    KEY_Z,         KEY_1,          KEY_2,
    KEY_3,         KEY_4,          KEY_5,
    KEY_6,         KEY_7,          KEY_8,
    KEY_9,         KEY_0,          KEY_ENTER,
    KEY_ESC,       KEY_BACKSPACE,  KEY_TAB,
    KEY_SPACE,     KEY_MINUS,      KEY_EQUAL,
    KEY_LEFTBRACE, KEY_RIGHTBRACE, KEY_BACKSLASH,
    KEY_SEMICOLON, KEY_APOSTROPHE, KEY_GRAVE,
    KEY_COMMA,     KEY_DOT,        KEY_SLASH,
    KEY_CAPSLOCK,  KEY_F1,         KEY_F2,
    KEY_F3,        KEY_F4,         KEY_F5,
    KEY_F6,        KEY_F7,         KEY_F8,
    KEY_F9,        KEY_F10,        KEY_F11,
    KEY_F12,       KEY_SYSRQ,      KEY_SCROLLLOCK,
    KEY_PAUSE,     KEY_INSERT,     KEY_HOME,
    KEY_PAGEUP,    KEY_DELETE,     KEY_END,
    KEY_PAGEDOWN,  KEY_RIGHT,      KEY_LEFT,
    KEY_DOWN,      KEY_UP,         KEY_NUMLOCK,
    KEY_KPSLASH,   KEY_KPASTERISK, KEY_KPMINUS,
    KEY_KPPLUS,    KEY_KPENTER,    KEY_KP1,
    KEY_KP2,       KEY_KP3,        KEY_KP4,
    KEY_KP5,       KEY_KP6,        KEY_KP7,
    KEY_KP8,       KEY_KP9,        KEY_KP0,
    KEY_KPDOT,     KEY_COMPOSE,    KEY_102ND,
    KEY_RO,        KEY_YEN,        KEY_KPCOMMA,
    KEY_MUHENKAN,  KEY_HENKAN,     KEY_KATAKANAHIRAGANA,
    KEY_HANJA,     KEY_HANGEUL,
};

std::optional<ScanCode> ScanCodeForEvdevKey(std::uint32_t evdev_code) {
  const auto row = std::ranges::find(kEvdevKeyCodes, evdev_code);
  if (row == kEvdevKeyCodes.end()) return std::nullopt;
  return kScanCodeTable[static_cast<std::size_t>(row - kEvdevKeyCodes.begin())];
}

}  // namespace brontal
