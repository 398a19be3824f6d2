#pragma once

#include <linux/input.h>

#include <cstdint>
#include <vector>

// Pieces of the event stream an evdev node delivers.
namespace brontal::test {

inline input_event Event(std::uint16_t type, std::uint16_t code, std::int32_t value) {
  input_event event{};
  event.type = type;
  event.code = code;
  event.value = value;
  return event;
}

inline input_event Report() { return Event(EV_SYN, SYN_REPORT, 0); }

// What a keyboard sends for one key: its scan report, the key, the report's end.
inline std::vector<input_event> KeyFrame(std::uint16_t code, std::int32_t value, std::int32_t usage) {
  return {Event(EV_MSC, MSC_SCAN, usage), Event(EV_KEY, code, value), Report()};
}

inline std::vector<input_event> MotionFrame(std::int32_t dx, std::int32_t dy) {
  return {Event(EV_REL, REL_X, dx), Event(EV_REL, REL_Y, dy), Report()};
}

inline std::vector<input_event> Concat(std::initializer_list<std::vector<input_event>> parts) {
  std::vector<input_event> all;
  for (const std::vector<input_event>& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace brontal::test
