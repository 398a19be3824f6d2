#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "devices/device_info_block.h"
#include "devices/key_action_tables.h"
#include "devices/keyboard/keyboard_wire.h"
#include "profiles/profile_records.h"

// The mouse's wire formats as pure functions over bytes: its settings record,
// its DPI scale, where its buttons sit in its key table, and its events.
namespace brontal::mouse {

inline constexpr std::size_t kRecordSize = 71;
inline constexpr std::size_t kWrittenBytes = 66;  // bytes 66..70 are the device's own
inline constexpr std::uint32_t kRecordStride = 128;
inline constexpr std::uint8_t kNoSlot = 170;  // the mouse lacks the button
inline constexpr std::size_t kStageCount = 5;
inline constexpr std::size_t kReportRateCount = 5;
inline constexpr std::uint16_t kTwoRangeSensor = 0x3325;
inline constexpr std::uint8_t kLastModeIndex = 11;

using SettingsRecord = std::array<std::uint8_t, kRecordSize>;
using ButtonSlots = std::array<std::uint8_t, kMouseButtonCount>;

// The sensor fields of the device information.
struct DpiScale {
  std::uint16_t sensor = 0;
  std::uint8_t step = 0;
  std::uint16_t largest = 0;  // the largest stage value
  std::uint16_t base = 0;     // the DPI of stage value 0

  static DpiScale Of(const DeviceInfoBlock& info) {
    return {info.sensor_code(), info.dpi_step(), info.largest_stage_value(), info.base_dpi()};
  }
  // What the DPI edits accept.
  int LargestEntry() const { return int{largest} * step; }
};

// The DPI a stage value shows.
int ShownDpi(const DpiScale& scale, int stage_value);
// An entered DPI as a stage value, within 0..largest. The two conversions are
// not each other's inverse on the upper range of the two-range sensor, which
// counts from 5000 rather than from where its lower range ends.
std::uint16_t StageValueOf(const DpiScale& scale, int dpi);

// Each logical button's slot: the first slot of the base table holding the
// button's factory action; kNoSlot where none does. Every button gets an
// entry whatever the slot count, so that a missing button is never written
// over slot 0.
ButtonSlots BuildButtonSlots(std::span<const std::uint8_t> base_table, std::size_t slot_count);

// The slot map in the keyboard's form, so that the mouse's key table goes
// through the same macro numbering.
keyboard::KeyMaps ButtonKeyMaps(const ButtonSlots& slots);

// What the host sends, built from zeros.
struct RecordFields {
  LightSetting light;
  MouseSystem system;
  std::uint8_t active_stage = 0;
  std::span<const DpiStage> stages;  // the first five count
  std::span<const SurfaceCorrection> corrections;
  std::uint8_t record_value = 0;
  std::uint8_t flag = 1;
  std::uint16_t screen_width = 0;
  std::uint16_t screen_height = 0;
};
SettingsRecord EncodeSettings(const RecordFields& fields, std::span<const int> mode_codes);

struct DecodedSettings {
  std::uint8_t record_index = 0;
  LightSetting light;  // mode index, brightness, speed, multicolour, colour over the base
  std::uint8_t active_stage = 0;
};
// `raw` as read, byte 0 the record index; rewritten as the device object
// keeps it: byte 1 the mode index when its code is in the list, byte 9 zero.
DecodedSettings DecodeSettings(SettingsRecord& raw, std::span<const int> mode_codes, const LightSetting& base);

struct MouseEvent {
  enum class Kind { kSyncRequest, kClick, kIndexSwitch, kIgnored };
  Kind kind = Kind::kIgnored;
  std::uint8_t index = 0;                    // index switch: the record index
  std::optional<std::uint8_t> active_stage;  // 0x11xx: the new active DPI stage
};
MouseEvent ClassifyEvent(std::uint16_t code);

}  // namespace brontal::mouse
