#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneUSBDevice;

// "defaults DEVICE": the current profile restored from the factory data and
// sent, as the pages' restore button does once the user confirms: the
// command is the confirmation.
namespace defaults_command {

// The words after the device; false, with the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

void Run(CCorvaneUSBDevice& device, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace defaults_command
}  // namespace brontal
