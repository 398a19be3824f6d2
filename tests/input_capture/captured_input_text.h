#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "input_capture/captured_input.h"

// Captured events as short texts ("key 1e down", "key e0 1d up", "button back
// down"), so that a test compares whole sequences and shows them when they differ.
namespace brontal::test {

inline std::string Describe(const CapturedEvent& event) {
  static constexpr const char* kButtons[] = {"left", "right", "middle", "back", "forward"};
  if (const auto* key = std::get_if<CapturedKey>(&event)) {
    char code[8];
    std::snprintf(code, sizeof code, "%s%02x", key->key.extended ? "e0 " : "", key->key.code);
    return std::string("key ") + code + (key->down ? " down" : " up");
  }
  const auto& button = std::get<CapturedButton>(event);
  std::string text =
      std::string("button ") + kButtons[static_cast<int>(button.button)] + (button.down ? " down" : " up");
  if (button.in_window)
    text += " at " + std::to_string(button.in_window->x) + "," + std::to_string(button.in_window->y);
  return text;
}

}  // namespace brontal::test
