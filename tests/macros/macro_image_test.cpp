// The macro image a keyboard or mouse plays from: which macros go in, in
// which slots, byte for byte, and when the device's memory refuses it.
#include "macros/macro_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"

namespace brontal {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Macro = std::vector<MacroEvent>;

MacroEvent KeyA(bool down, std::int64_t delay) { return {macro_event_type::kKey, 0x04, down, delay}; }

Macro Repeated(std::size_t count) { return Macro(count, KeyA(true, 1)); }

const Bytes* ImageOf(const MacroImageBuild& build) { return std::get_if<Bytes>(&build); }

TEST(MacroSlots, MacrosTakeSlotsInOrderOfFirstUseAndUnknownMacrosNone) {
  // Keys in walk order: 3 -> macro 4, 5 -> macro 2, 7 -> macro 9 (the index
  // lists 5 macros), 9 -> macro 4, 11 -> macro 0.
  MacroSlots slots(5);
  EXPECT_EQ(slots.Take(4), 0);
  EXPECT_EQ(slots.Take(2), 1);
  EXPECT_EQ(slots.Take(9), std::nullopt);
  EXPECT_EQ(slots.Take(4), 0);
  EXPECT_EQ(slots.Take(5), std::nullopt);  // the first index past the count
  EXPECT_EQ(slots.Take(0), 2);             // the unknown ones took no slot
  EXPECT_EQ(slots.macros(), (Bytes{4, 2, 0}));
}

TEST(MacroImage, EventsAreFourBytesWithTheLowSixteenBitsOfTheDelay) {
  const struct {
    MacroEvent event;
    Bytes bytes;
  } cases[] = {
      {KeyA(true, 50), {0x32, 0x00, 0x8A, 0x04}},
      {KeyA(false, 0), {0x00, 0x00, 0x0A, 0x04}},
      {{macro_event_type::kMouseButton, 0x01, true, 10}, {0x0A, 0x00, 0x81, 0x01}},
      {{macro_event_type::kHorizontalMove, 20, true, 5}, {0x05, 0x00, 0x84, 0x14}},
      {{macro_event_type::kVerticalMove, 5, false, 0}, {0x00, 0x00, 0x05, 0x05}},
      {{macro_event_type::kModifierKey, 0x80, true, 300}, {0x2C, 0x01, 0x89, 0x80}},
      {{macro_event_type::kKey, 0xFF, false, 65535}, {0xFF, 0xFF, 0x0A, 0xFF}},
      {KeyA(true, 70000), {0x70, 0x11, 0x8A, 0x04}},  // a file's longer delay: its low bits, not 65535
      {KeyA(true, 65536), {0x00, 0x00, 0x8A, 0x04}},
      {{2, 0x01, true, 0}, {0x00, 0x00, 0x82, 0x01}},      // an old file's kind passes as it is
      {{0x8A, 0x04, false, 0}, {0x00, 0x00, 0x0A, 0x04}},  // only the low 7 bits are the kind
  };
  for (const auto& c : cases) {
    const auto bytes = EncodeMacroEvent(c.event);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), c.bytes) << "type " << c.event.type << " delay " << c.event.delay;
  }
}

TEST(MacroImage, SmallMacrosByteForByte) {
  // A click of A, a macro whose file is missing, a left press.
  const std::vector<Macro> macros = {
      {KeyA(true, 50), KeyA(false, 0)}, {}, {{macro_event_type::kMouseButton, 0x01, true, 300}}};
  const Bytes expected = {
      0xAA, 0x55, 0x2E, 0x00, 0x03, 0x00, 0,    0,
      0,    0,    0,    0,    0,    0,    0,    0,  // magic, T = 46, N = 3
      0x16, 0x00, 0x22, 0x00, 0x26, 0x00,           // records at 22, 34, 38
      0x02, 0x00, 0x00, 0x00, 0x32, 0x00, 0x8A, 0x04,
      0x00, 0x00, 0x0A, 0x04, 0x00, 0x00, 0x00, 0x00,  // no events
      0x01, 0x00, 0x00, 0x00, 0x2C, 0x01, 0x81, 0x01,  // delay 300
  };
  EXPECT_EQ(MacroImageSize(macros), expected.size());
  const MacroImageBuild build =
      BuildMacroImage(macros, {.capacity_bytes = expected.size(), .longest_macro = std::nullopt});
  ASSERT_NE(ImageOf(build), nullptr);
  EXPECT_EQ(*ImageOf(build), expected);
}

TEST(MacroImage, AFilesDelayPastSixteenBitsGoesAsItsLowBits) {
  test::TemporaryFolder folder{"brontal_macro_image"};
  std::ofstream(folder.path() / "g.mac") << R"({"Events": [
      {"Type": 10, "Button": 4, "Action": "down", "Delay": "70000"},
      {"Type": 10, "Button": 4, "Action": "up", "Delay": 65536}]})";
  const std::vector<std::string> guids = {"g"};
  const Bytes expected = {
      0xAA, 0x55, 0x1E, 0x00, 0x01, 0x00, 0,    0,    0,    0,    0,    0,    0, 0, 0, 0,  // magic, T = 30, N = 1
      0x12, 0x00,                                                                          // the record at 18
      0x02, 0x00, 0x00, 0x00, 0x70, 0x11, 0x8A, 0x04, 0x00, 0x00, 0x0A, 0x04,
  };
  const MacroImageBuild build =
      BuildMacroImage(LoadSlotMacros(folder.path(), guids), {.capacity_bytes = 256, .longest_macro = std::nullopt});
  ASSERT_NE(ImageOf(build), nullptr);
  EXPECT_EQ(*ImageOf(build), expected);
}

TEST(MacroImage, OneMacroOfTenEvents) {
  const MacroImageBuild build =
      BuildMacroImage(std::vector<Macro>{Repeated(10)}, {.capacity_bytes = 2048, .longest_macro = std::nullopt});
  const Bytes* image = ImageOf(build);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->size(), 62u);
  EXPECT_EQ(Bytes(image->begin() + 2, image->begin() + 6), (Bytes{62, 0, 1, 0}));  // T, N
  EXPECT_EQ(Bytes(image->begin() + 16, image->begin() + 18), (Bytes{18, 0}));      // where slot 0 starts
  EXPECT_EQ(Bytes(image->begin() + 18, image->begin() + 22), (Bytes{10, 0, 0, 0}));
}

TEST(MacroImage, AnImageLargerThanTheMemoryIsRefusedWithTheEventsTooMany) {
  const struct {
    const char* name;
    std::vector<Macro> macros;
    std::size_t capacity;
    std::size_t image_bytes;
    std::size_t counted_capacity;
    std::size_t excess_events;
  } cases[] = {
      // 2 units of 128 bytes and 60 events: 16 + 6 + 240 = 262.
      {"one macro of 60", {Repeated(60)}, 256, 262, 256, 2},
      {"two of 30", {Repeated(30), Repeated(30)}, 256, 268, 256, 4},
      {"one byte short", {Repeated(10)}, 61, 62, 61, 1},
      {"no macro memory", {{}}, 0, 22, 0, 6},
      // Its length would not fit the header's 16 bits, whatever the device says.
      {"past 16 bits", {Repeated(16380)}, 1u << 20, 65542, 65535, 2},
  };
  for (const auto& c : cases) {
    const MacroImageBuild build =
        BuildMacroImage(c.macros, {.capacity_bytes = c.capacity, .longest_macro = std::nullopt});
    const auto* refused = std::get_if<MacroImageTooLarge>(&build);
    ASSERT_NE(refused, nullptr) << c.name;
    EXPECT_EQ(refused->image_bytes, c.image_bytes) << c.name;
    EXPECT_EQ(refused->capacity_bytes, c.counted_capacity) << c.name;
    EXPECT_EQ(refused->ExcessEvents(), c.excess_events) << c.name;
  }
  // Exactly full is taken.
  EXPECT_NE(
      ImageOf(BuildMacroImage(std::vector<Macro>{Repeated(10)}, {.capacity_bytes = 62, .longest_macro = std::nullopt})),
      nullptr);
}

TEST(MacroImage, AMacroLongerThanTheFamilyPlaysIsRefusedAfterTheCapacity) {
  const MacroMemoryLimits keyboard{.capacity_bytes = 4096, .longest_macro = 251};
  EXPECT_NE(ImageOf(BuildMacroImage(std::vector<Macro>{Repeated(251)}, keyboard)), nullptr);

  const MacroImageBuild refused =
      BuildMacroImage(std::vector<Macro>{Repeated(10), Repeated(253), Repeated(252)}, keyboard);
  ASSERT_TRUE(std::holds_alternative<MacroTooLong>(refused));
  EXPECT_EQ(std::get<MacroTooLong>(refused).slot, 1u);  // the first over the limit
  EXPECT_EQ(std::get<MacroTooLong>(refused).events, 253u);

  // Without a limit (the mouse) only the capacity counts.
  EXPECT_NE(ImageOf(BuildMacroImage(std::vector<Macro>{Repeated(252)},
                                    {.capacity_bytes = 4096, .longest_macro = std::nullopt})),
            nullptr);
  // Both at once: the capacity is told.
  EXPECT_TRUE(std::holds_alternative<MacroImageTooLarge>(
      BuildMacroImage(std::vector<Macro>{Repeated(252)}, {.capacity_bytes = 256, .longest_macro = 251})));
}

TEST(MacroImage, EachSlotsFileIsReadAndAMissingOneIsEmpty) {
  test::TemporaryFolder folder{"brontal_macro_image"};
  ASSERT_TRUE(SaveMacroFile(folder.path(), "g1", "m", std::vector<MacroEvent>{KeyA(true, 5), KeyA(false, 6)}));
  const std::vector<std::string> guids = {"g1", "missing", ""};  // "": an index entry without a usable Guid
  const std::vector<Macro> macros = LoadSlotMacros(folder.path(), guids);
  ASSERT_EQ(macros.size(), 3u);
  EXPECT_EQ(macros[0], (Macro{KeyA(true, 5), KeyA(false, 6)}));
  EXPECT_TRUE(macros[1].empty());
  EXPECT_TRUE(macros[2].empty());
}

}  // namespace
}  // namespace brontal
