#include "devices/device_roster.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "devices/corvane_usb_device.h"
#include "devices/discovery_thread.h"
#include "devices/roster_fixture.h"
#include "helpers/pump_until.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kHeartbeat = 0x0404;

// Discovery and the roster on the simulator, as the main window runs them.
class DeviceRosterTest : public test::DeviceUiFixture {
 protected:
  DeviceRosterTest() {
    roster_.listener = [this](const RosterEvent& e) { events_.push_back(e); };
  }
  ~DeviceRosterTest() override { discovery_.Stop(); }

  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    return test::PumpUntil(loop, done);
  }
  // Waits until discovery has seen `count` messages of `kind` in all.
  bool SeenEvents(RosterEvent::Kind kind, std::size_t count) {
    return PumpUntil([&] {
      return static_cast<std::size_t>(std::count_if(events_.begin(), events_.end(),
                                                    [&](const RosterEvent& e) { return e.kind == kind; })) >= count;
    });
  }
  CCorvaneUSBDevice& Only() {
    EXPECT_EQ(roster_.devices().size(), 1u);
    return *roster_.devices().front();
  }
  bool NoDeviceShown() { return window.GetPaintManager().FindControl("No_device_Link")->IsVisible(); }

  SlotList slots_;
  DeviceRoster roster_{window, slots_};
  std::vector<RosterEvent> events_;
  DiscoveryThread discovery_{slots_, loop,
                             [this](const WindowMessage& m) {
                               if (m.id == kMsgDeviceArrived) roster_.OnDeviceArrived(m.wparam);
                               if (m.id == kMsgDeviceRemoved) roster_.OnDeviceRemoved(m.wparam);
                             },
                             0xC001};
};

TEST_F(DeviceRosterTest, AKeyboardPairGivesOneDeviceOnTheCable) {
  simulator().Plug(0x320F, 0x5100);
  simulator().Plug(0x320F, 0x5103);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  CCorvaneUSBDevice& keyboard = Only();
  EXPECT_EQ(keyboard.family(), DeviceFamily::kKeyboard);
  EXPECT_EQ(keyboard.identity().product_id, 0x5100);
  EXPECT_FALSE(keyboard.receiver_link());
  EXPECT_EQ(keyboard.channel().chunk_size(), 56);
  EXPECT_TRUE(keyboard.channel().open());
  EXPECT_TRUE(keyboard.event_collection_open());
  ASSERT_NE(keyboard.entry(), nullptr);
  EXPECT_TRUE(keyboard.entry()->IsVisible());
  EXPECT_TRUE(keyboard.entry()->IsSelected());
  EXPECT_FALSE(NoDeviceShown());
  auto* pages = dynamic_cast<CTabLayoutUI*>(window.GetPaintManager().FindControl("device_switch"));
  EXPECT_EQ(pages->GetCurSel(), keyboard.entry()->page_index());
  EXPECT_EQ(std::count_if(events_.begin(), events_.end(),
                          [](const RosterEvent& e) { return e.kind == RosterEvent::Kind::kCreated; }),
            1);
}

TEST_F(DeviceRosterTest, TheCableWinsAndTheReceiverTakesOverWhenItGoes) {
  simulator().Plug(0x320F, 0x5100);
  simulator().Plug(0x320F, 0x5103);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  CCorvaneUSBDevice& keyboard = Only();

  simulator().Unplug(0x320F, 0x5100);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kRemoved, 2));
  EXPECT_TRUE(keyboard.receiver_link());
  EXPECT_EQ(keyboard.channel().chunk_size(), 24);
  EXPECT_TRUE(keyboard.channel().open());
  EXPECT_TRUE(keyboard.event_collection_open());  // the receiver's event collection took over
  std::vector<std::uint8_t> info(kDeviceInfoSize);
  EXPECT_EQ(keyboard.channel().ReadDeviceInfo(info), CommandResult::kSuccess);

  simulator().Plug(0x320F, 0x5100);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 6));
  EXPECT_FALSE(keyboard.receiver_link());
  EXPECT_EQ(keyboard.channel().chunk_size(), 56);
  EXPECT_EQ(keyboard.channel().ReadDeviceInfo(info), CommandResult::kSuccess);
  // Back on the cable, the page is told to refresh.
  EXPECT_TRUE(std::any_of(window.messages.begin(), window.messages.end(), [](const WindowMessage& m) {
    return m.id == kMsgRefreshDevicePage && m.wparam == 5 && m.lparam == 1;
  }));

  // Pulling the receiver while the cable is in changes nothing.
  simulator().Unplug(0x320F, 0x5103);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kRemoved, 4));
  EXPECT_FALSE(keyboard.receiver_link());
  EXPECT_TRUE(keyboard.channel().open());
  EXPECT_TRUE(keyboard.entry()->IsVisible());
}

TEST_F(DeviceRosterTest, TheLastLinkGoingClosesEverythingAndShowsNoDevice) {
  simulator().Plug(0x320F, 0x2003);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 2));
  CCorvaneUSBDevice& mouse = Only();
  EXPECT_FALSE(NoDeviceShown());
  simulator().Unplug(0x320F, 0x2003);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kRemoved, 2));
  EXPECT_FALSE(mouse.channel().open());
  EXPECT_FALSE(mouse.channel().wired_collection().IsOpen());
  EXPECT_FALSE(mouse.event_collection_open());
  EXPECT_FALSE(mouse.entry()->IsVisible());
  EXPECT_TRUE(NoDeviceShown());

  // The same object serves the product when it returns.
  simulator().Plug(0x320F, 0x2003);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  EXPECT_EQ(&Only(), &mouse);
  EXPECT_TRUE(mouse.channel().open());
  EXPECT_TRUE(mouse.entry()->IsVisible());
}

TEST_F(DeviceRosterTest, AReceiverWhoseDeviceIsOffStaysHiddenUntilItAnswers) {
  simulator().Device(0x320F, 0x5103)->SetWirelessLink(false);
  simulator().Plug(0x320F, 0x5103);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 2));
  CCorvaneUSBDevice& keyboard = Only();
  CDeviceOptionUI& entry = *keyboard.entry();
  EXPECT_TRUE(keyboard.receiver_link());
  EXPECT_FALSE(entry.IsVisible());

  // The link test runs on the device's I/O thread: its answer comes back through the loop.
  loop.AdvanceBy(500ms);  // the connect timer: no answer through the receiver
  ASSERT_TRUE(PumpUntil([&] { return entry.connect_failures() == 1; }));
  EXPECT_FALSE(entry.IsVisible());
  loop.AdvanceBy(3000ms);
  ASSERT_TRUE(PumpUntil([&] { return entry.connect_failures() == 2; }));
  EXPECT_FALSE(entry.IsVisible());
  EXPECT_TRUE(NoDeviceShown());

  simulator().Device(0x320F, 0x5103)->SetWirelessLink(true);
  loop.AdvanceBy(3000ms);
  ASSERT_TRUE(PumpUntil([&] { return entry.IsVisible(); }));
  EXPECT_EQ(entry.connect_failures(), 0);
  EXPECT_FALSE(NoDeviceShown());
  EXPECT_TRUE(std::any_of(events_.begin(), events_.end(),
                          [](const RosterEvent& e) { return e.kind == RosterEvent::Kind::kOnline; }));
}

TEST_F(DeviceRosterTest, ASecondProductOfAnotherKindGetsItsOwnEntryAndSynchroNeedsTwo) {
  simulator().Plug(0x320F, 0x5100);
  simulator().Plug(0x320F, 0x2003);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  ASSERT_EQ(roster_.devices().size(), 2u);
  CDeviceOptionUI& keyboard = *roster_.devices()[0]->entry();
  CDeviceOptionUI& mouse = *roster_.devices()[1]->entry();
  auto synchro = [](CDeviceOptionUI& e) { return CPaintManagerUI::FindSubControlByName(&e, "synchro_device_select"); };
  EXPECT_TRUE(synchro(keyboard)->IsVisible());
  keyboard.SetSynchro(true);
  roster_.RefreshNoDeviceState();
  EXPECT_FALSE(keyboard.IsSynchro());  // one ticked entry is not a group
  keyboard.SetSynchro(true);
  mouse.SetSynchro(true);
  roster_.RefreshNoDeviceState();
  EXPECT_TRUE(keyboard.IsSynchro());

  simulator().Unplug(0x320F, 0x2003);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kRemoved, 2));
  EXPECT_FALSE(keyboard.IsSynchro());
  EXPECT_FALSE(synchro(keyboard)->IsVisible());
}

TEST_F(DeviceRosterTest, UnpluggingDuringATransferNeitherHangsNorBreaksTheDevice) {
  simulator().Plug(0x320F, 0x5100);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 2));
  CCorvaneUSBDevice& keyboard = Only();
  std::atomic<bool> running{true};
  std::atomic<int> failures{0};
  std::thread writer([&] {
    std::vector<std::uint8_t> table(512, 0x42);
    while (running) {
      if (keyboard.channel().WriteIndexBlock(command::kWriteIndexedKeyTable, 0, table) != CommandResult::kSuccess)
        ++failures;
    }
  });
  std::this_thread::sleep_for(30ms);
  simulator().Unplug(0x320F, 0x5100);
  const bool removed = SeenEvents(RosterEvent::Kind::kRemoved, 2);
  running = false;
  writer.join();
  ASSERT_TRUE(removed);
  EXPECT_GT(failures, 0);
  EXPECT_FALSE(keyboard.channel().open());

  simulator().Plug(0x320F, 0x5100);
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  std::vector<std::uint8_t> info(kDeviceInfoSize);
  EXPECT_EQ(keyboard.channel().ReadDeviceInfo(info), CommandResult::kSuccess);
  EXPECT_TRUE(keyboard.event_collection_open());
}

TEST_F(DeviceRosterTest, EventsComeThroughTheLinkThatCarriesTheDevice) {
  simulator().Plug(0x320F, 0x5100);
  simulator().Plug(0x320F, 0x5103);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  CCorvaneUSBDevice& keyboard = Only();
  ASSERT_FALSE(keyboard.receiver_link());
  // A heartbeat through one link and one through the link that should be
  // read: the count once the expected ones are in, and a moment later.
  auto counted = [&](std::uint16_t through, std::uint16_t read, std::uint64_t expected) {
    const std::uint64_t before = keyboard.heartbeats();
    simulator().Event(0x320F, through, kHeartbeat);
    simulator().Event(0x320F, read, kHeartbeat);
    EXPECT_TRUE(PumpUntil([&] { return keyboard.heartbeats() - before >= expected; }));
    std::this_thread::sleep_for(50ms);
    return keyboard.heartbeats() - before;
  };
  EXPECT_EQ(counted(0x5100, 0x5100, 2), 2u);  // on the cable, with the receiver plugged too
  EXPECT_EQ(counted(0x5103, 0x5100, 1), 1u);  // the receiver's are not the device's now

  simulator().Unplug(0x320F, 0x5100);
  ASSERT_TRUE(PumpUntil([&] { return keyboard.receiver_link(); }));
  ASSERT_TRUE(PumpUntil([&] { return keyboard.event_collection_open(); }));
  EXPECT_EQ(counted(0x5103, 0x5103, 2), 2u);

  simulator().Plug(0x320F, 0x5100);
  ASSERT_TRUE(
      PumpUntil([&] { return !keyboard.receiver_link() && keyboard.event_path().find("5100") != std::string::npos; }));
  EXPECT_EQ(counted(0x5103, 0x5100, 1), 1u);
}

// The threads that use the links (event reading, a command writer) keep going
// while the cable comes and goes: for the thread sanitizer as much as for the result.
TEST_F(DeviceRosterTest, LinkSwitchesWhileEventsAndCommandsFlowLeaveTheDeviceWorking) {
  simulator().Plug(0x320F, 0x5100);
  simulator().Plug(0x320F, 0x5103);
  discovery_.Start();
  ASSERT_TRUE(SeenEvents(RosterEvent::Kind::kArrived, 4));
  CCorvaneUSBDevice& keyboard = Only();
  std::atomic<bool> running{true};
  std::thread events([&] {
    while (running) {
      for (std::uint16_t product : {0x5100, 0x5103}) simulator().Event(0x320F, product, kHeartbeat);
      std::this_thread::sleep_for(1ms);
    }
  });
  std::thread writer([&] {
    const std::vector<std::uint8_t> table(512, 0x42);
    while (running) keyboard.channel().WriteIndexBlock(command::kWriteIndexedKeyTable, 0, table);
  });
  constexpr std::size_t kSwitches = 4;
  bool switched = true;
  for (std::size_t i = 1; switched && i <= kSwitches; ++i) {
    simulator().Unplug(0x320F, 0x5100);
    switched = SeenEvents(RosterEvent::Kind::kRemoved, 2 * i) && keyboard.receiver_link();
    simulator().Plug(0x320F, 0x5100);
    switched = switched && SeenEvents(RosterEvent::Kind::kArrived, 4 + 2 * i) && !keyboard.receiver_link();
  }
  running = false;
  events.join();
  writer.join();
  ASSERT_TRUE(switched);

  std::vector<std::uint8_t> info(kDeviceInfoSize);
  EXPECT_EQ(keyboard.channel().ReadDeviceInfo(info), CommandResult::kSuccess);
  const std::uint64_t heartbeats = keyboard.heartbeats();
  ASSERT_TRUE(simulator().Event(0x320F, 0x5100, kHeartbeat));
  EXPECT_TRUE(PumpUntil([&] { return keyboard.heartbeats() > heartbeats; }));
}

}  // namespace
}  // namespace brontal
