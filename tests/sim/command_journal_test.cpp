#include "models/command_journal.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace brontal::sim
