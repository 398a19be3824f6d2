#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "devices/key_action_tables.h"
#include "models/memory_layout.h"
#include "models/simulated_device.h"
#include "sim/request_frames.h"

namespace brontal::sim {
namespace {

using testing::Exchange;
using testing::ReadBlock;
using testing::Request;
using testing::WriteBlock;

std::unique_ptr<SimulatedDevice> Make(std::uint16_t product_id, std::uint16_t vendor_id = 0x320F) {
  const ProductSpec* product = FindProduct(vendor_id, product_id);
  return product == nullptr ? nullptr : SimulatedDevice::Create(*product);
}

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::iota(bytes.begin(), bytes.end(), seed);
  return bytes;
}

struct InfoCase {
  std::uint16_t product_id;  // a cabled product or its receiver: both reach the same model
  std::uint8_t key_slots;
  std::uint8_t macro_units;
};

TEST(DeviceMemoryCommandsTest, DeviceInfoIsOnePacketWiredAndTwoThroughTheReceiver) {
  for (const InfoCase& c : {InfoCase{0x50EB, 120, 16}, InfoCase{0x50EC, 120, 16}, InfoCase{0x5103, 126, 32},
                            InfoCase{0x5101, 102, 24}, InfoCase{0x221D, 10, 16}, InfoCase{0x1004, 0, 0}}) {
    SCOPED_TRACE(c.product_id);
    auto device = Make(c.product_id);
    ASSERT_NE(device, nullptr);
    std::vector<std::uint8_t> statuses;
    const auto wired = ReadBlock(*device, Link::kWired, 0x03, 0, 34, statuses);
    EXPECT_EQ(statuses, std::vector<std::uint8_t>{0});
    const auto receiver = ReadBlock(*device, Link::kReceiver, 0x03, 0, 34, statuses);
    EXPECT_EQ(statuses, (std::vector<std::uint8_t>{0, 0}));  // 24 bytes at 0, 10 at 24
    EXPECT_EQ(wired, receiver);
    EXPECT_EQ(wired[5], c.key_slots);
    EXPECT_EQ(wired[6], c.macro_units);
  }
}

TEST(DeviceMemoryCommandsTest, MouseInfoCarriesTheSensorFields) {
  auto mouse = Make(0x2003);
  std::vector<std::uint8_t> statuses;
  const auto info = ReadBlock(*mouse, Link::kWired, 0x03, 0, 34, statuses);
  const std::vector<std::uint8_t> sensor(info.begin() + 9, info.begin() + 16);
  EXPECT_EQ(sensor, (std::vector<std::uint8_t>{0x25, 0x33, 100, 108, 0, 100, 0}));
}

// The host finds each key by searching the base table for its factory action.
TEST(DeviceMemoryCommandsTest, BaseKeyTableHoldsEachFactoryActionOnceOutOfLogicalOrder) {
  for (std::uint16_t product_id : {0x50EB, 0x5100, 0x5101}) {
    SCOPED_TRACE(product_id);
    auto keyboard = Make(product_id);
    std::vector<std::uint8_t> statuses;
    const std::size_t slots = ReadBlock(*keyboard, Link::kWired, 0x03, 0, 34, statuses)[5];
    const auto base = ReadBlock(*keyboard, Link::kReceiver, 0x07, 0, slots * 3, statuses);
    const auto leds = ReadBlock(*keyboard, Link::kWired, 0x1B, 0, slots, statuses);
    std::set<std::uint8_t> led_numbers;
    std::size_t keys = 0;
    std::size_t out_of_order = 0;
    for (std::size_t s = 0; s < slots; ++s) {
      const KeyAction action = {base[3 * s], base[3 * s + 1], base[3 * s + 2]};
      if (action == KeyAction{}) {
        EXPECT_EQ(leds[s], 0xFF) << "empty slot " << s << " has a light";
        continue;
      }
      const auto logical = std::find(kLogicalKeyActions.begin(), kLogicalKeyActions.end(), action);
      ASSERT_NE(logical, kLogicalKeyActions.end()) << "slot " << s;
      if (static_cast<std::size_t>(logical - kLogicalKeyActions.begin()) != s) ++out_of_order;
      EXPECT_LT(leds[s], slots);
      EXPECT_TRUE(led_numbers.insert(leds[s]).second) << "LED " << int{leds[s]} << " twice";
      ++keys;
    }
    EXPECT_GT(keys, 80u);
    EXPECT_GT(out_of_order, keys / 2);
  }
}

TEST(DeviceMemoryCommandsTest, DuplicateLogicalKeysShareOneSlot) {
  auto keyboard = Make(0x5100);
  std::vector<std::uint8_t> statuses;
  const auto base = ReadBlock(*keyboard, Link::kWired, 0x07, 0, 126 * 3, statuses);
  auto count = [&](const KeyAction& action) {
    std::size_t n = 0;
    for (std::size_t s = 0; s < 126; ++s)
      if (KeyAction{base[3 * s], base[3 * s + 1], base[3 * s + 2]} == action) ++n;
    return n;
  };
  EXPECT_EQ(count(kLogicalKeyActions[18]), 1u);   // B, also logical 89
  EXPECT_EQ(count(kLogicalKeyActions[19]), 1u);   // Space, also logical 108
  EXPECT_EQ(count(kLogicalKeyActions[20]), 0u);   // no-usage key, also logical 104
  EXPECT_EQ(count(kLogicalKeyActions[110]), 1u);  // Fn
}

TEST(DeviceMemoryCommandsTest, MouseBaseTableLacksTheButtonItDoesNotHave) {
  auto mouse = Make(0x2003);
  std::vector<std::uint8_t> statuses;
  const auto base = ReadBlock(*mouse, Link::kWired, 0x07, 0, 30, statuses);
  std::set<std::size_t> buttons;
  for (std::size_t s = 0; s < 10; ++s) {
    const KeyAction action = {base[3 * s], base[3 * s + 1], base[3 * s + 2]};
    const auto it = std::find(kMouseButtonActions.begin(), kMouseButtonActions.end(), action);
    ASSERT_NE(it, kMouseButtonActions.end());
    buttons.insert(static_cast<std::size_t>(it - kMouseButtonActions.begin()));
  }
  EXPECT_EQ(buttons.size(), 10u);
  EXPECT_FALSE(buttons.contains(7));
}

// Index 3 starts at 3 × 384 = 1152; 512 bytes end with an 8-byte packet at 1656 (wired).
TEST(DeviceMemoryCommandsTest, IndexedKeyTableWriteLandsAtItsLayerAndLeavesTheOthers) {
  for (Link link : {Link::kWired, Link::kReceiver}) {
    auto keyboard = Make(0x5100);
    std::vector<std::uint8_t> statuses;
    const auto table0_before = ReadBlock(*keyboard, link, 0x08, 0, 378, statuses);
    const auto written = Pattern(512, 7);
    WriteBlock(*keyboard, link, 0x09, 3 * 384, written, statuses);
    EXPECT_TRUE(std::all_of(statuses.begin(), statuses.end(), [](std::uint8_t s) { return s == 0; }));
    EXPECT_EQ(statuses.size(), link == Link::kWired ? 10u : 22u);
    EXPECT_EQ(ReadBlock(*keyboard, Link::kWired, 0x08, 3 * 384, 512, statuses), written);
    EXPECT_EQ(ReadBlock(*keyboard, Link::kWired, 0x08, 0, 378, statuses), table0_before);
    EXPECT_EQ(ReadBlock(*keyboard, Link::kWired, 0x07, 0, 378, statuses), table0_before);  // factory untouched
  }
}

TEST(DeviceMemoryCommandsTest, PacketPastTheEndOfARegionIsRefusedWholeAndWritesNothing) {
  auto keyboard = Make(0x5100);
  const auto before = keyboard->ReadMemory(MemoryRegion::kKeyTables, 1656, 8);
  const auto eight = Pattern(8, 1);
  auto reply = Exchange(*keyboard, Link::kWired, Request(0x09, 8, 1660, eight));
  EXPECT_EQ(reply[7], 0xFF);
  EXPECT_EQ(keyboard->ReadMemory(MemoryRegion::kKeyTables, 1656, 8), before);
  reply = Exchange(*keyboard, Link::kWired, Request(0x09, 8, 1656, eight));
  EXPECT_EQ(reply[7], 0x00);
  EXPECT_EQ(keyboard->ReadMemory(MemoryRegion::kKeyTables, 1656, 8), eight);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x08, 1, 1664))[7], 0xFF);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x08, 0, 0xFFFF))[7], 0xFF);
}

TEST(DeviceMemoryCommandsTest, FnWritesGoToTheIndexedTablesNotTheBuiltInLayer) {
  auto keyboard = Make(0x5101);
  std::vector<std::uint8_t> statuses;
  const auto built_in = ReadBlock(*keyboard, Link::kWired, 0x25, 0, 306, statuses);
  EXPECT_EQ(std::count(built_in.begin(), built_in.end(), 0x30), 12);  // F1..F12 carry media keys
  EXPECT_EQ(ReadBlock(*keyboard, Link::kWired, 0x26, 0, 306, statuses), built_in);
  const auto written = Pattern(306, 40);
  WriteBlock(*keyboard, Link::kReceiver, 0x27, 0, written, statuses);
  EXPECT_EQ(ReadBlock(*keyboard, Link::kWired, 0x26, 0, 306, statuses), written);
  EXPECT_EQ(ReadBlock(*keyboard, Link::kWired, 0x25, 0, 306, statuses), built_in);
}

struct RecordCase {
  std::uint16_t product_id;
  std::uint16_t address;     // where the host writes record index 0 or a = 0
  std::size_t written;       // bytes the host writes
  std::size_t read;          // bytes the host reads back
};

TEST(DeviceMemoryCommandsTest, SettingsRecordsReadBackAndKeepTheDeviceOwnedTail) {
  for (const RecordCase& c : {RecordCase{0x5100, 0, 34, 34}, RecordCase{0x2003, 0, 66, 71},
                              RecordCase{0x1004, 0, 21, 34}, RecordCase{0x1630, 0, 21, 34}}) {
    for (Link link : {Link::kWired, Link::kReceiver}) {
      SCOPED_TRACE(c.product_id);
      auto device = Make(c.product_id, c.product_id == 0x1630 ? 0x0C76 : 0x320F);
      std::vector<std::uint8_t> statuses;
      EXPECT_EQ(ReadBlock(*device, link, 0x05, 0, 1, statuses)[0], 0);  // current record index
      const auto before = ReadBlock(*device, link, 0x05, c.address, c.read, statuses);
      auto record = Pattern(c.written, 0);  // byte 0 = record index 0
      WriteBlock(*device, link, 0x06, c.address, record, statuses);
      EXPECT_TRUE(std::all_of(statuses.begin(), statuses.end(), [](std::uint8_t s) { return s == 0; }));
      const auto after = ReadBlock(*device, link, 0x05, c.address, c.read, statuses);
      EXPECT_TRUE(std::equal(record.begin(), record.end(), after.begin()));
      EXPECT_TRUE(std::equal(after.begin() + static_cast<std::ptrdiff_t>(c.written), after.end(),
                             before.begin() + static_cast<std::ptrdiff_t>(c.written)));
    }
  }
}

TEST(DeviceMemoryCommandsTest, KeyboardRecordsAreThirtyThreeApartAndEachStartsWithItsIndex) {
  auto keyboard = Make(0x50EB);
  for (std::uint8_t r = 0; r < 4; ++r) {
    const auto reply = Exchange(*keyboard, Link::kWired, Request(0x05, 34, static_cast<std::uint16_t>(r * 33)));
    EXPECT_EQ(reply[8], r);
    EXPECT_EQ(reply[8 + 22], 3) << "polling rate of record " << int{r};
  }
  auto mouse = Make(0x2003);
  for (std::uint8_t r = 0; r < 4; ++r)
    EXPECT_EQ(Exchange(*mouse, Link::kWired, Request(0x05, 1, static_cast<std::uint16_t>(r * 128)))[8], r);
}

TEST(DeviceMemoryCommandsTest, ColourTablesAreFiveHundredTwelveApart) {
  auto keyboard = Make(0x5100);
  std::vector<std::uint8_t> statuses;
  const auto colours = Pattern(378, 3);
  WriteBlock(*keyboard, Link::kWired, 0x0B, 2 * 512, colours, statuses);
  EXPECT_EQ(ReadBlock(*keyboard, Link::kReceiver, 0x0A, 2 * 512, 378, statuses), colours);
  EXPECT_EQ(*keyboard->ReadMemory(MemoryRegion::kColourTables, 1 * 512, 378), std::vector<std::uint8_t>(378, 0));
  // Group 7 is the last one.
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x0B, 4, 7 * 512 + 508, Pattern(4, 0)))[7], 0x00);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x0B, 1, 8 * 512, Pattern(1, 0)))[7], 0xFF);
}

TEST(DeviceMemoryCommandsTest, LiveFrameKeepsTheLastStreamedFrame) {
  auto keyboard = Make(0x5100);
  std::vector<std::uint8_t> statuses;
  const auto frame = Pattern(378, 9);
  WriteBlock(*keyboard, Link::kReceiver, 0x12, 0, frame, statuses);
  EXPECT_EQ(keyboard->ReadMemory(MemoryRegion::kLiveFrame, 0, 378), frame);
}

TEST(DeviceMemoryCommandsTest, MacroMemoryIsOneHundredTwentyEightBytesPerInfoUnit) {
  auto keyboard = Make(0x5101);  // 24 units
  const std::uint16_t end = 24 * 128;
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x15, 2, end - 2, Pattern(2, 0xAA)))[7], 0x00);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x15, 2, end - 1, Pattern(2, 0xAA)))[7], 0xFF);
  EXPECT_EQ(keyboard->MemorySize(MemoryRegion::kMacros), end);
}

TEST(DeviceMemoryCommandsTest, ShootImageOfFourFullPatternsFitsTheMouse) {
  auto mouse = Make(0x2003);
  std::vector<std::uint8_t> statuses;
  const auto image = Pattern(2920, 0);  // four 180-event patterns
  WriteBlock(*mouse, Link::kWired, 0x17, 0, image, statuses);
  EXPECT_EQ(statuses, std::vector<std::uint8_t>(53, 0));
  EXPECT_EQ(mouse->ReadMemory(MemoryRegion::kShoot, 0, 2920), image);
}

TEST(DeviceMemoryCommandsTest, PowerStatusIsSixBytesReadInOnePacket) {
  auto keyboard = Make(0x5100);
  const auto reply = Exchange(*keyboard, Link::kReceiver, Request(0x1A, 6, 0));
  EXPECT_EQ(reply[7], 0x00);
  EXPECT_EQ(reply[8], 80);  // percent
  EXPECT_EQ(reply[9], 2);   // on battery
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x1A, 7, 0))[7], 0xFF);
  const std::vector<std::uint8_t> charging = {55, 1, 0, 0, 9, 3};
  ASSERT_TRUE(keyboard->WriteMemory(MemoryRegion::kPowerStatus, 0, charging));
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x1A, 3, 3))[8 + 1], 9);
}

// Command, family: a family without that memory refuses it.
TEST(DeviceMemoryCommandsTest, FamiliesRefuseCommandsForMemoryTheyLack) {
  struct Case {
    std::uint16_t product_id;
    std::uint8_t command;
  };
  for (const Case& c : {Case{0x1004, 0x07}, Case{0x1004, 0x15}, Case{0x2003, 0x0A}, Case{0x2003, 0x1B},
                        Case{0x2003, 0x25}, Case{0x2003, 0x12}, Case{0x5100, 0x17}}) {
    auto device = Make(c.product_id);
    EXPECT_EQ(Exchange(*device, Link::kWired, Request(c.command, 1, 0, Pattern(1, 0)))[7], 0xFF)
        << std::hex << c.product_id << " " << int{c.command};
  }
}

TEST(DeviceMemoryCommandsTest, RepliesEchoTheRequestFieldsAndAValidChecksum) {
  auto keyboard = Make(0x5100);
  const auto reply = Exchange(*keyboard, Link::kWired, Request(0x08, 24, 0x0198));
  ASSERT_EQ(reply.size(), 64u);
  EXPECT_EQ(reply[0], 0x04);
  EXPECT_EQ(reply[3], 0x08);
  EXPECT_EQ(reply[4], 24);
  EXPECT_EQ(reply[5], 0x98);
  EXPECT_EQ(reply[6], 0x01);
  unsigned sum = 0;
  for (std::size_t i = 3; i < 64; ++i) sum += reply[i];
  EXPECT_EQ(reply[1] | (reply[2] << 8), sum & 0xFFFF);
}

TEST(DeviceMemoryCommandsTest, BareCommandsAnswerWithoutDataAndMarkTheirState) {
  auto keyboard = Make(0x5100);
  EXPECT_FALSE(keyboard->Status().transaction_open);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x01))[7], 0x00);
  EXPECT_TRUE(keyboard->Status().transaction_open);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x1C))[7], 0x00);
  EXPECT_TRUE(keyboard->Status().host_lighting);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x02))[7], 0x00);
  EXPECT_FALSE(keyboard->Status().transaction_open);
}

TEST(DeviceMemoryCommandsTest, MalformedRequestsAreRefused) {
  auto keyboard = Make(0x5100);
  auto corrupted = Request(0x09, 4, 0, Pattern(4, 1));
  corrupted[9] ^= 0x01;
  const auto before = keyboard->ReadMemory(MemoryRegion::kKeyTables, 0, 4);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, corrupted)[7], 0xFE);
  EXPECT_EQ(keyboard->ReadMemory(MemoryRegion::kKeyTables, 0, 4), before);
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x08, 57, 0))[7], 0xFF);  // more than a frame holds
  EXPECT_EQ(Exchange(*keyboard, Link::kWired, Request(0x33))[7], 0xFF);         // unknown command
}

TEST(DeviceMemoryCommandsTest, ShortRequestsAreZeroFilled) {
  auto keyboard = Make(0x5100);
  const auto full = Request(0x03, 6, 0);
  const std::vector<std::uint8_t> shortened(full.begin(), full.begin() + 8);
  const auto reply = Exchange(*keyboard, Link::kWired, shortened);
  ASSERT_EQ(reply.size(), 64u);
  EXPECT_EQ(reply[7], 0x00);
  EXPECT_EQ(reply[8 + 5], 126);
}

TEST(DeviceMemoryCommandsTest, OtherOutputReportsGetNoReply) {
  auto keyboard = Make(0x5100);
  const std::vector<std::uint8_t> caps_lock_led = {0x01, 0x02};
  EXPECT_TRUE(keyboard->HandleOutputReport(Link::kWired, caps_lock_led).empty());
  EXPECT_TRUE(keyboard->HandleOutputReport(Link::kWired, {}).empty());
}

}  // namespace
}  // namespace brontal::sim
