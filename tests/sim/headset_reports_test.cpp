#include <gtest/gtest.h>

#include "models/simulated_device.h"
#include "sim/request_frames.h"

namespace brontal::sim {
namespace {

using testing::Exchange;
using testing::Request;

std::vector<std::uint8_t> LightReport(std::uint8_t target, std::uint8_t plane, std::uint8_t first_value) {
  std::vector<std::uint8_t> report(17, 0);
  report[0] = 0xFF;
  report[1] = target;
  report[2] = plane;
  for (std::size_t i = 4; i <= 10; ++i) report[i] = static_cast<std::uint8_t>(first_value + i - 4);
  return report;
}

// Region layout: target × 39 + plane × 13 + position.
std::vector<std::uint8_t> Colours(const SimulatedDevice& headset, std::size_t target, std::size_t plane) {
  return *headset.ReadMemory(MemoryRegion::kHeadsetColours, (target * 3 + plane) * 13, 13);
}

TEST(HeadsetReportsTest, LightReportsSetTheirPlaneHalfWithoutReply) {
  auto headset = SimulatedDevice::Create(*FindProduct(0x0C76, 0x1630));
  EXPECT_TRUE(headset->HandleOutputReport(Link::kWired, LightReport(0x44, 0xAB, 10)).empty());
  EXPECT_TRUE(headset->HandleOutputReport(Link::kWired, LightReport(0x44, 0xAE, 20)).empty());
  // A six-value half ignores byte 10 (left over from the report before it).
  EXPECT_EQ(Colours(*headset, 1, 1), (std::vector<std::uint8_t>{10, 11, 12, 13, 14, 15, 16, 20, 21, 22, 23, 24, 25}));
  EXPECT_EQ(Colours(*headset, 0, 1), std::vector<std::uint8_t>(13, 0));
  EXPECT_EQ(Colours(*headset, 1, 0), std::vector<std::uint8_t>(13, 0));
  // The red upper half must not spill into green position 0.
  EXPECT_TRUE(headset->HandleOutputReport(Link::kWired, LightReport(0x22, 0xAD, 30)).empty());
  EXPECT_EQ(Colours(*headset, 0, 0), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 30, 31, 32, 33, 34, 35}));
  EXPECT_EQ(Colours(*headset, 0, 1), std::vector<std::uint8_t>(13, 0));

  const auto entries = headset->Journal().Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].report_id, 0xFF);
  EXPECT_EQ(entries[0].payload.size(), 16u);
  EXPECT_EQ(headset->Journal().Summary().other_reports, 3u);
}

TEST(HeadsetReportsTest, UnknownOrShortLightReportsAreOnlyJournaled) {
  auto headset = SimulatedDevice::Create(*FindProduct(0x0C76, 0x1630));
  auto short_report = LightReport(0x22, 0xAA, 1);
  short_report.resize(8);
  for (const auto& report : {LightReport(0x33, 0xAA, 1), LightReport(0x22, 0xB0, 1), short_report})
    EXPECT_TRUE(headset->HandleOutputReport(Link::kWired, report).empty());
  for (std::size_t target = 0; target < 2; ++target)
    for (std::size_t plane = 0; plane < 3; ++plane)
      EXPECT_EQ(Colours(*headset, target, plane), std::vector<std::uint8_t>(13, 0));
  EXPECT_EQ(headset->Journal().Entries().size(), 3u);
}

TEST(HeadsetReportsTest, KeepsThePadRecordAndPowerStatusOnTheCommandChannel) {
  auto headset = SimulatedDevice::Create(*FindProduct(0x0C76, 0x1630));
  const std::vector<std::uint8_t> record = {0, 3, 4, 1};
  EXPECT_EQ(Exchange(*headset, Link::kWired, Request(0x06, 4, 0, record))[7], 0x00);
  const auto reply = Exchange(*headset, Link::kWired, Request(0x05, 4, 0));
  EXPECT_TRUE(std::equal(record.begin(), record.end(), reply.begin() + 8));
  EXPECT_EQ(Exchange(*headset, Link::kWired, Request(0x1A, 6, 0))[7], 0x00);
  EXPECT_EQ(Exchange(*headset, Link::kWired, Request(0x09, 1, 0, record))[7], 0xFF);
}

}  // namespace
}  // namespace brontal::sim
