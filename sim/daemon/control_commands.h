#pragma once

#include <string>
#include <string_view>

#include "transport/simulator.h"

namespace brontal::sim {

// What the daemon answers to one control command.
struct ControlReply {
  bool ok = false;
  std::string text;  // output on success, the reason otherwise
};

// Runs one control command on the simulator:
//   plug VID:PID [--off] | unplug VID:PID | link VID:PID on|off |
//   event VID:PID CODE | status [--json] | journal VID:PID [--json] |
//   latency MICROSECONDS
// VID, PID and CODE are hexadecimal.
ControlReply RunControlCommand(Simulator& simulator, std::string_view line);

}  // namespace brontal::sim
