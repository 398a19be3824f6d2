#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "models/product_catalog.h"

// Where the firmware keeps what. Each command addresses its own region, from
// byte 0 of that region; the host computes the addresses (index × 384 for the
// per-index key tables, group × 512 for colour tables, r × 33 or r × 128 for
// settings records).
namespace brontal::sim {

enum class MemoryRegion : std::uint8_t {
  kDeviceInfo,      // 0x03
  kParameters,      // 0x05 / 0x06: current record index at byte 0, then the settings records
  kBaseKeyTable,    // 0x07: factory actions
  kKeyTables,       // 0x08 / 0x09: one table per on-board index
  kColourTables,    // 0x0A / 0x0B: one table per custom colour group
  kLiveFrame,       // 0x12
  kMacros,          // 0x15
  kShoot,           // 0x17
  kPowerStatus,     // 0x1A
  kLedIndex,        // 0x1B
  kFnBaseTable,     // 0x25: built-in Fn actions
  kFnKeyTables,     // 0x26 / 0x27
  kHeadsetColours,  // decoded light reports: target × 39 + plane × 13 + position
};
inline constexpr std::size_t kMemoryRegionCount = 13;

inline constexpr std::size_t kDeviceInfoSize = 34;
inline constexpr std::size_t kKeyTableSize = 512;  // the largest data length
inline constexpr std::size_t kLayerStride = 384;
inline constexpr std::size_t kOnboardIndexCount = 4;
inline constexpr std::size_t kIndexedKeyTablesSize = (kOnboardIndexCount - 1) * kLayerStride + kKeyTableSize;
inline constexpr std::size_t kColourTableStride = 512;
inline constexpr std::size_t kColourGroupCount = 8;
inline constexpr std::size_t kLedIndexSize = kKeyTableSize / 3;
inline constexpr std::size_t kMacroUnitBytes = 128;
inline constexpr std::size_t kShootMemorySize = 4096;  // four patterns of up to 30 shots
inline constexpr std::size_t kPowerStatusSize = 6;

inline constexpr std::size_t kHeadsetTargets = 2;  // report byte 1: 0x22, 0x44
inline constexpr std::size_t kHeadsetPlanes = 3;   // red, green, blue
inline constexpr std::size_t kHeadsetPositions = 13;
inline constexpr std::size_t kHeadsetColoursSize = kHeadsetTargets * kHeadsetPlanes * kHeadsetPositions;

inline constexpr std::size_t kSmallParameterMemorySize = 256;  // keyboards, pad, headset

// Settings records in the parameter region.
struct RecordLayout {
  std::size_t stride;  // record r starts at r × stride
  std::size_t size;    // bytes the host reads
  std::size_t count;   // records the firmware ships
  // Record byte that the on-board switch event 0x11xx sets (families with switch events).
  std::optional<std::size_t> switch_byte;
};
// Keyboard records overlap by one byte: record r's byte 0 is record r−1's byte 33.
inline constexpr RecordLayout kKeyboardRecord = {.stride = 33, .size = 34, .count = 4, .switch_byte = 17};
inline constexpr RecordLayout kMouseRecord = {.stride = 128, .size = 71, .count = 4, .switch_byte = 12};
// The pad and headset are read at r × 33 but written at a × 64.
inline constexpr RecordLayout kPadRecord = {.stride = 33, .size = 34, .count = 1, .switch_byte = std::nullopt};

constexpr const RecordLayout& RecordLayoutOf(ModelKind kind) {
  switch (kind) {
    case ModelKind::kKeyboard:
      return kKeyboardRecord;
    case ModelKind::kMouse:
      return kMouseRecord;
    case ModelKind::kMousePad:
    case ModelKind::kHeadset:
      return kPadRecord;
  }
  return kPadRecord;
}

using RegionSizes = std::array<std::size_t, kMemoryRegionCount>;

// A region of size 0 does not exist on that family: every access is refused.
constexpr RegionSizes RegionSizesOf(ModelKind kind, std::uint8_t macro_units) {
  RegionSizes sizes{};
  auto set = [&sizes](MemoryRegion region, std::size_t size) { sizes[static_cast<std::size_t>(region)] = size; };
  set(MemoryRegion::kDeviceInfo, kDeviceInfoSize);
  set(MemoryRegion::kPowerStatus, kPowerStatusSize);
  set(MemoryRegion::kMacros, kMacroUnitBytes * macro_units);
  switch (kind) {
    case ModelKind::kKeyboard:
      set(MemoryRegion::kParameters, kSmallParameterMemorySize);
      set(MemoryRegion::kBaseKeyTable, kKeyTableSize);
      set(MemoryRegion::kKeyTables, kIndexedKeyTablesSize);
      set(MemoryRegion::kColourTables, kColourGroupCount * kColourTableStride);
      set(MemoryRegion::kLiveFrame, kKeyTableSize);
      set(MemoryRegion::kLedIndex, kLedIndexSize);
      set(MemoryRegion::kFnBaseTable, kKeyTableSize);
      set(MemoryRegion::kFnKeyTables, kIndexedKeyTablesSize);
      break;
    case ModelKind::kMouse:
      set(MemoryRegion::kParameters, kOnboardIndexCount * kMouseRecord.stride);
      set(MemoryRegion::kBaseKeyTable, kKeyTableSize);
      set(MemoryRegion::kKeyTables, kIndexedKeyTablesSize);
      set(MemoryRegion::kShoot, kShootMemorySize);
      break;
    case ModelKind::kMousePad:
      set(MemoryRegion::kParameters, kSmallParameterMemorySize);
      break;
    case ModelKind::kHeadset:
      set(MemoryRegion::kParameters, kSmallParameterMemorySize);
      set(MemoryRegion::kHeadsetColours, kHeadsetColoursSize);
      break;
  }
  return sizes;
}

}  // namespace brontal::sim
