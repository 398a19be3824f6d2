// The computer sleeping and waking with a simulated keyboard, mouse and mouse
// pad: on waking each device gets its settings written again (it may have
// lost its power), and the keyboard hears again that the host drives its
// lights while it does.
#include <gtest/gtest.h>

#include <map>

#include "app/main_window_fixture.h"
#include "device_access/command_codes.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"

namespace brontal {
namespace {

constexpr std::uint16_t kVendor = 0x320F, kKeyboardId = 0x5100, kMouseId = 0x2003, kPadId = 0x1004;
constexpr std::uint16_t kProducts[] = {kKeyboardId, kMouseId, kPadId};

class SleepResumeTest : public MainWindowTest {
 protected:
  SleepResumeTest() {
    simulation_.simulator().Plug(kVendor, kPadId);
    ConnectAndShow<CCorvaneKeyboardDevice>();
    ConnectAndShow<CCorvaneMouseDevice>();
    ConnectAndShow<CCorvaneMousePadDevice>();
  }

  std::size_t Requests(std::uint16_t product, std::uint8_t command) {
    std::size_t count = 0;
    for (const sim::JournalEntry& e : simulation_.simulator().Device(kVendor, product)->Journal().Entries())
      count += e.kind == sim::JournalKind::kRequest && e.command == command ? 1 : 0;
    return count;
  }
  std::map<std::uint16_t, std::size_t> SettingsWrites() {
    std::map<std::uint16_t, std::size_t> writes;
    for (const std::uint16_t product : kProducts) writes[product] = Requests(product, command::kWriteParameters);
    return writes;
  }
  void Power(std::uintptr_t event) {
    window_.SendMessage(WindowMessage(kWmPowerBroadcast, event, 0));
    loop_.RunUntilIdle();
  }
};

TEST_F(SleepResumeTest, WakingWritesEveryDevicesSettingsAgainAndRepeatsTheHostLightingNotice) {
  ASSERT_TRUE(window_.host_lighting());
  const std::size_t notices = Requests(kKeyboardId, command::kHostLighting);
  const std::map<std::uint16_t, std::size_t> before = SettingsWrites();
  Power(kPbtSuspend);
  EXPECT_EQ(SettingsWrites(), before);  // nothing is written as the computer goes to sleep

  Power(kPbtResume);
  EXPECT_TRUE(PumpUntil([&] {
    const std::map<std::uint16_t, std::size_t> now = SettingsWrites();
    return std::ranges::all_of(kProducts, [&](std::uint16_t p) { return now.at(p) == before.at(p) + 1; });
  }));
  EXPECT_TRUE(PumpUntil([&] { return Requests(kKeyboardId, command::kHostLighting) == notices + 1; }));
}

TEST_F(SleepResumeTest, WhileTheDevicesShowTheirOwnLightingTheKeyboardHearsNoNotice) {
  Control("control_light_status").Activate();  // the host lets go of the lights
  ASSERT_FALSE(window_.host_lighting());
  loop_.RunUntilIdle();
  const std::size_t notices = Requests(kKeyboardId, command::kHostLighting);
  const std::size_t writes = Requests(kKeyboardId, command::kWriteParameters);
  Power(kPbtSuspend);
  Power(kPbtResume);
  ASSERT_TRUE(PumpUntil([&] { return Requests(kKeyboardId, command::kWriteParameters) == writes + 1; }));
  EXPECT_EQ(Requests(kKeyboardId, command::kHostLighting), notices);
}

}  // namespace
}  // namespace brontal
