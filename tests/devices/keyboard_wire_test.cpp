#include "devices/keyboard/keyboard_wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brontal::keyboard {
namespace {

void PutKey(std::vector<std::uint8_t>& base_table, std::size_t slot, std::uint8_t key) {
  const KeyAction& a = kLogicalKeyActions[key];
  std::copy(a.begin(), a.end(), base_table.begin() + 3 * slot);
}

// A base key table whose slot s holds the factory action of keys_by_slot[s].
std::vector<std::uint8_t> BaseTable(const std::vector<std::uint8_t>& keys_by_slot) {
  std::vector<std::uint8_t> table(kTableSize, 0);
  for (std::size_t s = 0; s < keys_by_slot.size(); ++s) PutKey(table, s, keys_by_slot[s]);
  return table;
}

KeyAction SlotBytes(const Table& table, std::uint8_t slot) {
  return {table[3 * slot], table[3 * slot + 1], table[3 * slot + 2]};
}

// Every key at its default, which is its factory action.
std::vector<KeyAssignment> DefaultAssignments() {
  std::vector<KeyAssignment> keys(kLogicalKeyCount);
  for (std::size_t k = 0; k < keys.size(); ++k) {
    keys[k].key_index = keys[k].default_key_index = static_cast<std::uint16_t>(k);
    keys[k].assignment = keys[k].default_action = kLogicalKeyActions[k];
  }
  return keys;
}

TEST(KeyMaps, TwinKeysShareTheFirstSlotAndReportTheHigherIndex) {
  const auto base = BaseTable({64, 89, 108, 104, 110});
  const KeyMaps maps = BuildKeyMaps(base, {}, {}, 5);
  EXPECT_EQ(maps.slot[18], 1);
  EXPECT_EQ(maps.slot[89], 1);
  EXPECT_EQ(maps.slot[19], 2);
  EXPECT_EQ(maps.slot[108], 2);
  EXPECT_EQ(maps.slot[20], 3);
  EXPECT_EQ(maps.slot[104], 3);

  const struct {
    std::uint8_t slot;
    std::optional<std::uint8_t> key;
  } cases[] = {
      {0, 64},
      {1, 89},
      {2, 108},
      {3, 20},
      {4, 110},
      {5, std::nullopt},
      // Every missing key holds kNoSlot; a stray 255 must not name one of them.
      {kNoSlot, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LogicalKeyOfSlot(maps, c.slot), c.key) << "slot " << int{c.slot};
}

TEST(KeyMaps, NoSlotPastTheSlotCount) {
  std::vector<std::uint8_t> keys;
  for (std::uint8_t k = 0; keys.size() < 105; ++k) {
    if (k != 89 && k != 104 && k != 108) keys.push_back(k);
  }
  const auto base = BaseTable(keys);
  std::vector<std::uint8_t> leds(kTableSize, 7);
  const std::vector<std::uint8_t> fn(kTableSize, 0x20);

  const KeyMaps maps = BuildKeyMaps(base, leds, fn, 104);
  const std::uint8_t beyond = keys[104];
  EXPECT_EQ(maps.slot[beyond], kNoSlot);
  EXPECT_EQ(maps.led[beyond], kNoLed);
  EXPECT_EQ(maps.fn_slot[beyond], kNoSlot);
  EXPECT_EQ(std::count(maps.fn_keys.begin(), maps.fn_keys.end(), beyond), 0);
  EXPECT_EQ(maps.slot[keys[103]], 103);
  for (std::size_t k = 0; k < kLogicalKeyCount; ++k) {
    EXPECT_TRUE(maps.slot[k] < 104 || maps.slot[k] == kNoSlot) << "key " << k;
  }
}

TEST(KeyMaps, LedsAndFnListFromTheirTables) {
  // Logical keys out of slot order, so the Fn list's order is by key.
  const auto base = BaseTable({90, 5, 70, 3});
  const std::vector<std::uint8_t> leds = {40, 41, 42, 43};
  std::vector<std::uint8_t> fn(12, 0);
  fn[0] = 0xA0;  // slot 0: an Fn action
  fn[3] = 0x00;  // slot 1: none
  fn[6] = 0xFF;  // slot 2: erased
  fn[9] = 0x20;  // slot 3: an Fn action

  const KeyMaps maps = BuildKeyMaps(base, leds, fn, 4);
  EXPECT_EQ(maps.led[90], 40);
  EXPECT_EQ(maps.led[3], 43);
  EXPECT_EQ(maps.led[0], kNoLed);
  EXPECT_EQ(maps.fn_keys, (std::vector<std::uint8_t>{3, 90}));
  EXPECT_EQ(maps.fn_slot[3], 3);
  EXPECT_EQ(maps.fn_slot[90], 0);
  EXPECT_EQ(maps.fn_slot[5], kNoSlot);
  EXPECT_EQ(maps.fn_slot[70], kNoSlot);
}

TEST(KeyMaps, ASlotCountBeyondTheTablesReadsNothingPastThem) {
  // Heap-exact sizes so the sanitizer sees any read past them. Slot 170
  // would end past a 512-byte table, so the key there is not found.
  std::vector<std::uint8_t> base(3 * 255, 0);
  PutKey(base, 169, 64);
  PutKey(base, 170, 65);
  std::vector<std::uint8_t> leds(170, 0);
  leds[169] = 9;
  const std::vector<std::uint8_t> fn(3, 0x20);

  const KeyMaps maps = BuildKeyMaps(base, leds, fn, 255);
  EXPECT_EQ(maps.slot[64], 169);
  EXPECT_EQ(maps.led[64], 9);
  EXPECT_EQ(maps.slot[65], kNoSlot);
  EXPECT_TRUE(maps.fn_keys.empty());
}

// Mode codes of a test model: index 2 and 4 are the host-driven modes.
constexpr int kModes[] = {0x00, 0x03, 29, 0x07, 30};

TEST(SettingsDecode, ModeCodeToIndex) {
  const struct {
    std::uint8_t code, live, mode, raw_byte1;
  } cases[] = {
      {0x03, 0, 1, 1},        // in the list
      {29, 0, 2, 2},          // a plain 29 is just a listed code
      {0x40, 0, 0x40, 0x40},  // unknown: kept as it is
      {kHostDrivenCode, 30, 30, kHostDrivenCode},
      {kHostDrivenCode, 29, 29, kHostDrivenCode},
      {kHostDrivenCode, 5, 29, kHostDrivenCode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code) + " live " + std::to_string(c.live));
    SettingsRecord raw{};
    raw[1] = c.code;
    EXPECT_EQ(DecodeSettings(raw, kModes, c.live, {}).light.select_item, c.mode);
    EXPECT_EQ(raw[1], c.raw_byte1);
  }
}

TEST(SettingsDecode, FieldsAndKeptLightBytes) {
  SettingsRecord raw;
  for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint8_t>(0x80 + i);
  raw[1] = 0x07;
  raw[3] = 1;
  LightSetting base;
  base.working = {1, 2, 3};
  base.old_led_mode = 9;

  const DecodedSettings d = DecodeSettings(raw, kModes, 0, base);
  EXPECT_EQ(d.record_index, 0x80);
  LightSetting want = base;
  want.select_item = 3;
  want.light = 0x82;
  want.speed = 3;
  want.fx = 0x84;
  want.multi_color = 0x85;
  want.red = 0x86;
  want.green = 0x87;
  want.blue = 0x88;
  want.zzcc_led_mode = 0x80 + 18;
  want.custom_group = base.custom_group;  // 0xA5 names no group: the live one stays
  EXPECT_EQ(d.light, want);
  EXPECT_EQ(d.w_flag, 0x80 + 19);
  EXPECT_EQ(d.key6_flag, 0x80 + 20);
  EXPECT_EQ(d.win_flag, 0x80 + 21);
  EXPECT_EQ(d.os_mode, 0x80 + 27);
  EXPECT_EQ(raw[16], 0);
}

TEST(SettingsDecode, CustomGroupWithinTheDevicesTables) {
  for (const auto& [read, live, decoded] : {std::array<std::uint8_t, 3>{3, 1, 3}, {7, 1, 7}, {8, 1, 1}, {0xFF, 2, 2}}) {
    SettingsRecord raw{};
    raw[25] = read;
    LightSetting base;
    base.custom_group = live;
    EXPECT_EQ(DecodeSettings(raw, kModes, 0, base).light.custom_group, decoded) << int{read};
  }
}

TEST(SettingsEncode, ModeIndexToCode) {
  const struct {
    std::uint8_t index, byte1;
  } cases[] = {
      {1, 0x03},
      {0, 0x00},
      {2, kHostDrivenCode},
      {4, kHostDrivenCode},
      {9, 9},                 // outside the list: the raw code a read kept
      {29, kHostDrivenCode},  // outside the list, but still a host-driven code
  };
  for (const auto& c : cases) {
    LightSetting light;
    light.select_item = c.index;
    EXPECT_EQ(EncodeSettings({}, light, {}, kModes, 0)[1], c.byte1) << "index " << int{c.index};
  }
}

TEST(SettingsRecord, SpeedIsInvertedBothWays) {
  for (std::uint8_t speed = 0; speed <= 4; ++speed) {
    LightSetting light;
    light.speed = speed;
    SettingsRecord raw = EncodeSettings({}, light, {}, kModes, 0);
    EXPECT_EQ(raw[3], 4 - speed);
    EXPECT_EQ(DecodeSettings(raw, kModes, 0, {}).light.speed, speed);
  }
  // Out of range on either side clamps instead of wrapping.
  SettingsRecord raw{};
  raw[3] = 9;
  EXPECT_EQ(DecodeSettings(raw, kModes, 0, {}).light.speed, 0);
  LightSetting light;
  light.speed = 7;
  EXPECT_EQ(EncodeSettings({}, light, {}, kModes, 0)[3], 0);
}

TEST(SettingsEncode, ProfileFieldsOverTheLastRead) {
  SettingsRecord last;
  for (std::size_t i = 0; i < last.size(); ++i) last[i] = static_cast<std::uint8_t>(0xA0 + i);
  LightSetting light{1, 2, 3, 4, 5, 6, 7, 8, {9, 9, 9}, 10, 11, 12};
  const KeyboardSystem system{.repeat = 0x55,
                              .repeat_delay = 0x66,
                              .key6_flag = 0x0113,
                              .polling_rate = 0x0102,
                              .w_flag = 0x0114,
                              .win_flag = 0x0115,
                              .os_mode = 0x0116};

  const SettingsRecord r = EncodeSettings(last, light, system, kModes, 0x21);
  SettingsRecord want = last;
  want[0] = 0x21;
  want[1] = 0x03;
  want[2] = 2;
  want[3] = 1;
  want[4] = 4;
  want[5] = 5;
  want[6] = 6;
  want[7] = 7;
  want[8] = 8;
  want[16] = 0;
  want[18] = 10;
  want[19] = 0x14;
  want[20] = 0x13;
  want[21] = 0x15;
  want[22] = 0x02;
  want[25] = 11;
  want[27] = 0x16;
  EXPECT_EQ(r, want);

  // Key repeat is shown on the panel but no record carries it.
  KeyboardSystem other = system;
  other.repeat = 1;
  other.repeat_delay = 2;
  EXPECT_EQ(EncodeSettings(last, light, other, kModes, 0x21), r);
}

TEST(KeyTable, MacrosNumberedByFirstUseAndDanglingOnesFallBack) {
  const auto base = BaseTable({10, 40, 50, 60, 70});
  const KeyMaps maps = BuildKeyMaps(base, {}, {}, 5);
  auto keys = DefaultAssignments();
  keys[10].assignment = {0x70, 4, 0x01};
  keys[20].assignment = {0x70, 1, 0x00};  // no slot: must not take a macro number
  keys[40].assignment = {0x71, 2, 0x02};
  keys[50].assignment = {0x70, 4, 0x03};
  keys[60].assignment = {0x70, 7, 0x00};
  keys[70].assignment = {0x71, 5, 0x00};  // exactly the macro count: gone too
  Table image;
  image.fill(0xEE);

  std::vector<std::uint8_t> used;
  const Table t = BuildKeyTable(image, keys, maps, 5, &used);
  EXPECT_EQ(SlotBytes(t, 0), (KeyAction{0x70, 0, 0x01}));
  EXPECT_EQ(SlotBytes(t, 1), (KeyAction{0x71, 1, 0x02}));
  EXPECT_EQ(SlotBytes(t, 2), (KeyAction{0x70, 0, 0x03}));
  EXPECT_EQ(SlotBytes(t, 3), kLogicalKeyActions[60]);
  EXPECT_EQ(SlotBytes(t, 4), kLogicalKeyActions[70]);
  EXPECT_EQ(used, (std::vector<std::uint8_t>{4, 2}));
  EXPECT_TRUE(std::all_of(t.begin() + 15, t.end(), [](std::uint8_t b) { return b == 0xEE; }));

  // A short list leaves the slots of the keys it lacks as they were.
  const Table s = BuildKeyTable(image, std::span(keys).first(45), maps, 5);
  EXPECT_EQ(SlotBytes(s, 1), (KeyAction{0x71, 1, 0x02}));
  EXPECT_EQ(SlotBytes(s, 2), (KeyAction{0xEE, 0xEE, 0xEE}));
}

TEST(FnKeyTable, BuiltInActionsKeptUpToTheSelectedKey) {
  // Keys 1..5 at slots 0..4; keys 1, 3 and 4 have a built-in Fn action.
  const auto base = BaseTable({1, 2, 3, 4, 5});
  Table fn{};
  const KeyAction builtin[6] = {{}, {0xD0, 1, 1}, {}, {0xD0, 3, 3}, {0xD0, 4, 4}, {0xFF, 0xFF, 0xFF}};
  for (std::uint8_t k = 1; k <= 5; ++k) std::copy(builtin[k].begin(), builtin[k].end(), fn.begin() + 3 * (k - 1));
  const KeyMaps maps = BuildKeyMaps(base, {}, fn, 5);
  ASSERT_EQ(maps.fn_keys, (std::vector<std::uint8_t>{1, 3, 4}));

  const struct {
    std::optional<std::uint8_t> selected;
    std::vector<std::uint8_t> kept;
  } cases[] = {
      {std::nullopt, {1, 4}},
      {2, {1, 4}},  // not a listed key: no effect
      {1, {}},      // the cursor stays on 1, so 4 is not kept either
      {3, {1}},
      {4, {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("selected " + (c.selected ? std::to_string(*c.selected) : std::string("none")));
    auto keys = DefaultAssignments();
    keys[3].assignment = {0x20, 0x00, 0x3A};
    keys[5].assignment = {0x20, 0x00, 0x3B};
    const auto before = keys;

    const Table t = BuildFnKeyTable(fn, keys, maps, c.selected);
    for (std::uint8_t k = 1; k <= 5; ++k) {
      const bool kept = std::count(c.kept.begin(), c.kept.end(), k) > 0;
      const KeyAction want = kept ? builtin[k] : before[k].assignment;
      EXPECT_EQ(SlotBytes(t, k - 1), want) << "key " << int{k};
      EXPECT_EQ(keys[k].assignment, want) << "key " << int{k};
    }
  }
}

TEST(PerKeyColours, LedNumbersPastTheBufferAreNeverUsed) {
  // 169 is the last LED whose three bytes fit; 170 would reach byte 512.
  const auto base = BaseTable({0, 1, 2, 3});
  const std::vector<std::uint8_t> leds = {169, 170, 200, kNoLed};
  const KeyMaps maps = BuildKeyMaps(base, leds, {}, 4);
  std::vector<CustomColour> colours(131, CustomColour{0x40, 0x50, 0x60, 0xFF});
  std::vector<std::uint32_t> packed(131, 0xFF405060);

  Table want{};
  want[507] = 0x40;
  want[508] = 0x50;
  want[509] = 0x60;
  EXPECT_EQ(ColourTableUnscaled(colours, maps), want);
  want[507] = 0x3F;
  want[508] = 0x4F;
  want[509] = 0x5F;
  EXPECT_EQ(ColourTableScaled(colours, maps), want);
  EXPECT_EQ(BuildLightFrame(packed, maps), want);

  Table read;
  read.fill(0x11);
  TakeReadColours(colours, read, maps);
  EXPECT_EQ(colours[0], (CustomColour{0x11, 0x11, 0x11, 0xFF}));
  for (std::size_t k = 1; k < colours.size(); ++k) {
    EXPECT_EQ(colours[k], (CustomColour{0x40, 0x50, 0x60, 0xFF})) << "key " << k;
  }
}

TEST(PerKeyColours, AlphaScalesByDivisionBy256) {
  const auto base = BaseTable({0});
  const std::vector<std::uint8_t> leds = {2};
  const KeyMaps maps = BuildKeyMaps(base, leds, {}, 1);
  const struct {
    std::uint8_t component, alpha, scaled;
  } cases[] = {{255, 255, 254}, {200, 128, 100}, {255, 0, 0}, {1, 255, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.component) + " x " + std::to_string(c.alpha));
    const CustomColour colour{c.component, 0, c.component, c.alpha};
    const Table t = ColourTableScaled(std::span(&colour, 1), maps);
    EXPECT_EQ(SlotBytes(t, 2), (KeyAction{c.scaled, 0, c.scaled}));
    // Packed as alpha, red, green, blue from the top byte down.
    const std::uint32_t packed = std::uint32_t{c.alpha} << 24 | std::uint32_t{c.component} << 16 | c.component;
    EXPECT_EQ(SlotBytes(BuildLightFrame(std::span(&packed, 1), maps), 2), (KeyAction{c.scaled, 0, c.scaled}));
  }
}

TEST(Events, Classified) {
  using Kind = KeyboardEvent::Kind;
  const struct {
    std::uint16_t code;
    Kind kind;
    std::uint8_t slot, index;
    std::optional<std::uint8_t> record_byte;
  } cases[] = {
      {0x0401, Kind::kSyncRequest, 0, 0, std::nullopt},   {0x0402, Kind::kFullSync, 0, 0, std::nullopt},
      {0x0404, Kind::kHeartbeat, 0, 0, std::nullopt},     {0x0403, Kind::kIgnored, 0, 0, std::nullopt},
      {0x0400, Kind::kIgnored, 0, 0, std::nullopt},       {0x0527, Kind::kKeyPress, 0x27, 0, std::nullopt},
      {0x06FF, Kind::kKeyRelease, 0xFF, 0, std::nullopt}, {0x1105, Kind::kIndexSwitch, 0, 5, 0},
      {0x1023, Kind::kIndexSwitch, 0, 3, std::nullopt},   {0x11F7, Kind::kIndexSwitch, 0, 7, 0x0F},
      {0x1205, Kind::kIgnored, 0, 0, std::nullopt},       {0x0000, Kind::kIgnored, 0, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    const KeyboardEvent e = ClassifyEvent(c.code);
    EXPECT_EQ(e.kind, c.kind);
    EXPECT_EQ(e.slot, c.slot);
    EXPECT_EQ(e.index, c.index);
    EXPECT_EQ(e.record_byte, c.record_byte);
  }
}

}  // namespace
}  // namespace brontal::keyboard
