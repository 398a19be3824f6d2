#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneMouseDevice;

// "show mouse", "set mouse NAME=VALUE... [--screen WxH]", "keys mouse" and
// "assign mouse BUTTON=ACTION...".
namespace mouse_commands {

// Whether the mouse carries out `command` here.
bool Takes(std::string_view command);

// The words after the device; false, with the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

void Run(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace mouse_commands
}  // namespace brontal
