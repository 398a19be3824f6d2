#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneUSBDevice;

// "lighting modes DEVICE": the lighting modes of any family.
namespace lighting_commands {

bool Check(const DeviceCommandLine& line, std::string& error);
void Run(CCorvaneUSBDevice& device, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace lighting_commands
}  // namespace brontal
