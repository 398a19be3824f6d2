#include "devices/mouse/mouse_wire.h"

#include <gtest/gtest.h>

#include <vector>

namespace brontal::mouse {
namespace {

TEST(MouseDpiScale, BothRangesOfTheTwoRangeSensorAndTheOthers) {
  const DpiScale two_range{kTwoRangeSensor, 100, 108, 100};
  const DpiScale other{0x3360, 50, 200, 100};
  struct Shown {
    DpiScale scale;
    int stage_value;
    int dpi;
  };
  for (const Shown& c : {Shown{two_range, 0, 100}, Shown{two_range, 48, 4900}, Shown{two_range, 49, 5100},
                         Shown{two_range, 50, 5300}, Shown{other, 10, 600}, Shown{other, 60, 3100}})
    EXPECT_EQ(ShownDpi(c.scale, c.stage_value), c.dpi) << c.stage_value;
  struct Entered {
    DpiScale scale;
    int dpi;
    std::uint16_t stage_value;
  };
  // The upper range counts from 5000 whatever the base: 5300 is stored as 49,
  // which shows 5100.
  for (const Entered& c : {Entered{two_range, 5300, 49}, Entered{two_range, 5000, 49}, Entered{two_range, 4900, 48},
                           Entered{two_range, 0, 0}, Entered{two_range, 99999, 108}, Entered{other, 50, 0},
                           Entered{other, 600, 10}, Entered{other, 629, 10},
                           // A failed information read leaves the step 0.
                           Entered{DpiScale{0x3360, 0, 0, 0}, 800, 0}})
    EXPECT_EQ(StageValueOf(c.scale, c.dpi), c.stage_value) << c.dpi;
}

TEST(MouseButtonSlots, EachButtonTakesTheFirstSlotOfItsFactoryActionAndAMissingOneNone) {
  // The buttons in the mouse's own order; no DPI-cycle button (7).
  const std::vector<std::size_t> order = {0, 1, 2, 4, 3, 8, 5, 6, 9, 10, 0};
  std::vector<std::uint8_t> table;
  for (const std::size_t button : order)
    table.insert(table.end(), kMouseButtonActions[button].begin(), kMouseButtonActions[button].end());
  const ButtonSlots slots = BuildButtonSlots(table, order.size());
  EXPECT_EQ(slots, (ButtonSlots{0, 1, 2, 4, 3, 6, 7, kNoSlot, 5, 8, 9}));
  // Fewer slots than buttons: the rest are missing, never slot 0.
  EXPECT_EQ(BuildButtonSlots(table, 3),
            (ButtonSlots{0, 1, 2, kNoSlot, kNoSlot, kNoSlot, kNoSlot, kNoSlot, kNoSlot, kNoSlot, kNoSlot}));
  const keyboard::KeyMaps maps = ButtonKeyMaps(slots);
  EXPECT_EQ(maps.slot[7], keyboard::kNoSlot);
  EXPECT_EQ(maps.slot[3], 4);
  EXPECT_EQ(maps.slot[11], keyboard::kNoSlot);
}

TEST(MouseSettingsRecord, IsBuiltFromZerosByteForByte) {
  const std::vector<int> codes = {7, 1, 2, 3, 4, 5, 6, 0, 8, 9, 10, 11};
  const std::vector<DpiStage> stages = {
      {1, 0, 4, 4, 0xFF, 0, 0}, {1, 1, 0x0130, 0x0002, 0, 0xFF, 0}, {0, 0, 8, 8, 1, 2, 3}};
  const std::vector<SurfaceCorrection> corrections = {{5, 6, 0, "cloth"}, {7, 8, 1, "glass"}, {9, 10, 1, "wood"}};
  RecordFields fields{.light = {.select_item = 2,
                                .light = 3,
                                .speed = 1,
                                .fx = 1,
                                .multi_color = 1,
                                .red = 0x10,
                                .green = 0x20,
                                .blue = 0x30},
                      .system = {.double_click_time = 500, .mouse_speed = 9, .report_rate = 4},
                      .active_stage = 1,
                      .stages = stages,
                      .corrections = corrections,
                      .screen_width = 2560,
                      .screen_height = 1440};
  SettingsRecord expected{};
  const std::vector<std::uint8_t> head = {0, 2, 3, 3, 1, 1, 0x10, 0x20, 0x30, 0, 0, 4, 1, 0};
  std::copy(head.begin(), head.end(), expected.begin());
  const std::vector<std::uint8_t> stage_bytes = {1, 0, 4,    0, 4, 0, 0xFF, 0, 0, 1, 1, 0x30, 0x01, 0x02,
                                                 0, 0, 0xFF, 0, 0, 0, 8,    0, 8, 0, 1, 2,    3};
  std::copy(stage_bytes.begin(), stage_bytes.end(), expected.begin() + 14);
  expected[59] = 1;
  expected[60] = 0x00;
  expected[61] = 0x0A;
  expected[62] = 0xA0;
  expected[63] = 0x05;
  expected[64] = 8;  // the first chosen surface
  expected[65] = 7;
  EXPECT_EQ(EncodeSettings(fields, codes), expected);  // stages 3 and 4 (bytes 41..58) zero

  struct Mode {
    std::uint8_t index;
    std::uint8_t code;
  };
  // An index past 11, or past the list, takes the first entry's code.
  for (const Mode& m : {Mode{0, 7}, Mode{7, 0}, Mode{11, 11}, Mode{12, 7}, Mode{200, 7}}) {
    fields.light.select_item = m.index;
    EXPECT_EQ(EncodeSettings(fields, codes)[1], m.code) << int{m.index};
  }
  fields.light.select_item = 11;
  EXPECT_EQ(EncodeSettings(fields, std::vector<int>{7, 1})[1], 7);
}

TEST(MouseSettingsRecord, DecodesLightingAndTheActiveStageAndKeepsTheIndexItRead) {
  const std::vector<int> codes = {7, 1, 2, 3};
  SettingsRecord raw{};
  const std::vector<std::uint8_t> head = {2, 3, 4, 0, 1, 1, 0xAA, 0xBB, 0xCC, 0x55, 0, 3, 2};
  std::copy(head.begin(), head.end(), raw.begin());
  LightSetting base;
  base.fx = 1;
  base.custom_group = 5;
  const DecodedSettings decoded = DecodeSettings(raw, codes, base);
  EXPECT_EQ(decoded.record_index, 2);
  EXPECT_EQ(decoded.active_stage, 2);
  EXPECT_EQ(decoded.light.select_item, 3);  // code 3 is entry 3
  EXPECT_EQ(decoded.light.light, 4);
  EXPECT_EQ(decoded.light.speed, 4);
  EXPECT_EQ(decoded.light.fx, 1);  // not the record's: the profile's
  EXPECT_EQ(decoded.light.custom_group, 5);
  EXPECT_EQ(decoded.light.red, 0xAA);
  EXPECT_EQ(raw[9], 0);
  raw[1] = 7;
  raw[3] = 9;  // out of range: never a speed past 4 turned around
  EXPECT_EQ(DecodeSettings(raw, codes, base).light.select_item, 0);
  EXPECT_EQ(DecodeSettings(raw, codes, base).light.speed, 0);
  raw[1] = 0x42;  // an unknown code stays as it is
  EXPECT_EQ(DecodeSettings(raw, codes, base).light.select_item, 0x42);
}

TEST(MouseEvents, Classified) {
  using Kind = MouseEvent::Kind;
  struct Case {
    std::uint16_t code;
    Kind kind;
    std::uint8_t index;
    std::optional<std::uint8_t> stage;
  };
  for (const Case& c : {Case{0x0401, Kind::kSyncRequest, 0, std::nullopt},
                        Case{0x0402, Kind::kSyncRequest, 0, std::nullopt}, Case{0x0403, Kind::kClick, 0, std::nullopt},
                        Case{0x1132, Kind::kIndexSwitch, 2, 3}, Case{0x1005, Kind::kIndexSwitch, 5, std::nullopt},
                        Case{0x0404, Kind::kIgnored, 0, std::nullopt}, Case{0x1200, Kind::kIgnored, 0, std::nullopt}}) {
    const MouseEvent event = ClassifyEvent(c.code);
    EXPECT_EQ(event.kind, c.kind) << std::hex << c.code;
    EXPECT_EQ(event.index, c.index) << std::hex << c.code;
    EXPECT_EQ(event.active_stage, c.stage) << std::hex << c.code;
  }
}

}  // namespace
}  // namespace brontal::mouse
