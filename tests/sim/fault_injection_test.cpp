#include <gtest/gtest.h>

#include "models/simulated_device.h"
#include "sim/request_frames.h"

namespace brontal::sim {
namespace {

using namespace std::chrono_literals;
using testing::Exchange;
using testing::Request;

class FaultInjectionTest : public ::testing::Test {
 protected:
  std::unique_ptr<SimulatedDevice> device_ = SimulatedDevice::Create(*FindProduct(0x320F, 0x221D));

  std::vector<TimedReport> Send(const std::vector<std::uint8_t>& request, Link link = Link::kWired) {
    return device_->HandleOutputReport(link, request);
  }
  std::vector<std::uint8_t> Write(std::uint8_t value) {
    const std::vector<std::uint8_t> payload = {value};
    return Request(0x09, 1, 0, payload);
  }
  std::uint8_t Stored() { return (*device_->ReadMemory(MemoryRegion::kKeyTables, 0, 1))[0]; }
};

TEST_F(FaultInjectionTest, DroppedRepliesStillTakeEffect) {
  device_->Faults().DropReplies(2);
  EXPECT_TRUE(Send(Write(0x41)).empty());
  EXPECT_EQ(Stored(), 0x41);
  EXPECT_TRUE(Send(Request(0x01)).empty());
  EXPECT_EQ(Send(Request(0x01)).size(), 1u);
}

TEST_F(FaultInjectionTest, WrongEchoAvoidsTheReceiverNoAnswerCode) {
  device_->Faults().WrongEcho(2);
  const auto first = Send(Request(0x03, 4, 0));
  ASSERT_EQ(first.size(), 1u);
  EXPECT_NE(first[0].bytes[3], 0x03);
  EXPECT_EQ(first[0].bytes[7], 0x00);
  const auto second = Send(Request(0xA9));
  EXPECT_NE(second[0].bytes[3], 0xA9);
  EXPECT_NE(second[0].bytes[3], 0xAA);
  EXPECT_EQ(Send(Request(0x03, 4, 0))[0].bytes[3], 0x03);
}

TEST_F(FaultInjectionTest, StrayRepliesComeAheadOfTheRealOne) {
  device_->Faults().StrayRepliesBeforeNextReply(2);
  const auto replies = Send(Request(0x03, 6, 0));
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_NE(replies[0].bytes[3], 0x03);
  EXPECT_NE(replies[1].bytes[3], 0x03);
  EXPECT_EQ(replies[2].bytes[3], 0x03);
  EXPECT_EQ(replies[2].bytes[8 + 5], 10);
  EXPECT_EQ(Send(Request(0x01)).size(), 1u);
}

TEST_F(FaultInjectionTest, InjectedErrorStatusRejectsTheCommand) {
  for (std::uint8_t status : {0xFF, 0xFE}) {
    device_->Faults().ErrorStatus(status, 1);
    const std::uint8_t before = Stored();
    const auto rejected = Send(Write(static_cast<std::uint8_t>(before + 1)));
    ASSERT_EQ(rejected.size(), 1u);
    EXPECT_EQ(rejected[0].bytes[3], 0x09);
    EXPECT_EQ(rejected[0].bytes[7], status);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Send(Write(0x10))[0].bytes[7], 0x00);
  }
}

TEST_F(FaultInjectionTest, DelaysAddUpAndTheOneOffDelayIsUsedOnce) {
  device_->Faults().SetExtraLatency(300us);
  device_->Faults().DelayNextReply(2s);
  EXPECT_EQ(Send(Request(0x01))[0].delay, 2s + 300us);
  EXPECT_EQ(Send(Request(0x01))[0].delay, 300us);
  device_->Faults().Clear();
  EXPECT_EQ(Send(Request(0x01))[0].delay, 0us);
}

TEST_F(FaultInjectionTest, UnplugCutsTheCommandAfterTheCountedOnes) {
  EXPECT_FALSE(device_->TakeUnplugRequest());
  device_->Faults().UnplugAfter(2);
  EXPECT_EQ(Send(Write(0x01)).size(), 1u);
  EXPECT_FALSE(device_->TakeUnplugRequest());
  EXPECT_EQ(Send(Write(0x02)).size(), 1u);
  EXPECT_TRUE(Send(Write(0x03)).empty());
  EXPECT_EQ(Stored(), 0x02);
  EXPECT_TRUE(device_->TakeUnplugRequest());
  EXPECT_FALSE(device_->TakeUnplugRequest());
  EXPECT_FALSE(device_->Journal().Entries().back().reached_device);
  EXPECT_EQ(Send(Write(0x04)).size(), 1u);  // fires once
}

TEST_F(FaultInjectionTest, UnplugAfterZeroCutsTheVeryNextCommand) {
  device_->Faults().UnplugAfter(0);
  EXPECT_TRUE(Send(Request(0x01)).empty());
  EXPECT_TRUE(device_->TakeUnplugRequest());
}

TEST_F(FaultInjectionTest, FaultsAlsoHitTheReceiversOwnAnswers) {
  device_->SetWirelessLink(false);
  device_->Faults().DropReplies(1);
  EXPECT_TRUE(Send(Request(0x01), Link::kReceiver).empty());
  EXPECT_EQ(Send(Request(0x01), Link::kReceiver)[0].bytes[3], 0xAA);
}

TEST_F(FaultInjectionTest, ClearDisarmsEverything) {
  device_->Faults().DropReplies(5);
  device_->Faults().ErrorStatus(0xFF, 5);
  device_->Faults().WrongEcho(5);
  device_->Faults().StrayRepliesBeforeNextReply(1);
  device_->Faults().UnplugAfter(0);
  device_->Faults().Clear();
  const auto replies = Send(Request(0x01));
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].bytes[3], 0x01);
  EXPECT_EQ(replies[0].bytes[7], 0x00);
  EXPECT_FALSE(device_->TakeUnplugRequest());
}

}  // namespace
}  // namespace brontal::sim
