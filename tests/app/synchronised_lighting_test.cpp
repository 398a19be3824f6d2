// Synchronised lighting in the main window with a simulated keyboard, mouse
// and mouse pad: the same-mode button, the host thread that paints the
// joined devices (also while one of them is unplugged, under the thread
// sanitizer) and brontalctl's "sync" over the device-control socket.
#include "app/synchronised_lighting.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <future>

#include "app/main_window_fixture.h"
#include "control/control_socket.h"
#include "device_access/command_codes.h"
#include "device_access/hid_backend.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/lighting/animation_state.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"
#include "helpers/trace_recorder.h"
#include "ui/controls/light_control_ui.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

constexpr std::uint16_t kVendor = 0x320F, kKeyboardId = 0x5100, kMouseId = 0x2003, kPadId = 0x1004;
// The thread idles a second while nobody takes part; the sanitizer slows everything.
constexpr std::chrono::milliseconds kThreadLimit{5000};

// The device-control socket in a folder of the test's own, made before the window serves it.
class PrivateRuntimeFolder {
 protected:
  PrivateRuntimeFolder() {
    std::filesystem::create_directory(run_);
    std::filesystem::permissions(run_, std::filesystem::perms::owner_all);
  }
  test::TemporaryFolder folder_{"brontal_run"};
  const std::filesystem::path run_ = folder_.path() / "run";
  test::ScopedEnvironment runtime_{{{"XDG_RUNTIME_DIR", run_.string()}}};
};

class SynchronisedLightingTest : private PrivateRuntimeFolder, public MainWindowTest {
 protected:
  SynchronisedLightingTest() {
    simulation_.simulator().Plug(kVendor, kPadId);
    ConnectAndShow<CCorvaneKeyboardDevice>();
    ConnectAndShow<CCorvaneMouseDevice>();
    ConnectAndShow<CCorvaneMousePadDevice>();
    window_.roster().ShowEntry(*Keyboard()->entry());
    Keyboard()->ApplyToUi();
  }

  CCorvaneKeyboardDevice* Keyboard() { return First<CCorvaneKeyboardDevice>(); }
  CCorvaneMouseDevice* Mouse() { return First<CCorvaneMouseDevice>(); }
  CCorvaneMousePadDevice* Pad() { return First<CCorvaneMousePadDevice>(); }
  std::vector<CCorvaneUSBDevice*> All() { return {Keyboard(), Mouse(), Pad()}; }

  // The keyboard's lighting as the user left it on its page.
  LightSetting SetKeyboardLighting(std::uint8_t mode) {
    LightSetting record = *Keyboard()->LiveLight();
    record.select_item = mode;
    record.light = 2;
    record.speed = 4;
    record.multi_color = 0;
    record.red = 0x12;
    record.green = 0x34;
    record.blue = 0x56;
    EXPECT_TRUE(Keyboard()->ApplyLightRecord(record, {}));
    Keyboard()->ApplyToUi();
    return record;
  }
  void TickAll() {
    for (CCorvaneUSBDevice* device : All()) device->entry()->SetSynchro(true);
  }
  std::size_t Writes(std::uint16_t product) {
    std::size_t count = 0;
    for (const sim::JournalEntry& e : simulation_.simulator().Device(kVendor, product)->Journal().Entries())
      count += e.command == command::kWriteParameters ? 1 : 0;
    return count;
  }
  std::vector<CCorvaneUSBDevice*> Painted() { return window_.synchronised_lighting().CurrentStatus().painted; }
  // Every position of the device shows `colour`.
  static bool Shows(const CCorvaneUSBDevice& device, std::uint32_t colour) {
    for (int position = 0; position < device.position_count(); ++position)
      if (device.GetPositionColour(position) != colour) return false;
    return true;
  }
  // Runs the UI loop while the colour of the device's first light changes.
  bool ColourMoves(CCorvaneUSBDevice& device) {
    const std::uint32_t before = device.GetPositionColour(0);
    return test::PumpUntil(
        loop_, [&] { return device.GetPositionColour(0) != before; }, kThreadLimit);
  }
  DeviceReply Sync(std::vector<std::string> words) {
    words.insert(words.begin(), "sync");
    auto reply = std::async(std::launch::async, [request = DeviceRequest{words, HidBus::Identity()}] {
      return SendDeviceRequest(request);
    });
    EXPECT_TRUE(PumpUntil([&] { return reply.wait_for(0s) == std::future_status::ready; }));
    return reply.get().value_or(DeviceReply{-1, "", "no answer"});
  }
};

TEST_F(SynchronisedLightingTest, AKeyboardBlinkingPutsTheTickedDevicesIntoTheirBlinkingModesWithItsLook) {
  const LightSetting look = SetKeyboardLighting(23);
  TickAll();
  const std::size_t mouse_writes = Writes(kMouseId), pad_writes = Writes(kPadId);
  ASSERT_TRUE(Control("deng_same_mode").Activate());

  EXPECT_EQ(Keyboard()->LiveLight()->select_item, 23);
  EXPECT_EQ(Mouse()->LiveLight()->select_item, 4);
  EXPECT_EQ(Pad()->LiveLight()->select_item, 4);
  for (CCorvaneUSBDevice* device : std::initializer_list<CCorvaneUSBDevice*>{Mouse(), Pad()}) {
    SCOPED_TRACE(device->kind_name());
    const LightSetting record = *device->LiveLight();
    EXPECT_EQ(std::tie(record.light, record.speed, record.red, record.green, record.blue),
              std::tie(look.light, look.speed, look.red, look.green, look.blue));
  }
  for (CCorvaneUSBDevice* device : All()) EXPECT_TRUE(device->channel().polling_paused());
  // The records reach the devices.
  EXPECT_TRUE(PumpUntil([&] { return Writes(kMouseId) > mouse_writes && Writes(kPadId) > pad_writes; }));

  // The thread blinks the keyboard's colour at its brightness on all three.
  const std::uint32_t lit = lighting::PackColour({0x12, 0x34, 0x56}, lighting::BrightnessLevel(2));
  EXPECT_TRUE(test::PumpUntil(
      loop_, [&] { return Shows(*Keyboard(), lit) && Shows(*Mouse(), lit) && Shows(*Pad(), lit); }, kThreadLimit));
  EXPECT_TRUE(test::PumpUntil(
      loop_, [&] { return Shows(*Keyboard(), 0) && Shows(*Mouse(), 0) && Shows(*Pad(), 0); }, kThreadLimit));
  EXPECT_EQ(Painted().size(), 3u);
}

TEST_F(SynchronisedLightingTest, AModeWithoutAnEffectChangesNothing) {
  SetKeyboardLighting(7);
  TickAll();
  const std::uint8_t mouse_mode = Mouse()->LiveLight()->select_item;
  const std::uint8_t pad_mode = Pad()->LiveLight()->select_item;
  ASSERT_TRUE(Control("deng_same_mode").Activate());

  EXPECT_EQ(Keyboard()->LiveLight()->select_item, 7);
  EXPECT_EQ(Mouse()->LiveLight()->select_item, mouse_mode);
  EXPECT_EQ(Pad()->LiveLight()->select_item, pad_mode);
  for (CCorvaneUSBDevice* device : All()) EXPECT_FALSE(device->channel().polling_paused());
  EXPECT_TRUE(Painted().empty());
}

TEST_F(SynchronisedLightingTest, ALightingChangeOrAnUntickedBoxTakesADeviceOut) {
  SetKeyboardLighting(5);
  TickAll();
  ASSERT_TRUE(Control("deng_same_mode").Activate());
  ASSERT_EQ(Painted().size(), 3u);

  // The user moves the mouse's brightness slider.
  window_.roster().ShowEntry(*Mouse()->entry());
  Mouse()->ApplyToUi();
  auto& slider = dynamic_cast<CSliderUI&>(Control("deng_light_slider"));
  slider.UserDrag(10);
  slider.UserRelease(10);
  EXPECT_FALSE(Mouse()->channel().polling_paused());
  EXPECT_TRUE(Mouse()->entry()->IsSynchro());
  EXPECT_EQ(Painted(), (std::vector<CCorvaneUSBDevice*>{Keyboard(), Pad()}));

  // The user unticks the pad's box, then the mouse's: the keyboard is left
  // with no one to share the effect with.
  auto untick = [&](CCorvaneUSBDevice& device) {
    auto* box =
        dynamic_cast<COptionUI*>(CPaintManagerUI::FindSubControlByName(device.entry(), "synchro_device_select"));
    ASSERT_NE(box, nullptr);
    box->Selected(false);
    loop_.RunUntilIdle();
  };
  untick(*Pad());
  EXPECT_FALSE(Pad()->channel().polling_paused());
  EXPECT_EQ(Painted(), (std::vector<CCorvaneUSBDevice*>{Keyboard()}));
  untick(*Mouse());
  EXPECT_FALSE(Keyboard()->entry()->IsSynchro());
  EXPECT_FALSE(Keyboard()->channel().polling_paused());
  EXPECT_TRUE(Painted().empty());
}

TEST_F(SynchronisedLightingTest, UnpluggedDevicesLeaveTheEffectWhileTheOthersGoOn) {
  SetKeyboardLighting(4);  // colour cycle, a new colour every unit at speed 4
  TickAll();
  ASSERT_TRUE(Control("deng_same_mode").Activate());
  ASSERT_TRUE(ColourMoves(*Mouse()));

  simulation_.simulator().Unplug(kVendor, kMouseId);
  ASSERT_TRUE(PumpUntil([&] { return !Mouse()->entry()->IsVisible(); }));
  EXPECT_EQ(Painted(), (std::vector<CCorvaneUSBDevice*>{Keyboard(), Pad()}));
  const std::uint32_t left_with = Mouse()->GetPositionColour(0);
  EXPECT_TRUE(ColourMoves(*Pad()));
  EXPECT_TRUE(ColourMoves(*Keyboard()));
  EXPECT_EQ(Mouse()->GetPositionColour(0), left_with);

  // One device left on the strip: the boxes are cleared and it shows its own lighting again.
  simulation_.simulator().Unplug(kVendor, kPadId);
  ASSERT_TRUE(PumpUntil([&] { return !Pad()->entry()->IsVisible(); }));
  EXPECT_FALSE(Keyboard()->entry()->IsSynchro());
  EXPECT_FALSE(Keyboard()->channel().polling_paused());
  EXPECT_TRUE(Painted().empty());
}

TEST_F(SynchronisedLightingTest, ClosingTheWindowEndsTheThreadAtOnce) {
  SetKeyboardLighting(6);
  TickAll();
  ASSERT_TRUE(Control("deng_same_mode").Activate());
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  test::TraceRecorder trace;
  const auto start = std::chrono::steady_clock::now();
  window_.SendMessage(WindowMessage(kWmDestroy, 0, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  EXPECT_EQ(trace.Count("同步灯光线程设定退出"), 1);
}

TEST_F(SynchronisedLightingTest, BrontalctlStartsReportsAndStopsTheEffect) {
  SetKeyboardLighting(7);
  Json::Value status;
  DeviceReply reply = Sync({"status", "--json"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  ASSERT_TRUE(Json::Reader().parse(reply.out, status)) << reply.out;
  EXPECT_FALSE(status["running"].asBool());

  // The keyboard's mode has no effect; the command names one.
  reply = Sync({"start", "cycle", "--devices", "keyboard,mousepad"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  EXPECT_EQ(Keyboard()->LiveLight()->select_item, 4);
  EXPECT_EQ(Pad()->LiveLight()->select_item, 1);
  EXPECT_FALSE(Mouse()->entry()->IsSynchro());
  EXPECT_FALSE(Mouse()->channel().polling_paused());
  reply = Sync({"status"});
  EXPECT_EQ(reply.out, "synchronised lighting: cycle, brightness 2, speed 4, direction " +
                           std::to_string(Keyboard()->LiveLight()->fx) +
                           ", multicolor 0, color 123456\n  keyboard 320f:5100\n  mousepad 320f:1004\n");

  // A device that is not there: refused, the effect goes on as it was.
  reply = Sync({"start", "off", "--devices", "keyboard,headset"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("no headset is attached"), std::string::npos) << reply.err;
  EXPECT_EQ(Painted(), (std::vector<CCorvaneUSBDevice*>{Keyboard(), Pad()}));

  reply = Sync({"stop"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  for (CCorvaneUSBDevice* device : All()) {
    EXPECT_FALSE(device->entry()->IsSynchro());
    EXPECT_FALSE(device->channel().polling_paused());
  }
  reply = Sync({"status", "--json"});
  ASSERT_TRUE(Json::Reader().parse(reply.out, status)) << reply.out;
  EXPECT_FALSE(status["running"].asBool());
  EXPECT_EQ(status["participants"].size(), 0u);
}

}  // namespace
}  // namespace brontal
