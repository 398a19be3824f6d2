#include "models/factory_image.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "devices/key_action_tables.h"
#include "models/factory_fn_layer.h"

namespace brontal::sim {
namespace {

using Bytes = std::span<std::uint8_t>;

void PutLe16(Bytes bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Bytes the host never interprets but must carry through unchanged carry
// non-zero values, so a host that clobbers them is caught.
constexpr std::uint8_t kOpaqueFill = 0x5A;

// Every family's record starts with the same lighting fields.
void PutFactoryLighting(std::span<std::uint8_t> record) {
  record[1] = 0x01;  // mode code
  record[2] = 4;     // brightness
  record[3] = 2;     // speed, inverted
  record[5] = 1;     // multicolour
}

std::array<std::uint8_t, kKeyboardRecord.size> KeyboardRecord() {
  std::array<std::uint8_t, kKeyboardRecord.size> record{};
  PutFactoryLighting(record);
  record[6] = record[7] = record[8] = 0xFF;
  for (std::size_t i : {9, 10, 11, 12, 13, 14, 15, 23, 24, 26, 28, 29, 30, 31, 32}) record[i] = kOpaqueFill;
  record[22] = 3;  // polling rate: the fastest option
  return record;
}

std::array<std::uint8_t, kMouseRecord.size> MouseRecord() {
  struct Stage {
    std::uint16_t value;
    std::uint8_t red, green, blue;
  };
  constexpr std::array<Stage, 5> kStages = {{
      {4, 0xFF, 0x00, 0x00}, {9, 0x00, 0xFF, 0x00}, {15, 0x00, 0x00, 0xFF}, {31, 0xFF, 0xFF, 0x00}, {48, 0xFF, 0xFF, 0xFF},
  }};
  std::array<std::uint8_t, kMouseRecord.size> record{};
  PutFactoryLighting(record);
  record[6] = 0xFF;  // red
  record[11] = 4;    // report rate: the fastest option
  record[12] = 1;    // active DPI stage
  for (std::size_t i = 0; i < kStages.size(); ++i) {
    const std::size_t at = 14 + 9 * i;
    record[at] = 1;  // enabled
    PutLe16(record, at + 2, kStages[i].value);
    PutLe16(record, at + 4, kStages[i].value);
    record[at + 6] = kStages[i].red;
    record[at + 7] = kStages[i].green;
    record[at + 8] = kStages[i].blue;
  }
  record[59] = 1;
  PutLe16(record, 60, 1920);
  PutLe16(record, 62, 1080);
  std::fill(record.begin() + 66, record.end(), kOpaqueFill);
  return record;
}

std::array<std::uint8_t, kPadRecord.size> PadRecord() {
  std::array<std::uint8_t, kPadRecord.size> record{};
  PutFactoryLighting(record);
  record[8] = 0xFF;  // blue
  std::fill(record.begin() + 9, record.end(), kOpaqueFill);
  return record;
}

void WriteRecords(DeviceMemory& memory, const RecordLayout& layout, std::span<const std::uint8_t> record) {
  // Ascending, so that where records overlap each record's own index byte wins.
  for (std::size_t r = 0; r < layout.count; ++r) {
    Bytes target = memory.Bytes(MemoryRegion::kParameters).subspan(r * layout.stride, record.size());
    std::copy(record.begin(), record.end(), target.begin());
    target[0] = static_cast<std::uint8_t>(r);
  }
}

void WriteRecords(DeviceMemory& memory, ModelKind kind) {
  switch (kind) {
    case ModelKind::kKeyboard:
      return WriteRecords(memory, kKeyboardRecord, KeyboardRecord());
    case ModelKind::kMouse:
      return WriteRecords(memory, kMouseRecord, MouseRecord());
    case ModelKind::kMousePad:
    case ModelKind::kHeadset:
      return WriteRecords(memory, kPadRecord, PadRecord());
  }
}

void WriteDeviceInfo(Bytes info, const ModelTraits& traits) {
  info[5] = static_cast<std::uint8_t>(traits.slot_keys.size());
  info[6] = traits.macro_units;
  PutLe16(info, 9, traits.sensor.sensor_code);
  info[11] = traits.sensor.dpi_step;
  PutLe16(info, 12, traits.sensor.largest_stage);
  PutLe16(info, 14, traits.sensor.base_dpi);
}

// One table per on-board index, each starting as the given table.
void CopyPerIndex(Bytes indexed_tables, std::span<const std::uint8_t> table) {
  for (std::size_t i = 0; i < kOnboardIndexCount; ++i)
    std::copy(table.begin(), table.end(), indexed_tables.begin() + static_cast<std::ptrdiff_t>(i * kLayerStride));
}

void WriteKeyTables(DeviceMemory& memory, ModelKind kind, const ModelTraits& traits) {
  const std::span<const KeyAction> actions =
      kind == ModelKind::kMouse ? std::span<const KeyAction>(kMouseButtonActions) : kLogicalKeyActions;
  const std::size_t used = traits.slot_keys.size() * 3;
  Bytes base = memory.Bytes(MemoryRegion::kBaseKeyTable);
  for (std::size_t s = 0; s < traits.slot_keys.size(); ++s) {
    if (traits.slot_keys[s] == kNoKey) continue;
    const KeyAction& action = actions[traits.slot_keys[s]];
    std::copy(action.begin(), action.end(), base.begin() + static_cast<std::ptrdiff_t>(3 * s));
  }
  CopyPerIndex(memory.Bytes(MemoryRegion::kKeyTables), base.first(used));
}

void WriteKeyboardTables(DeviceMemory& memory, const ModelTraits& traits) {
  Bytes leds = memory.Bytes(MemoryRegion::kLedIndex);
  std::fill(leds.begin(), leds.end(), kNoLed);
  std::copy(traits.slot_leds.begin(), traits.slot_leds.end(), leds.begin());

  Bytes fn = memory.Bytes(MemoryRegion::kFnBaseTable);
  for (std::size_t s = 0; s < traits.slot_keys.size(); ++s) {
    const auto it = std::find_if(kFnLayerActions.begin(), kFnLayerActions.end(),
                                 [&](const FnLayerAction& a) { return a.logical_key == traits.slot_keys[s]; });
    if (it != kFnLayerActions.end())
      std::copy(it->action.begin(), it->action.end(), fn.begin() + static_cast<std::ptrdiff_t>(3 * s));
  }
  CopyPerIndex(memory.Bytes(MemoryRegion::kFnKeyTables), fn.first(traits.slot_keys.size() * 3));
}

void WritePowerStatus(Bytes status, ModelKind kind) {
  // Battery families start on battery power; the pad and headset are bus powered.
  if (kind == ModelKind::kKeyboard || kind == ModelKind::kMouse) {
    status[0] = 80;  // percent
    status[1] = 2;   // on battery
  }
}

}  // namespace

DeviceMemory BuildFactoryMemory(ModelKind kind, const ModelTraits& traits) {
  DeviceMemory memory(RegionSizesOf(kind, traits.macro_units));
  WriteDeviceInfo(memory.Bytes(MemoryRegion::kDeviceInfo), traits);
  WriteRecords(memory, kind);
  WritePowerStatus(memory.Bytes(MemoryRegion::kPowerStatus), kind);
  if (kind == ModelKind::kKeyboard || kind == ModelKind::kMouse) WriteKeyTables(memory, kind, traits);
  if (kind == ModelKind::kKeyboard) WriteKeyboardTables(memory, traits);
  return memory;
}

}  // namespace brontal::sim
