#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneKeyboardDevice;

// "layer keyboard N": the keyboard's on-board layer N (0-3) becomes the
// current one, as the system page's layer options switch it.
namespace layer_command {

// The words after the device; false, with the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

void Run(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace layer_command
}  // namespace brontal
