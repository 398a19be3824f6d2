#pragma once

#include <json/json.h>

#include <cstdint>

// One step of a macro, stored as the JSON object
//   {"Action": "down" | "up", "Button": 0..255, "Delay": "50", "Type": 10}
// in macro files and in the editor's rows.
namespace brontal {

// "Type". 2 and 3 occur in old files and are kept, though nothing makes them.
namespace macro_event_type {
inline constexpr int kMouseButton = 1;
inline constexpr int kHorizontalMove = 4;  // "down" left, "up" right
inline constexpr int kVerticalMove = 5;    // "down" up, "up" down
inline constexpr int kModifierKey = 9;     // "Button" is the modifier bit
inline constexpr int kKey = 10;            // "Button" is the HID keyboard usage
}  // namespace macro_event_type

struct MacroEvent {
  int type = 0;
  // Key usage, modifier bit, button mask or movement distance: a movement's
  // direction lies in `down`, never in a sign.
  std::uint8_t button = 0;
  bool down = false;  // "Action": every text but "down" reads as "up"
  // Milliseconds to wait after the event, as the file holds it: the device
  // plays the low 16 bits, and only what the user types is clamped.
  std::int64_t delay = 0;
  // The object the event was read from, when it says more than the members
  // above do (another program's members, "Button" above 255, an "Action" of
  // another text), so that a save does not lose it. Null for events made
  // here and for those read as our writers write them.
  Json::Value source{};

  bool operator==(const MacroEvent&) const = default;
};

// The delay as the editor shows it: the file's value, above 65534 shown as 65535.
inline std::int64_t ShownMacroDelay(std::int64_t delay) { return delay > 65534 ? 65535 : delay; }

// Whatever the value holds: members of the wrong kind read as 0 or "up",
// "Button" keeps its low 8 bits (as the device image does).
MacroEvent MacroEventFromJson(const Json::Value& value);

// The event's source with the members changed since it was read; "Delay"
// always as decimal text, the form every reader accepts.
Json::Value MacroEventToJson(const MacroEvent& event);

// Whether a file brought in from elsewhere holds an event as our writers make
// them: a known "Type", "Button" 0..255, "Action" "down" or "up", and "Delay"
// 0..65535 as a number or as decimal digits.
bool IsWellFormedMacroEvent(const Json::Value& value);

// A "Delay" given as text or as a number, unclamped. Text counts by its
// leading decimal number (blanks and a sign allowed before it), so "12ms" is
// 12 and text without one is 0; numbers beyond 64 bits saturate.
std::int64_t ReadMacroDelay(const Json::Value& value);

}  // namespace brontal
