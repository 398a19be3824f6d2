#include "devices/mouse/mouse_wire.h"

#include <algorithm>

namespace brontal::mouse {
namespace {

constexpr int kLowerRangeTop = 48;  // the two-range sensor's last stage value at its own step
constexpr int kUpperRangeStep = 200;
constexpr int kUpperRangeFrom = 5000;

constexpr std::size_t kStageBytes = 9;
constexpr std::size_t kFirstStage = 14;

void PutWord(SettingsRecord& record, std::size_t at, std::uint16_t value) {
  record[at] = static_cast<std::uint8_t>(value & 0xFF);
  record[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint8_t ModeCode(std::uint8_t mode_index, std::span<const int> mode_codes) {
  if (mode_codes.empty()) return 0;
  const std::size_t index = mode_index > kLastModeIndex || mode_index >= mode_codes.size() ? 0 : mode_index;
  return static_cast<std::uint8_t>(mode_codes[index]);
}

}  // namespace

int ShownDpi(const DpiScale& scale, int stage_value) {
  if (scale.sensor == kTwoRangeSensor && stage_value > kLowerRangeTop)
    return scale.step * kLowerRangeTop + (stage_value - kLowerRangeTop) * kUpperRangeStep + scale.base;
  return scale.step * stage_value + scale.base;
}

std::uint16_t StageValueOf(const DpiScale& scale, int dpi) {
  dpi = std::max(dpi, int{scale.base});
  int value = 0;
  if (scale.sensor == kTwoRangeSensor && dpi > kUpperRangeFrom)
    value = (dpi - scale.base - kUpperRangeFrom) / kUpperRangeStep + kLowerRangeTop;
  else if (scale.step != 0)  // a failed information read leaves the step 0
    value = (dpi - scale.base) / scale.step;
  return static_cast<std::uint16_t>(std::clamp(value, 0, int{scale.largest}));
}

ButtonSlots BuildButtonSlots(std::span<const std::uint8_t> base_table, std::size_t slot_count) {
  ButtonSlots slots;
  slots.fill(kNoSlot);
  const std::size_t slots_read = std::min(slot_count, base_table.size() / 3);
  for (std::size_t button = 0; button < kMouseButtonCount; ++button) {
    const KeyAction& action = kMouseButtonActions[button];
    for (std::size_t s = 0; s < slots_read && s < kNoSlot; ++s) {
      if (std::equal(action.begin(), action.end(), base_table.begin() + static_cast<std::ptrdiff_t>(3 * s))) {
        slots[button] = static_cast<std::uint8_t>(s);
        break;
      }
    }
  }
  return slots;
}

keyboard::KeyMaps ButtonKeyMaps(const ButtonSlots& slots) {
  keyboard::KeyMaps maps{};
  maps.slot.fill(keyboard::kNoSlot);
  maps.led.fill(keyboard::kNoLed);
  maps.fn_slot.fill(keyboard::kNoSlot);
  for (std::size_t button = 0; button < slots.size(); ++button)
    if (slots[button] != kNoSlot) maps.slot[button] = slots[button];
  return maps;
}

SettingsRecord EncodeSettings(const RecordFields& fields, std::span<const int> mode_codes) {
  SettingsRecord record{};
  const LightSetting& light = fields.light;
  record[0] = fields.record_value;
  record[1] = ModeCode(light.select_item, mode_codes);
  record[2] = light.light;
  record[3] = static_cast<std::uint8_t>(4 - std::min<int>(light.speed, 4));
  record[4] = light.fx;
  record[5] = light.multi_color;
  record[6] = light.red;
  record[7] = light.green;
  record[8] = light.blue;
  record[11] = static_cast<std::uint8_t>(fields.system.report_rate);
  record[12] = fields.active_stage;
  for (std::size_t i = 0; i < std::min(fields.stages.size(), kStageCount); ++i) {
    const DpiStage& stage = fields.stages[i];
    const std::size_t at = kFirstStage + kStageBytes * i;
    record[at] = stage.enabled;
    record[at + 1] = stage.separate_xy;
    PutWord(record, at + 2, stage.dpi_x);
    PutWord(record, at + 4, stage.dpi_y);
    record[at + 6] = stage.red;
    record[at + 7] = stage.green;
    record[at + 8] = stage.blue;
  }
  record[59] = fields.flag;
  PutWord(record, 60, fields.screen_width);
  PutWord(record, 62, fields.screen_height);
  const auto chosen = std::ranges::find_if(fields.corrections, [](const auto& c) { return c.select != 0; });
  if (chosen != fields.corrections.end()) {
    record[64] = chosen->min_sq;
    record[65] = chosen->pix_thresh;
  }
  return record;
}

DecodedSettings DecodeSettings(SettingsRecord& raw, std::span<const int> mode_codes, const LightSetting& base) {
  const auto known = std::ranges::find(mode_codes, int{raw[1]});
  if (known != mode_codes.end()) raw[1] = static_cast<std::uint8_t>(known - mode_codes.begin());
  raw[9] = 0;
  DecodedSettings decoded;
  decoded.record_index = raw[0];
  decoded.light = base;
  decoded.light.select_item = raw[1];
  decoded.light.light = raw[2];
  decoded.light.speed = static_cast<std::uint8_t>(4 - std::min<int>(raw[3], 4));
  decoded.light.multi_color = raw[5];
  decoded.light.red = raw[6];
  decoded.light.green = raw[7];
  decoded.light.blue = raw[8];
  decoded.active_stage = raw[12];
  return decoded;
}

MouseEvent ClassifyEvent(std::uint16_t code) {
  if (code == 0x0401 || code == 0x0402) return {MouseEvent::Kind::kSyncRequest, 0, std::nullopt};
  if (code == 0x0403) return {MouseEvent::Kind::kClick, 0, std::nullopt};
  const std::uint8_t high = static_cast<std::uint8_t>(code >> 8);
  if (code > 0x0403 && (high == 0x10 || high == 0x11)) {
    const auto index = static_cast<std::uint8_t>(code & 0x0F);
    if (high == 0x10) return {MouseEvent::Kind::kIndexSwitch, index, std::nullopt};
    return {MouseEvent::Kind::kIndexSwitch, index, static_cast<std::uint8_t>((code >> 4) & 0x0F)};
  }
  return {};
}

}  // namespace brontal::mouse
