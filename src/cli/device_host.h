#pragma once

#include <chrono>

#include "control/device_request.h"

namespace brontal {

// brontalctl's own hold on the devices when no desktop program owns them: the
// devices found, opened under their per-device locks, read and given their
// profiles exactly as the desktop program does (without its window), then
// the request carried out through the same device objects.
//
// Waits at most `wait` for the device the request names to be read.
DeviceReply RunOnOwnDevices(const DeviceRequest& request, std::chrono::milliseconds wait);

}  // namespace brontal
