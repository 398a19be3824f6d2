#include "device_access/command_channel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "device_access/hid_path.h"
#include "sim/channel_on_simulator.h"
#include "helpers/trace_recorder.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using sim::Link;
using test::ChannelOnSimulator;

struct Packet {
  std::uint8_t command, length;
  std::uint16_t address;
  bool operator==(const Packet&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Packet& p) {
  return os << "{" << int{p.command} << ", " << int{p.length} << ", " << p.address << "}";
}

class CommandChannelTest : public ChannelOnSimulator {
 protected:
  std::vector<Packet> Sent() {
    std::vector<Packet> packets;
    for (const sim::JournalEntry& e : device()->Journal().Entries()) packets.push_back({e.command, e.length, e.address});
    return packets;
  }
};

TEST_F(CommandChannelTest, DeviceInfoTakesOnePacketWiredAndTwoThroughTheReceiver) {
  ConnectKeyboard(Link::kWired);
  std::vector<std::uint8_t> info(kDeviceInfoSize);
  ASSERT_EQ(channel.ReadDeviceInfo(info), CommandResult::kSuccess);
  EXPECT_EQ(Sent(), (std::vector<Packet>{{0x03, 34, 0}}));
  EXPECT_EQ(info, DeviceMemory(sim::MemoryRegion::kDeviceInfo, 34));

  device()->Journal().Clear();
  ConnectKeyboard(Link::kReceiver);
  std::vector<std::uint8_t> again(kDeviceInfoSize);
  ASSERT_EQ(channel.ReadDeviceInfo(again), CommandResult::kSuccess);
  EXPECT_EQ(Sent(), (std::vector<Packet>{{0x03, 24, 0}, {0x03, 10, 24}}));
  EXPECT_EQ(again, info);
}

TEST_F(CommandChannelTest, IndexedKeyTableAddressesAdvanceByTheChunk) {
  ConnectKeyboard(Link::kWired);
  std::vector<std::uint8_t> table(512);
  ASSERT_EQ(channel.ReadIndexBlock(command::kReadIndexedKeyTable, 3, table), CommandResult::kSuccess);
  std::vector<Packet> want;
  for (std::uint16_t p = 0; p < 504; p += 56) want.push_back({0x08, 56, static_cast<std::uint16_t>(1152 + p)});
  want.push_back({0x08, 8, 1152 + 504});
  EXPECT_EQ(Sent(), want);
}

TEST_F(CommandChannelTest, WrittenTablesReadBackOnBothLinks) {
  for (const Link link : {Link::kWired, Link::kReceiver}) {
    ConnectKeyboard(link);
    std::vector<std::uint8_t> table(512);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i * 7 + (link == Link::kWired));
    ASSERT_EQ(channel.WriteIndexBlock(command::kWriteIndexedKeyTable, 1, table), CommandResult::kSuccess);
    std::vector<std::uint8_t> back(512);
    ASSERT_EQ(channel.ReadIndexBlock(command::kReadIndexedKeyTable, 1, back), CommandResult::kSuccess);
    EXPECT_EQ(back, table);
    EXPECT_EQ(DeviceMemory(sim::MemoryRegion::kKeyTables, 512, 384), table);
  }
}

TEST_F(CommandChannelTest, ShortTablesAndRefusedIndexesSendWhatTheyShould) {
  ConnectKeyboard(Link::kWired);
  ASSERT_TRUE(channel.SetDataLength(384));
  std::vector<std::uint8_t> leds(128);
  EXPECT_EQ(channel.ReadKeyByteTable(leds), CommandResult::kSuccess);
  EXPECT_EQ(Sent(), (std::vector<Packet>{{0x1B, 56, 0}, {0x1B, 56, 56}, {0x1B, 16, 112}}));

  device()->Journal().Clear();
  std::vector<std::uint8_t> table(512);
  EXPECT_EQ(channel.WriteIndexBlock(command::kWriteIndexedKeyTable, 4, table), CommandResult::kBadIndex);
  EXPECT_EQ(channel.ReadIndexBlock(command::kReadSecondIndexedKeyTable, -1, table), CommandResult::kBadIndex);
  EXPECT_TRUE(Sent().empty());

  EXPECT_FALSE(channel.SetDataLength(513));
  EXPECT_EQ(channel.data_length(), 384);
  EXPECT_TRUE(channel.SetDataLength(512));
}

TEST_F(CommandChannelTest, ErrorStatusEndsATransferAtItsPacket) {
  struct Case {
    std::uint8_t status;
    CommandResult result;
  };
  for (const Case c : {Case{0xFF, CommandResult::kStatusFF}, Case{0xFE, CommandResult::kStatusFE}}) {
    ConnectKeyboard(Link::kWired);
    device()->Journal().Clear();
    std::vector<std::uint8_t> table(512, 0x11);
    device()->Faults().ErrorStatus(c.status, 1);
    EXPECT_EQ(channel.WriteIndexBlock(command::kWriteIndexedKeyTable, 0, table), c.result);
    EXPECT_EQ(Sent().size(), 1u);  // nothing after the refused packet
  }
  EXPECT_EQ(channel.SendCommand(command::kBegin), CommandResult::kSuccess);
}

TEST_F(CommandChannelTest, EchoRules) {
  ConnectKeyboard(Link::kWired);
  Frame reply{};
  const Frame request = BuildRequest(command::kBegin, 0, 0);

  // One stray report before the answer: the second read takes the answer.
  device()->Faults().StrayRepliesBeforeNextReply(1);
  EXPECT_EQ(channel.Exchange(request, reply, nullptr), CommandResult::kSuccess);
  EXPECT_EQ(reply[frame_offset::kCommand], command::kBegin);

  // Two in a row: the exchange ends with the outcome of the second read.
  device()->Faults().StrayRepliesBeforeNextReply(2);
  EXPECT_EQ(channel.Exchange(request, reply, nullptr), CommandResult::kSuccess);
  EXPECT_NE(reply[frame_offset::kCommand], command::kBegin);
}

TEST_F(CommandChannelTest, ReceiverWithoutItsDeviceGivesMinus101AtOnce) {
  ConnectKeyboard(Link::kReceiver);
  device()->SetWirelessLink(false);
  std::array<std::uint8_t, kDeviceInfoSize> info{};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(channel.ReadDeviceInfo(info), CommandResult::kReceiverNoAnswer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);  // no second read waiting 5 s
  EXPECT_FALSE(channel.QueryLink());

  device()->SetWirelessLink(true);
  EXPECT_TRUE(channel.QueryLink());
}

TEST_F(CommandChannelTest, QueryLinkOnTheCableSendsNothing) {
  ConnectKeyboard(Link::kWired);
  EXPECT_TRUE(channel.QueryLink());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(CommandChannelTest, ClosedChannelAndLostDeviceFailWithoutWaiting) {
  ConnectKeyboard(Link::kWired);
  channel.set_open(false);
  EXPECT_EQ(channel.SendCommand(command::kBegin), CommandResult::kNoReply);
  EXPECT_TRUE(Sent().empty());
  channel.set_open(true);

  // Unplugged after two packets of a key table write: the third gets no answer.
  device()->Faults().UnplugAfter(2);
  std::vector<std::uint8_t> table(512);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(channel.WriteIndexBlock(command::kWriteIndexedKeyTable, 0, table), CommandResult::kNoReply);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
  EXPECT_EQ(Sent().size(), 3u);
  EXPECT_EQ(channel.SendCommand(command::kBegin), CommandResult::kWriteFailed);
}

TEST_F(CommandChannelTest, TheTraceShowsBothPacketsZeroFilled) {
  ConnectKeyboard(Link::kWired);
  test::TraceRecorder trace;
  const std::uint8_t request[] = {0x04, 0x01, 0x00, 0x01};  // a short request: zero-filled to 64 bytes
  Frame reply{};
  ASSERT_EQ(channel.Exchange(request, reply, nullptr), CommandResult::kSuccess);
  const std::vector<std::string> lines = trace.Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "命令");
  EXPECT_EQ(lines[1],
            "04 01 00 01   00 00 00 00   00 00 00 00   00 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00  "
            "00 00 00 00");
  EXPECT_EQ(lines[2], FormatFrameLine(std::array<std::uint8_t, 32>{}));
  EXPECT_EQ(lines[3], "返回");
  EXPECT_EQ(lines[4].substr(0, 11), "04 01 00 01");  // the device echoes the short request as sent
  EXPECT_EQ(Sent(), (std::vector<Packet>{{0x01, 0, 0}}));
}

TEST_F(CommandChannelTest, FramesAreDroppedNotQueuedWhileACommandIsInFlight) {
  ConnectKeyboard(Link::kWired);
  test::TraceRecorder trace;
  device()->Faults().DelayNextReply(300ms);
  auto command = std::async(std::launch::async, [&] { return channel.SendCommand(command::kBegin); });
  while (!channel.busy()) std::this_thread::yield();
  std::vector<std::uint8_t> frame(126 * 3, 0x40);
  EXPECT_EQ(channel.StreamFrame(frame), CommandResult::kSuccess);  // dropped packets count as sent
  EXPECT_EQ(command.get(), CommandResult::kSuccess);
  for (const Packet& p : Sent()) EXPECT_NE(p.command, command::kLightingFrame);
  EXPECT_EQ(trace.Count("放弃灯光数据"), 7);  // 378 bytes in 56-byte packets
}

TEST_F(CommandChannelTest, ConcurrentSendersNeverTakeEachOthersReplies) {
  ConnectKeyboard(Link::kWired);
  const std::vector<std::uint8_t> info = DeviceMemory(sim::MemoryRegion::kDeviceInfo, 34);
  auto reader = std::async(std::launch::async, [&] {
    int good = 0;
    for (int i = 0; i < 40; ++i) {
      std::array<std::uint8_t, kDeviceInfoSize> got{};
      if (channel.ReadDeviceInfo(got) == CommandResult::kSuccess && std::equal(got.begin(), got.end(), info.begin()))
        ++good;
    }
    return good;
  });
  auto colours = std::async(std::launch::async, [&] {
    int good = 0;
    std::vector<std::uint8_t> table(512, 0x33);
    for (int i = 0; i < 20; ++i)
      if (channel.WriteStrided(command::kWriteKeyColours, table, 1, 512) == CommandResult::kSuccess) ++good;
    return good;
  });
  std::vector<std::uint8_t> frame(378, 0x21);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(channel.StreamFrame(frame), CommandResult::kSuccess);
  EXPECT_EQ(reader.get(), 40);
  EXPECT_EQ(colours.get(), 20);
  EXPECT_EQ(DeviceMemory(sim::MemoryRegion::kColourTables, 512, 512), std::vector<std::uint8_t>(512, 0x33));
}

}  // namespace
}  // namespace brontal
