#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneKeyboardDevice;

// "macro DEVICE list|show NAME|add|rename OLD NEW|delete NAME|import FILE|export NAME FILE|download|record NAME":
// the macros of the device's model, kept in its device folder.
namespace macro_commands {

// The words after the device; false, with the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

// Carries the command out; a delete mends the key assignments of every
// profile of the folder and writes the keyboard's changed layers.
void Run(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace macro_commands
}  // namespace brontal
