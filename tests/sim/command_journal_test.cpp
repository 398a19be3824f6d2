#include "models/command_journal.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "models/simulated_device.h"
#include "sim/request_frames.h"

namespace brontal::sim {
namespace {

using testing::Request;

TEST(CommandJournalTest, RecordsEachReportWithWhatItCarried) {
  auto device = SimulatedDevice::Create(*FindProduct(0x320F, 0x5100));
  const std::vector<std::uint8_t> payload = {1, 2, 3};
  device->HandleOutputReport(Link::kWired, Request(0x01));
  device->HandleOutputReport(Link::kReceiver, Request(0x09, 3, 0x0180, payload));
  device->HandleOutputReport(Link::kReceiver, Request(0x08, 3, 0x0180));
  device->HandleOutputReport(Link::kWired, std::vector<std::uint8_t>{0x01, 0x02});

  const std::vector<JournalEntry> entries = device->Journal().Entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].command, 0x01);
  EXPECT_EQ(entries[0].link, Link::kWired);
  EXPECT_TRUE(entries[0].payload.empty());
  EXPECT_EQ(entries[1].link, Link::kReceiver);
  EXPECT_EQ(entries[1].command, 0x09);
  EXPECT_EQ(entries[1].length, 3);
  EXPECT_EQ(entries[1].address, 0x0180);
  EXPECT_EQ(entries[1].payload, payload);
  EXPECT_TRUE(entries[2].payload.empty()) << "a read carries no data";
  EXPECT_EQ(entries[3].report_id, 0x01);
  EXPECT_EQ(entries[3].payload, std::vector<std::uint8_t>{0x02});

  const JournalSummary summary = device->Journal().Summary();
  EXPECT_EQ(summary.commands, 3u);
  EXPECT_EQ(summary.other_reports, 1u);
  EXPECT_EQ(summary.wired, 1u);
  EXPECT_EQ(summary.receiver, 2u);
  EXPECT_EQ(FormatSummary(summary), "3 commands (wired 1, receiver 2), 1 other reports: 01x1 08x1 09x1");
  EXPECT_EQ(device->Status().journal.commands, 3u);
}

TEST(CommandJournalTest, KeepsTheLatestEntriesButCountsAll) {
  CommandJournal journal(2);
  for (std::uint8_t command : {0x01, 0x03, 0x02})
    journal.Record(JournalEntry{.link = Link::kWired, .report_id = 0x04, .command = command, .payload = {}});
  const auto entries = journal.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].command, 0x03);
  EXPECT_EQ(entries[1].command, 0x02);
  EXPECT_EQ(journal.Summary().commands, 3u);
  journal.Clear();
  EXPECT_TRUE(journal.Entries().empty());
  EXPECT_EQ(FormatSummary(journal.Summary()), "0 commands (wired 0, receiver 0), 0 other reports");
}

// Each case arms one way a command can be answered; the journal must hold the
// request, then exactly the replies that went back, byte for byte.
TEST(CommandJournalTest, TimelineHoldsEachRequestThenTheRepliesItGot) {
  struct Case {
    const char* name;
    std::function<void(SimulatedDevice&)> arm;
    Link link;
    std::size_t replies;
  };
  const Case cases[] = {
      {"answered", [](SimulatedDevice&) {}, Link::kWired, 1},
      {"dropped", [](SimulatedDevice& d) { d.Faults().DropReplies(1); }, Link::kWired, 0},
      {"unplugged", [](SimulatedDevice& d) { d.Faults().UnplugAfter(0); }, Link::kWired, 0},
      {"stray ahead", [](SimulatedDevice& d) { d.Faults().StrayRepliesBeforeNextReply(2); }, Link::kWired, 3},
      {"out of reach", [](SimulatedDevice& d) { d.SetWirelessLink(false); }, Link::kReceiver, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto device = SimulatedDevice::Create(*FindProduct(0x320F, 0x5100));
    device->HandleOutputReport(Link::kWired, Request(0x01));
    c.arm(*device);
    const std::vector<std::uint8_t> request = Request(0x03, 6, 0);
    const std::vector<TimedReport> sent = device->HandleOutputReport(c.link, request);
    ASSERT_EQ(sent.size(), c.replies);

    const std::vector<JournalEntry> timeline = device->Journal().Timeline();
    ASSERT_EQ(timeline.size(), 3 + c.replies);
    EXPECT_EQ(timeline[0].kind, JournalKind::kRequest);
    EXPECT_EQ(timeline[1].kind, JournalKind::kReply);
    EXPECT_EQ(timeline[2].kind, JournalKind::kRequest);
    EXPECT_EQ(timeline[2].bytes, request);
    for (std::size_t i = 0; i < c.replies; ++i) {
      EXPECT_EQ(timeline[3 + i].kind, JournalKind::kReply);
      EXPECT_EQ(timeline[3 + i].link, c.link);
      EXPECT_EQ(timeline[3 + i].bytes, sent[i].bytes);
      EXPECT_EQ(timeline[3 + i].reached_device, c.link == Link::kWired) << "the receiver answers for a device off";
    }
    for (std::size_t i = 1; i < timeline.size(); ++i) EXPECT_GE(timeline[i].time_ms, timeline[i - 1].time_ms);

    // Replies stay out of the host's reports and out of the counts.
    EXPECT_EQ(device->Journal().Entries().size(), 2u);
    EXPECT_EQ(device->Journal().Summary().commands, 2u);
    EXPECT_EQ(device->Journal().Summary().other_reports, 0u);
  }
}

TEST(CommandJournalTest, OtherReportsAreJournaledWhole) {
  auto headset = SimulatedDevice::Create(*FindProduct(0x0C76, 0x1630));
  std::vector<std::uint8_t> light(17, 0);
  light[0] = 0xFF;
  light[1] = 0x44;
  light[2] = 0xAB;
  headset->HandleOutputReport(Link::kWired, light);
  const auto timeline = headset->Journal().Timeline();
  ASSERT_EQ(timeline.size(), 1u);
  EXPECT_EQ(timeline[0].kind, JournalKind::kOutput);
  EXPECT_EQ(timeline[0].bytes, light);
}

TEST(CommandJournalTest, RepliesShareTheCapacityAndTimesCountFromCreation) {
  CommandJournal journal(2);
  journal.Record(JournalEntry{.kind = JournalKind::kRequest, .report_id = 0x04, .command = 0x01});
  journal.Record(JournalEntry{.kind = JournalKind::kReply, .report_id = 0x04, .command = 0x01});
  journal.Record(JournalEntry{.kind = JournalKind::kRequest, .report_id = 0x04, .command = 0x02});
  const auto timeline = journal.Timeline();
  ASSERT_EQ(timeline.size(), 2u);
  EXPECT_EQ(timeline[0].kind, JournalKind::kReply);
  EXPECT_EQ(timeline[1].command, 0x02);
  EXPECT_EQ(journal.Summary().commands, 2u);

  const double before = timeline[1].time_ms;
  journal.Clear();
  journal.Record(JournalEntry{.kind = JournalKind::kRequest, .report_id = 0x04, .command = 0x03});
  EXPECT_GE(journal.Timeline()[0].time_ms, before);
}

TEST(CommandJournalTest, FormatsOneLinePerEntry) {
  const struct {
    JournalEntry entry;
    const char* line;
  } cases[] = {
      {{.kind = JournalKind::kRequest, .bytes = {0x04, 0x3A, 0x01}, .time_ms = 12.3454}, "  12.345 ms  request  04 3a 01"},
      {{.kind = JournalKind::kReply, .bytes = {0x04, 0x00}, .time_ms = 0.0006}, "   0.001 ms  reply    04 00"},
      {{.kind = JournalKind::kOutput, .bytes = {0xFF}, .time_ms = 123456.5}, "123456.500 ms  output   ff"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatJournalLine(c.entry), c.line);
  EXPECT_EQ(HexBytes(std::vector<std::uint8_t>{0x00, 0xAB, 0x7F}, ""), "00ab7f");
}

}  // namespace
}  // namespace brontal::sim
