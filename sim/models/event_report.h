#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Device notifications: one 16-bit consumer usage in the input report of the
// consumer-control collection.
namespace brontal::sim {

namespace event_code {
inline constexpr std::uint16_t kSyncRequest = 0x0401;
inline constexpr std::uint16_t kClick = 0x0403;
inline constexpr std::uint16_t kHeartbeat = 0x0404;
inline constexpr std::uint16_t kKeyPressBase = 0x0500;    // + key slot
inline constexpr std::uint16_t kKeyReleaseBase = 0x0600;  // + key slot
inline constexpr std::uint16_t kIndexSwitchBase = 0x1000;          // + index
inline constexpr std::uint16_t kIndexSwitchWithValueBase = 0x1100;  // + (value << 4) + index
}  // namespace event_code

std::vector<std::uint8_t> BuildEventReport(std::uint8_t report_id, std::uint16_t code);

// The on-board index switch that an event announces.
struct IndexSwitch {
  std::uint8_t index = 0;
  std::optional<std::uint8_t> value;  // 0x11xx: bits 4..7, a value for the new record
};
std::optional<IndexSwitch> DecodeIndexSwitch(std::uint16_t code);

}  // namespace brontal::sim
