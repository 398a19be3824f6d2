#include "cli/device_host.h"

#include <iostream>
#include <optional>

#include "control/device_commands.h"
#include "devices/corvane_usb_device.h"
#include "devices/headless_roster.h"
#include "support/user_folders.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/qt/qt_message_loop.h"

namespace brontal {
namespace {

constexpr std::chrono::milliseconds kLookPeriod{20};

}  // namespace

DeviceReply RunOnOwnDevices(const DeviceRequest& request, std::chrono::milliseconds wait) {
  DeviceCommandLine line;
  std::string error;
  if (!ParseDeviceCommand(request.args, line, error)) return {2, "", "brontalctl: " + error + "\n"};

  QtMessageLoop loop;
  HeadlessRoster devices(loop, ProgramFolder() / "skin");
  if (!devices.Create(error)) return {1, "", "brontalctl: " + error + "\n"};
  DeviceRoster& roster = devices.roster();
  // The profiles are the user's, shared with the desktop program.
  roster.profile_panels = true;
  roster.animations = false;
  roster.device_created = [](CCorvaneUSBDevice& device) {
    if (CDeviceProfileUI* panel = device.profile_panel())
      panel->SetNoticeHandler([](const std::string& text) { std::cerr << "brontalctl: " << text << '\n'; });
  };

  std::optional<DeviceReply> reply;
  bool started = false;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  loop.StartTimer(kLookPeriod, [&] {
    if (started) return;
    roster.RetryWaitingSlots();
    if (FindReadyDevice(roster, line.device)) {
      started = true;
      RunDeviceRequest(roster, request, [&](DeviceReply r) {
        reply = std::move(r);
        loop.Quit(0);
      });
      return;
    }
    if (std::chrono::steady_clock::now() < deadline) return;
    bool in_use = false;
    for (CCorvaneUSBDevice* device : roster.devices()) in_use = in_use || !device->device_lock_held();
    reply = DeviceReply{1, "",
                        "brontalctl: " + request.args.front() + ": no " + line.device +
                            (in_use ? " that another program does not hold" : " attached and answering") + "\n"};
    loop.Quit(0);
  });
  devices.Start();
  loop.Run();
  return reply ? *reply : DeviceReply{1, "", "brontalctl: interrupted\n"};
}

}  // namespace brontal
