#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneKeyboardDevice;

// The keyboard's side of the device commands.
namespace keyboard_commands {

// The checks that need no device: names, numbers and their ranges; false, with
// the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

// Carries the command out on a keyboard that is online and read.
void Run(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace keyboard_commands
}  // namespace brontal
