#include <gtest/gtest.h>

#include "device_access/hid_path.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/roster_fixture.h"
#include "helpers/trace_recorder.h"
#include "ui/toolkit/layout_builder.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

// A device that counts what the entry's timers ask of it.
class CountingDevice : public CCorvaneUSBDevice {
 public:
  explicit CountingDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kKeyboard) {}
  ~CountingDevice() override { StopThreads(); }
  void OnConnected() override { ++connected; }
  void OnSyncRequest() override { ++syncs; }
  void SendLightFrame() override { ++frames; }
  void PollStatus() override { ++polls; }
  bool IsLinkAlive() override { return link_alive; }
  bool StreamsLights() const override { return streams; }

  int connected = 0, syncs = 0, frames = 0, polls = 0;
  bool link_alive = true;
  bool streams = true;
};

class DeviceOptionTimersTest : public test::DeviceUiFixture {
 protected:
  DeviceOptionTimersTest() {
    auto device = std::make_unique<CountingDevice>(loop);
    device_ = device.get();
    device_->Setup({"", 4, 4, 5, true, "keyboard", EntryKind::kKeyboard, "drumo_light", kInterfaceTable[15]});
    dynamic_cast<CContainerUI*>(window.GetPaintManager().FindControl("device_switch"))->Add(std::move(device));
    LayoutResult built = LayoutBuilder(toolkit.Factory(), nullptr)
                             .Build(toolkit.Resources().LayoutPath("XML\\CustomControlXML\\DeviceOption.xml"));
    EXPECT_TRUE(built.root) << built.error;
    entry_ = dynamic_cast<CDeviceOptionUI*>(built.root.get());
    dynamic_cast<CContainerUI*>(window.GetPaintManager().FindControl("device_select_layout"))
        ->Add(std::move(built.root));
    entry_->Attach(*device_);
  }

  void Connect(bool receiver) {
    device_->set_receiver_link(receiver);
    device_->channel().set_open(true);
    entry_->StartConnectTimer();
  }

  CountingDevice* device_ = nullptr;
  CDeviceOptionUI* entry_ = nullptr;
};

TEST_F(DeviceOptionTimersTest, OnTheCableTheDeviceConnectsWithoutALinkTestAndFramesEvery10Ms) {
  device_->link_alive = false;  // never asked on the cable
  Connect(false);
  loop.AdvanceBy(499ms);
  EXPECT_EQ(device_->connected, 0);
  loop.AdvanceBy(1ms);
  EXPECT_EQ(device_->connected, 1);
  loop.AdvanceBy(5ms);
  EXPECT_EQ(device_->frames, 1);
  loop.AdvanceBy(100ms);
  EXPECT_EQ(device_->frames, 11);
  EXPECT_EQ(device_->polls, 1);  // 50 ms after connecting
  loop.AdvanceBy(5000ms);
  EXPECT_EQ(device_->polls, 2);
  EXPECT_FALSE(window.GetPaintManager().HasTimer(*entry_, CDeviceOptionUI::kPresenceTimer));

  // Lights the device shows itself need frames only for the picture.
  device_->streams = false;
  const int streamed = device_->frames;
  loop.AdvanceBy(10ms);  // the frame that finds it out
  loop.AdvanceBy(90ms);
  EXPECT_EQ(device_->frames, streamed + 1 + 3);

  device_->channel().set_open(false);
  const int frames = device_->frames;
  loop.AdvanceBy(100ms);
  EXPECT_EQ(device_->frames, frames + 1);  // the frame due, then none
}

TEST_F(DeviceOptionTimersTest, ThroughTheReceiverFramesEvery50MsAndPresenceIsWatched) {
  entry_->SetVisible(false);
  Connect(true);
  loop.AdvanceBy(500ms);
  EXPECT_EQ(device_->connected, 1);
  EXPECT_TRUE(entry_->IsVisible());
  loop.AdvanceBy(5ms + 100ms);
  EXPECT_EQ(device_->frames, 3);

  device_->link_alive = false;
  loop.AdvanceBy(1895ms);  // presence check 2000 ms after connecting
  EXPECT_FALSE(entry_->IsVisible());
  device_->link_alive = true;
  const int polls = device_->polls;
  loop.AdvanceBy(3000ms);
  EXPECT_TRUE(entry_->IsVisible());
  EXPECT_EQ(device_->polls, polls + 1);  // back online: status at once
  EXPECT_EQ(device_->connected, 1);
}

TEST_F(DeviceOptionTimersTest, FailedConnectsRetryEvery3SecondsAndTheCountWraps) {
  device_->link_alive = false;
  Connect(true);
  loop.AdvanceBy(500ms);
  for (int i = 1; i < 25; ++i) loop.AdvanceBy(3000ms);
  EXPECT_EQ(entry_->connect_failures(), 25 % CDeviceOptionUI::kFailureWrap);
  EXPECT_EQ(device_->connected, 0);
  device_->link_alive = true;
  loop.AdvanceBy(3000ms);
  EXPECT_EQ(device_->connected, 1);
  EXPECT_EQ(entry_->connect_failures(), 0);
}

TEST_F(DeviceOptionTimersTest, ABurstOfSyncRequestsGivesOneSync) {
  simulator().Plug(0x320F, 0x5100);
  std::string event_path;
  CHidDevice scan;
  ASSERT_TRUE(scan.EnumerateInterfaces());
  while (const auto p = scan.NextPath())
    if (ParseCollectionNumber(*p) == 3) event_path = *p;
  ASSERT_TRUE(device_->OpenEventCollection(event_path));
  for (int i = 0; i < 3; ++i) simulator().Event(0x320F, 0x5100, 0x0401);
  simulator().Event(0x320F, 0x5100, 0x0404);
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (device_->heartbeats() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(device_->heartbeats(), 1u);
  loop.RunUntilIdle();  // the requests arm the sync timer
  loop.AdvanceBy(49ms);
  EXPECT_EQ(device_->syncs, 0);
  loop.AdvanceBy(1ms);
  EXPECT_EQ(device_->syncs, 1);
  loop.AdvanceBy(1000ms);
  EXPECT_EQ(device_->syncs, 1);
}

TEST_F(DeviceOptionTimersTest, StoppingEndsABlockedEventReadAndTheLightingThreadAtOnce) {
  test::TraceRecorder trace;
  simulator().Plug(0x320F, 0x5100);
  CHidDevice scan;
  ASSERT_TRUE(scan.EnumerateInterfaces());
  while (const auto p = scan.NextPath()) {
    if (ParseCollectionNumber(*p) == 3) {
      ASSERT_TRUE(device_->OpenEventCollection(*p));
    }
  }
  Connect(false);
  loop.AdvanceBy(500ms);  // starts the lighting thread
  std::this_thread::sleep_for(20ms);
  const auto start = std::chrono::steady_clock::now();
  device_->StopThreads();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  EXPECT_EQ(trace.Count("线程退出：：对象处于激发状态"), 2);
  EXPECT_EQ(trace.Count("MS设备同步线程设定退出"), 1);
}

}  // namespace
}  // namespace brontal
