#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "macros/key_code_table.h"

// How the recorder knows a captured key: by the scan code (set 1 make code)
// and extended flag that keyboard capture reports, not by a virtual-key code.
namespace brontal {

struct ScanCode {
  std::uint8_t code;
  bool extended;
};

// Row n is key code table row n; the keys after K151 have no scan code.
inline constexpr std::size_t kScanCodeRowCount = 113;

namespace scan_code_detail {
constexpr ScanCode S(std::uint8_t code) { return {code, false}; }
constexpr ScanCode E(std::uint8_t code) { return {code, true}; }
}  // namespace scan_code_detail

inline constexpr std::array<ScanCode, kScanCodeRowCount> kScanCodeTable = [] {
  using namespace scan_code_detail;
  return std::array<ScanCode, kScanCodeRowCount>{{
      S(0x1D), S(0x2A), S(0x38), E(0x5B), E(0x1D), E(0x36), E(0x38), E(0x5C),           // 0 modifiers
      S(0x1E), S(0x30), S(0x2E), S(0x20), S(0x12), S(0x21), S(0x22), S(0x23), S(0x17),  // 8 A-I
      S(0x24), S(0x25), S(0x26), S(0x32), S(0x31), S(0x18), S(0x19), S(0x10), S(0x13),  // 17 J-R
      S(0x1F), S(0x14), S(0x16), S(0x2F), S(0x11), S(0x2D), S(0x15), S(0x2C),           // 26 S-Z
      S(0x02), S(0x03), S(0x04), S(0x05), S(0x06), S(0x07), S(0x08), S(0x09), S(0x0A),  // 34 1-9
      S(0x0B), S(0x1C), S(0x01), S(0x0E), S(0x0F), S(0x39),                             // 43 0, Enter-Space
      S(0x0C), S(0x0D), S(0x1A), S(0x1B), S(0x2B), S(0x27), S(0x28), S(0x29), S(0x33),  // 49 punctuation
      S(0x34), S(0x35), S(0x3A),                                                        // 58 . / Caps Lock
      S(0x3B), S(0x3C), S(0x3D), S(0x3E), S(0x3F), S(0x40), S(0x41), S(0x42), S(0x43),  // 61 F1-F9
      S(0x44), S(0x57), S(0x58),                                                        // 70 F10-F12
      E(0x37), S(0x46), S(0x45), E(0x52), E(0x47), E(0x49), E(0x53), E(0x4F), E(0x51),  // 73 Print Scr-Page Down
      E(0x4D), E(0x4B), E(0x50), E(0x48),                                               // 82 arrows
      E(0x45), E(0x35), S(0x37), S(0x4A), S(0x4E), E(0x1C),                             // 86 Num Lock-Num Enter
      S(0x4F), S(0x50), S(0x51), S(0x4B), S(0x4C), S(0x4D), S(0x47), S(0x48), S(0x49),  // 92 Num 1-9
      S(0x52), S(0x53), E(0x5D),                                                        // 101 Num 0, Decimal, App
      S(0x56), S(0x73), S(0x7D), S(0x7E), S(0x7B), S(0x79), S(0x70), S(0x71), S(0x72),  // 104 K45-K151
  }};
}();

// The key code table row of a captured key. The scan code is taken whole:
// capture reports a wider number, and a truncated one could name another key.
std::optional<std::size_t> KeyRowForScanCode(std::uint32_t scan_code, bool extended);

}  // namespace brontal
