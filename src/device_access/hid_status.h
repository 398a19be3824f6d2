#pragma once

#include <cstdint>

namespace brontal {

// Status codes of report decoding, with the values the HID parser of the
// original platform uses, so that stored statuses compare the same.
enum class HidStatus : std::uint32_t {
  kSuccess = 0x00110000,
  kNull = 0x80110001,
  kInvalidReportLength = 0xC0110003,
  kUsageNotFound = 0xC0110004,
  kValueOutOfRange = 0xC0110005,
  kBadLogPhyValues = 0xC0110006,
  kBufferTooSmall = 0xC0110007,
  kIncompatibleReportId = 0xC011000A,
};

}  // namespace brontal
