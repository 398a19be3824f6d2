#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneMousePadDevice;

// "show mousepad" and "set mousepad NAME=VALUE...": the pad's lighting record.
namespace pad_commands {

bool Check(const DeviceCommandLine& line, std::string& error);
void Run(CCorvaneMousePadDevice& pad, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace pad_commands
}  // namespace brontal
