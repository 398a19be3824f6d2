#include "devices/keyboard/keyboard_wire.h"

#include <algorithm>
#include <bitset>

#include "macros/macro_image.h"

namespace brontal::keyboard {

namespace {

// Settings record bytes.
constexpr std::size_t kIndexByte = 0;
constexpr std::size_t kModeByte = 1;
constexpr std::size_t kBrightnessByte = 2;
constexpr std::size_t kSpeedByte = 3;
constexpr std::size_t kDirectionByte = 4;
constexpr std::size_t kMultiColourByte = 5;
constexpr std::size_t kRedByte = 6;
constexpr std::size_t kGreenByte = 7;
constexpr std::size_t kBlueByte = 8;
constexpr std::size_t kZeroByte = 16;
constexpr std::size_t kSpecialModeByte = 18;
constexpr std::size_t kWFlagByte = 19;
constexpr std::size_t kKey6FlagByte = 20;
constexpr std::size_t kWinFlagByte = 21;
constexpr std::size_t kPollingRateByte = 22;
constexpr std::size_t kCustomGroupByte = 25;
constexpr std::size_t kOsModeByte = 27;

constexpr std::uint8_t kMaxSpeed = 4;
constexpr std::uint8_t kMacroType = 0x70;
constexpr std::uint8_t kMacroToggleType = 0x71;
constexpr std::uint8_t kNoFnAction = 0x00;
constexpr std::uint8_t kErasedFnAction = 0xFF;

constexpr std::uint16_t kSyncRequestEvent = 0x0401;
constexpr std::uint16_t kFullSyncEvent = 0x0402;
constexpr std::uint16_t kHeartbeatEvent = 0x0404;
// Event groups by high byte; the low byte is the argument.
constexpr std::uint8_t kKeyPressEvents = 0x05;
constexpr std::uint8_t kKeyReleaseEvents = 0x06;
constexpr std::uint8_t kIndexSwitchEvents = 0x10;
constexpr std::uint8_t kIndexSwitchWithByteEvents = 0x11;

// Device images may be read short; what was not read is zero.
std::uint8_t ByteAt(std::span<const std::uint8_t> bytes, std::size_t i) { return i < bytes.size() ? bytes[i] : 0; }

KeyAction ActionAt(std::span<const std::uint8_t> table, std::size_t slot) {
  return {ByteAt(table, 3 * slot), ByteAt(table, 3 * slot + 1), ByteAt(table, 3 * slot + 2)};
}

bool SlotFits(std::uint8_t slot) { return slot != kNoSlot && std::size_t{slot} * 3 + 2 < kTableSize; }

void PutAction(Table& table, std::uint8_t slot, const KeyAction& action) {
  std::copy(action.begin(), action.end(), table.begin() + std::size_t{slot} * 3);
}

std::uint8_t LedOf(const KeyMaps& maps, std::size_t key) { return key < kLogicalKeyCount ? maps.led[key] : kNoLed; }

std::uint8_t Scale(std::uint8_t component, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((unsigned{component} * alpha) >> 8);
}

std::uint8_t LowByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

Table ColourTable(std::span<const CustomColour> colours, const KeyMaps& maps, bool scaled) {
  Table table{};
  for (std::size_t key = 0; key < colours.size(); ++key) {
    const std::uint8_t led = LedOf(maps, key);
    if (!LedFits(led)) continue;
    const CustomColour& c = colours[key];
    const std::size_t at = std::size_t{led} * 3;
    table[at] = scaled ? Scale(c.red, c.alpha) : c.red;
    table[at + 1] = scaled ? Scale(c.green, c.alpha) : c.green;
    table[at + 2] = scaled ? Scale(c.blue, c.alpha) : c.blue;
  }
  return table;
}

}  // namespace

KeyMaps BuildKeyMaps(std::span<const std::uint8_t> base_table, std::span<const std::uint8_t> led_table,
                     std::span<const std::uint8_t> fn_table, std::size_t slot_count) {
  const std::size_t slots = std::min(slot_count, kMaxSlots);
  KeyMaps maps;
  maps.slot.fill(kNoSlot);
  maps.led.fill(kNoLed);
  maps.fn_slot.fill(kNoSlot);
  for (std::size_t key = 0; key < kLogicalKeyCount; ++key) {
    for (std::size_t s = 0; s < slots; ++s) {
      if (ActionAt(base_table, s) != kLogicalKeyActions[key]) continue;
      maps.slot[key] = static_cast<std::uint8_t>(s);
      maps.led[key] = ByteAt(led_table, s);
      break;
    }
  }
  for (std::size_t key = 0; key < kLogicalKeyCount; ++key) {
    const std::uint8_t s = maps.slot[key];
    if (s == kNoSlot) continue;
    const std::uint8_t type = ByteAt(fn_table, std::size_t{s} * 3);
    if (type == kNoFnAction || type == kErasedFnAction) continue;
    maps.fn_keys.push_back(static_cast<std::uint8_t>(key));
    maps.fn_slot[key] = s;
  }
  return maps;
}

std::optional<std::uint8_t> LogicalKeyOfSlot(const KeyMaps& maps, std::uint8_t slot) {
  // Every key the keyboard lacks carries kNoSlot; that is no slot to report.
  if (slot == kNoSlot) return std::nullopt;
  const auto it = std::find(maps.slot.begin(), maps.slot.end(), slot);
  if (it == maps.slot.end()) return std::nullopt;
  const auto key = static_cast<std::uint8_t>(it - maps.slot.begin());
  // 18 and 19 share their actions with 89 and 108, the indexes the
  // lighting reactions know those keys by.
  if (key == 18) return 89;
  if (key == 19) return 108;
  return key;
}

DecodedSettings DecodeSettings(SettingsRecord& raw, std::span<const int> mode_codes, std::uint8_t live_mode,
                               const LightSetting& base) {
  // Positions past 255 cannot be held in the record's byte.
  const auto codes = mode_codes.first(std::min<std::size_t>(mode_codes.size(), 256));
  const auto found = std::find(codes.begin(), codes.end(), int{raw[kModeByte]});
  if (found != codes.end()) raw[kModeByte] = static_cast<std::uint8_t>(found - codes.begin());
  raw[kZeroByte] = 0;

  DecodedSettings out;
  out.record_index = raw[kIndexByte];
  out.light = base;
  LightSetting& light = out.light;
  light.select_item = raw[kModeByte];
  if (light.select_item == kHostDrivenCode) light.select_item = IsHostDrivenMode(live_mode) ? live_mode : kHostModeA;
  light.light = raw[kBrightnessByte];
  // A speed byte above 4 counts as 4 (speed 0) instead of wrapping to 255.
  light.speed = static_cast<std::uint8_t>(kMaxSpeed - std::min(raw[kSpeedByte], kMaxSpeed));
  light.fx = raw[kDirectionByte];
  light.multi_color = raw[kMultiColourByte];
  light.red = raw[kRedByte];
  light.green = raw[kGreenByte];
  light.blue = raw[kBlueByte];
  light.zzcc_led_mode = raw[kSpecialModeByte];
  // A group past the device's tables would address memory it does not have
  // and grow the profile's colour list without end: the live one stays.
  light.custom_group = raw[kCustomGroupByte] < kCustomGroupCount ? raw[kCustomGroupByte] : base.custom_group;
  out.w_flag = raw[kWFlagByte];
  out.key6_flag = raw[kKey6FlagByte];
  out.win_flag = raw[kWinFlagByte];
  out.os_mode = raw[kOsModeByte];
  return out;
}

SettingsRecord EncodeSettings(const SettingsRecord& last_read, const LightSetting& light, const KeyboardSystem& system,
                              std::span<const int> mode_codes, std::uint8_t v) {
  SettingsRecord record = last_read;
  record[kIndexByte] = v;
  std::uint8_t code = light.select_item;
  if (light.select_item < mode_codes.size()) code = static_cast<std::uint8_t>(mode_codes[light.select_item] & 0xFF);
  record[kModeByte] = IsHostDrivenMode(code) ? kHostDrivenCode : code;
  record[kBrightnessByte] = light.light;
  // A speed above 4 goes as 4 (byte 0) instead of wrapping.
  record[kSpeedByte] = static_cast<std::uint8_t>(kMaxSpeed - std::min(light.speed, kMaxSpeed));
  record[kDirectionByte] = light.fx;
  record[kMultiColourByte] = light.multi_color;
  record[kRedByte] = light.red;
  record[kGreenByte] = light.green;
  record[kBlueByte] = light.blue;
  record[kZeroByte] = 0;
  record[kSpecialModeByte] = light.zzcc_led_mode;
  record[kWFlagByte] = LowByte(system.w_flag);
  record[kKey6FlagByte] = LowByte(system.key6_flag);
  record[kWinFlagByte] = LowByte(system.win_flag);
  record[kPollingRateByte] = LowByte(system.polling_rate);
  record[kCustomGroupByte] = light.custom_group;
  record[kOsModeByte] = LowByte(system.os_mode);
  return record;
}

Table BuildKeyTable(const Table& image, std::span<const KeyAssignment> keys, const KeyMaps& maps,
                    std::size_t macro_count, std::vector<std::uint8_t>* used_macros) {
  Table table = image;
  MacroSlots used(macro_count);
  const std::size_t count = std::min(keys.size(), kLogicalKeyCount);
  for (std::size_t key = 0; key < count; ++key) {
    const std::uint8_t slot = maps.slot[key];
    if (!SlotFits(slot)) continue;
    KeyAction action = keys[key].assignment;
    if (action[0] == kMacroType || action[0] == kMacroToggleType) {
      if (const std::optional<std::uint8_t> macro_slot = used.Take(action[1])) {
        action[1] = *macro_slot;
      } else {
        // The macro is gone from the list: a key left pointing at it would
        // fire whatever macro now sits in that slot.
        action = keys[key].default_action;
      }
    }
    PutAction(table, slot, action);
  }
  if (used_macros != nullptr) *used_macros = used.macros();
  return table;
}

void MacroSlotsToIndexes(Table& table, std::span<const KeyAssignment> stored_keys, const KeyMaps& maps,
                         std::size_t macro_count) {
  std::vector<std::uint8_t> by_slot;
  BuildKeyTable(table, stored_keys, maps, macro_count, &by_slot);
  std::bitset<256> done;  // keys that share a slot must not turn it twice
  for (const std::uint8_t slot : maps.slot) {
    if (!SlotFits(slot) || done.test(slot)) continue;
    done.set(slot);
    KeyAction action = ActionAt(table, slot);
    if ((action[0] == kMacroType || action[0] == kMacroToggleType) && action[1] < by_slot.size()) {
      action[1] = by_slot[action[1]];
      PutAction(table, slot, action);
    }
  }
}

Table BuildFnKeyTable(const Table& fn_image, std::span<KeyAssignment> fn_keys, const KeyMaps& maps,
                      std::optional<std::uint8_t> selected_fn_key) {
  Table table = fn_image;
  std::size_t cursor = 0;
  const std::size_t count = std::min(fn_keys.size(), kLogicalKeyCount);
  for (std::size_t key = 0; key < count; ++key) {
    const std::uint8_t slot = maps.slot[key];
    if (!SlotFits(slot)) continue;
    KeyAssignment& fn = fn_keys[key];
    const bool listed = cursor < maps.fn_keys.size() && maps.fn_keys[cursor] == key;
    // The selected key is the one being edited, so it is written as
    // assigned; the cursor stays on it, which ends the preserving for the
    // listed keys after it too.
    if (listed && selected_fn_key != key) {
      ++cursor;
      if (fn.assignment == fn.default_action) {
        fn.assignment = ActionAt(table, slot);
        continue;
      }
    }
    PutAction(table, slot, fn.assignment);
  }
  return table;
}

void TakeReadColours(std::span<CustomColour> colours, const Table& read, const KeyMaps& maps) {
  for (std::size_t key = 0; key < colours.size(); ++key) {
    const std::uint8_t led = LedOf(maps, key);
    if (!LedFits(led)) continue;
    const std::size_t at = std::size_t{led} * 3;
    colours[key].red = read[at];
    colours[key].green = read[at + 1];
    colours[key].blue = read[at + 2];
  }
}

Table ColourTableUnscaled(std::span<const CustomColour> colours, const KeyMaps& maps) {
  return ColourTable(colours, maps, false);
}

Table ColourTableScaled(std::span<const CustomColour> colours, const KeyMaps& maps) {
  return ColourTable(colours, maps, true);
}

Table BuildLightFrame(std::span<const std::uint32_t> colours, const KeyMaps& maps) {
  std::vector<CustomColour> unpacked(colours.size());
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::uint32_t c = colours[i];
    unpacked[i] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c),
                   static_cast<std::uint8_t>(c >> 24)};
  }
  return ColourTable(unpacked, maps, true);
}

KeyboardEvent ClassifyEvent(std::uint16_t code) {
  using Kind = KeyboardEvent::Kind;
  KeyboardEvent event;
  switch (code) {
    case kSyncRequestEvent: event.kind = Kind::kSyncRequest; return event;
    case kFullSyncEvent: event.kind = Kind::kFullSync; return event;
    case kHeartbeatEvent: event.kind = Kind::kHeartbeat; return event;
    default: break;
  }
  const auto group = static_cast<std::uint8_t>(code >> 8);
  const auto low = static_cast<std::uint8_t>(code & 0xFF);
  switch (group) {
    case kKeyPressEvents:
      event.kind = Kind::kKeyPress;
      event.slot = low;
      break;
    case kKeyReleaseEvents:
      event.kind = Kind::kKeyRelease;
      event.slot = low;
      break;
    case kIndexSwitchEvents:
    case kIndexSwitchWithByteEvents:
      event.kind = Kind::kIndexSwitch;
      event.index = low & 0x0F;
      if (group == kIndexSwitchWithByteEvents) event.record_byte = static_cast<std::uint8_t>(low >> 4);
      break;
    default: break;
  }
  return event;
}

}  // namespace brontal::keyboard
