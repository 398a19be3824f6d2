#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "device_access/command_codes.h"
#include "models/memory_layout.h"

namespace brontal::sim {

// Answer of command 0xAA in payload byte 0 while the wireless device is reachable.
inline constexpr std::uint8_t kLinkUp = 0xFF;

enum class Access : std::uint8_t { kRead, kWrite };

struct MemoryCommand {
  std::uint8_t code;
  MemoryRegion region;
  Access access;
};

// Every command that reads or writes device memory.
inline constexpr std::array<MemoryCommand, 16> kMemoryCommands = {{
    {0x03, MemoryRegion::kDeviceInfo, Access::kRead},
    {0x05, MemoryRegion::kParameters, Access::kRead},
    {0x06, MemoryRegion::kParameters, Access::kWrite},
    {0x07, MemoryRegion::kBaseKeyTable, Access::kRead},
    {0x08, MemoryRegion::kKeyTables, Access::kRead},
    {0x09, MemoryRegion::kKeyTables, Access::kWrite},
    {0x0A, MemoryRegion::kColourTables, Access::kRead},
    {0x0B, MemoryRegion::kColourTables, Access::kWrite},
    {0x12, MemoryRegion::kLiveFrame, Access::kWrite},
    {0x15, MemoryRegion::kMacros, Access::kWrite},
    {0x17, MemoryRegion::kShoot, Access::kWrite},
    {0x1A, MemoryRegion::kPowerStatus, Access::kRead},
    {0x1B, MemoryRegion::kLedIndex, Access::kRead},
    {0x25, MemoryRegion::kFnBaseTable, Access::kRead},
    {0x26, MemoryRegion::kFnKeyTables, Access::kRead},
    {0x27, MemoryRegion::kFnKeyTables, Access::kWrite},
}};

constexpr const MemoryCommand* FindMemoryCommand(std::uint8_t code) {
  const auto it = std::find_if(kMemoryCommands.begin(), kMemoryCommands.end(),
                               [code](const MemoryCommand& c) { return c.code == code; });
  return it == kMemoryCommands.end() ? nullptr : &*it;
}

}  // namespace brontal::sim
