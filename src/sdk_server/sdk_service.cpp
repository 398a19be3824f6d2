#include "sdk_server/sdk_service.h"

#include "devices/corvane_usb_device.h"
#include "support/debug_log.h"

namespace brontal::sdk {

bool SdkService::Start(const ListenAddress& address, std::string& error) {
  Stop();
  server_ = SdkServer::Start(loop_, controllers_, address, error);
  if (!server_) return false;
  listed_ = controllers_.Attached();
  watch_ = loop_.StartTimer(kWatchPeriod, [this] { WatchDevices(); });
  Trace("sdk server: listening on " + address.host + ":" + std::to_string(server_->port()));
  return true;
}

void SdkService::Stop() {
  if (watch_) loop_.StopTimer(*watch_);
  watch_.reset();
  server_.reset();
  for (CCorvaneUSBDevice* device : controllers_.Attached()) {
    if (!controllers_.InDirect(*device)) continue;
    controllers_.Forget(*device);
    device->channel().set_polling_paused(false);
  }
}

void SdkService::WatchDevices() {
  std::vector<CCorvaneUSBDevice*> attached = controllers_.Attached();
  if (attached == listed_) return;
  listed_ = std::move(attached);
  server_->NotifyDeviceListChanged();
}

}  // namespace brontal::sdk
