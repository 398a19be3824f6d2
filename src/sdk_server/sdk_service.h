#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sdk_server/device_controllers.h"
#include "sdk_server/sdk_server.h"
#include "ui/toolkit/message_loop.h"

namespace brontal::sdk {

// The SDK server as the desktop program runs it: switched on and off on the
// UI thread, over the roster's devices, telling its clients when a device is
// plugged or unplugged.
class SdkService {
 public:
  // How often the attached devices are compared with those the clients were told of.
  static constexpr std::chrono::milliseconds kWatchPeriod{250};

  SdkService(MessageLoop& loop, const DeviceRoster& roster) : loop_(loop), controllers_(roster) {}
  ~SdkService() { Stop(); }
  SdkService(const SdkService&) = delete;
  SdkService& operator=(const SdkService&) = delete;

  // Listens at `address` (in place of an earlier address); false with the reason.
  bool Start(const ListenAddress& address, std::string& error);
  // Closes every client; the devices in Direct go back to their own lighting.
  void Stop();
  bool running() const { return server_ != nullptr; }
  std::uint16_t port() const { return server_ ? server_->port() : 0; }
  DeviceControllers& controllers() { return controllers_; }

 private:
  void WatchDevices();

  MessageLoop& loop_;
  DeviceControllers controllers_;
  std::unique_ptr<SdkServer> server_;
  std::optional<TimerId> watch_;
  std::vector<CCorvaneUSBDevice*> listed_;  // the attached devices the clients know of
};

}  // namespace brontal::sdk
