#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneMouseDevice;

// "shoot mouse list|show N|set N SHOT=X,Y,PAUSE...|reset N|import N FILE|export N FILE|send":
// the mouse's four recoil patterns, one shoot file per gun in its device folder.
namespace shoot_commands {

// The words after the device; false, with the reason, for a usage error.
bool Check(const DeviceCommandLine& line, std::string& error);

// Carries the command out; the guns without a readable file get their factory
// pattern first, as the shoot page does when it shows the mouse.
void Run(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace shoot_commands
}  // namespace brontal
