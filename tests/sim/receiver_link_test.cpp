#include <gtest/gtest.h>

#include "models/simulated_device.h"
#include "sim/request_frames.h"

namespace brontal::sim {
namespace {

using testing::Exchange;
using testing::Request;

std::unique_ptr<SimulatedDevice> Keyboard() { return SimulatedDevice::Create(*FindProduct(0x320F, 0x5103)); }

TEST(ReceiverLinkTest, ReceiverAndCableReachOneDevice) {
  auto device = Keyboard();
  EXPECT_EQ(device->CabledProduct().product_id, 0x5100);
  ASSERT_NE(device->ReceiverProduct(), nullptr);
  EXPECT_EQ(device->ReceiverProduct()->product_id, 0x5103);
  const std::vector<std::uint8_t> record = {0, 7};
  EXPECT_EQ(Exchange(*device, Link::kReceiver, Request(0x06, 2, 0, record))[7], 0x00);
  EXPECT_EQ(Exchange(*device, Link::kWired, Request(0x05, 2, 0))[8 + 1], 7);
}

TEST(ReceiverLinkTest, LinkCheckAnswersFFWhileTheDeviceIsReachable) {
  auto device = Keyboard();
  const auto reply = Exchange(*device, Link::kReceiver, Request(0xAA));
  EXPECT_EQ(reply[3], 0xAA);
  EXPECT_EQ(reply[7], 0x00);
  EXPECT_EQ(reply[8], 0xFF);
}

TEST(ReceiverLinkTest, WithTheWirelessPartOffEveryCommandIsAnsweredWithAA) {
  auto device = Keyboard();
  device->SetWirelessLink(false);
  EXPECT_FALSE(device->WirelessLinkOn());
  const auto before = device->ReadMemory(MemoryRegion::kParameters, 0, 2);
  const std::vector<std::uint8_t> record = {0, 9};
  for (const auto& request : {Request(0x01), Request(0x03, 24, 0), Request(0x06, 2, 0, record), Request(0xAA)}) {
    const auto reply = Exchange(*device, Link::kReceiver, request);
    ASSERT_EQ(reply.size(), 64u);
    EXPECT_EQ(reply[3], 0xAA) << "command " << int{request[3]};
    EXPECT_EQ(reply[8], 0x00) << "no data, and for 0xAA no link";
  }
  EXPECT_EQ(device->ReadMemory(MemoryRegion::kParameters, 0, 2), before);
  EXPECT_FALSE(device->Status().transaction_open);
  for (const JournalEntry& entry : device->Journal().Entries()) EXPECT_FALSE(entry.reached_device);

  // The cable does not depend on the wireless part.
  EXPECT_EQ(Exchange(*device, Link::kWired, Request(0x03, 6, 0))[3], 0x03);
  device->SetWirelessLink(true);
  EXPECT_EQ(Exchange(*device, Link::kReceiver, Request(0x03, 6, 0))[3], 0x03);
}

}  // namespace
}  // namespace brontal::sim
