#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "devices/discovery_thread.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/roster_fixture.h"
#include "helpers/private_user_folders.h"
#include "helpers/pump_until.h"

namespace brontal::test {

// A keyboard on the simulator, found, opened and read as the main window does
// it, with its profiles in a private folder; what reached it is read from the
// simulated device's journal.
class KeyboardFixture : public DeviceUiFixture {
 protected:
  static constexpr std::uint16_t kVendor = 0x320F;
  static constexpr std::uint16_t kCabled = 0x5100;

  KeyboardFixture() {
    roster_.profile_panels = true;
    simulator().Plug(kVendor, kCabled);
  }
  ~KeyboardFixture() override { discovery_.Stop(); }

  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    return test::PumpUntil(loop, done);
  }

  sim::SimulatedDevice& Device() { return *simulator().Device(kVendor, kCabled); }

  CCorvaneKeyboardDevice* Keyboard() {
    return roster_.devices().empty() ? nullptr : dynamic_cast<CCorvaneKeyboardDevice*>(roster_.devices().front());
  }

  // Discovery finds it, the connect timer runs, and the read comes back.
  CCorvaneKeyboardDevice& Connect(std::uint64_t connects = 1) {
    discovery_.Start();
    EXPECT_TRUE(PumpUntil([&] { return Keyboard() && Keyboard()->channel().open(); }));
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return Keyboard()->connect_count() >= connects; }));
    return *Keyboard();
  }

  std::vector<sim::JournalEntry> Requests() { return Device().Journal().Entries(); }
  std::vector<sim::JournalEntry> Requests(std::uint8_t command) {
    std::vector<sim::JournalEntry> found;
    for (const sim::JournalEntry& e : Requests())
      if (e.command == command) found.push_back(e);
    return found;
  }

  PrivateUserFolders folders_;
  SlotList slots_;
  DeviceRoster roster_{window, slots_};
  DiscoveryThread discovery_{slots_, loop,
                             [this](const WindowMessage& m) {
                               if (m.id == kMsgDeviceArrived) roster_.OnDeviceArrived(m.wparam);
                               if (m.id == kMsgDeviceRemoved) roster_.OnDeviceRemoved(m.wparam);
                             },
                             0xC001};
};

}  // namespace brontal::test
