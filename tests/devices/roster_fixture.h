#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "devices/device_controls.h"
#include "devices/device_option_ui.h"
#include "devices/device_roster.h"
#include "transport/in_process_simulation.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"

namespace brontal::test {

// The window parts the roster works on, from tests/devices/data.
class RosterWindow : public WindowImplBase {
 public:
  using WindowImplBase::WindowImplBase;
  std::string_view GetWindowClassName() const override { return "RosterTestWnd"; }
  std::vector<WindowMessage> messages;

 protected:
  std::string GetSkinFile() const override { return BRONTAL_TEST_DATA "/../devices/data/roster_window.xml"; }
  LRESULT HandleMessage(const WindowMessage& message, bool& handled) override {
    messages.push_back(message);
    handled = false;
    return 0;
  }
};

// A toolkit on the manual loop with the program's skin, the device controls
// registered, and a simulated bus with no product plugged yet.
class DeviceUiFixture : public ::testing::Test {
 protected:
  DeviceUiFixture() : simulation_({}) {
    toolkit.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    RegisterDeviceControls(toolkit.Factory());
    EXPECT_TRUE(window.Create(nullptr, "roster")) << window.GetCreateError();
  }

  sim::Simulator& simulator() { return simulation_.simulator(); }

  ManualMessageLoop loop;
  Toolkit toolkit{loop};
  RosterWindow window{toolkit};

 private:
  sim::InProcessSimulation simulation_;
};

}  // namespace brontal::test
