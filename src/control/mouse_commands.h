#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneMouseDevice;

// "show mouse" and "set mouse NAME=VALUE... [--screen WxH]".
namespace mouse_commands {

// The words after the device; false, with the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

void Run(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace mouse_commands
}  // namespace brontal
