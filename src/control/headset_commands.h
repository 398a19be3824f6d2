#pragma once

#include <functional>
#include <string>

#include "control/device_commands.h"

namespace brontal {

class CCorvaneZU6533Device;

// brontalctl's show, set and eq for the headset: its lighting record and its
// sound settings (microphone, monitoring, equaliser, custom curves), through
// the device operations the headset's pages use.
namespace headset_commands {

// Whether the command is one of these (show, set, eq).
bool Takes(std::string_view command);
bool Check(const DeviceCommandLine& line, std::string& error);
void Run(CCorvaneZU6533Device& headset, const DeviceCommandLine& line, std::function<void(DeviceReply)> done);

}  // namespace headset_commands
}  // namespace brontal
