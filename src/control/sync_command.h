#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/device_commands.h"
#include "devices/lighting/sync_effect.h"

// "brontalctl sync": synchronised lighting across the attached devices. The
// effect runs in brontal-driver, which computes the shared colour for as long
// as it runs, so the command is always handed to it; the words are checked on
// both sides.
namespace brontal::sync_command {

inline constexpr std::string_view kName = "sync";

// Usage, summary and help, as the device commands have them.
const DeviceCommandInfo& Info();
// What "brontalctl sync --help" prints.
std::string HelpText();

struct Line {
  enum class Action { kStart, kStop, kStatus };
  Action action = Action::kStatus;
  lighting::SyncEffectType effect = lighting::SyncEffectType::kBreathing;  // start
  std::vector<std::string> devices;  // start: the device words of --devices; empty for every attached device
  bool json = false;                 // status
  bool help = false;
};

// Parses the words (command name first) without touching anything: false,
// with the reason, for a usage error (exit status 2).
bool Parse(std::span<const std::string> words, Line& line, std::string& error);

// What "sync status" reports.
struct Participant {
  std::string device;  // the family word
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
};
struct Status {
  bool running = false;  // some device shows the effect
  lighting::SyncLook look;
  std::vector<Participant> participants;
};
std::string StatusText(const Status& status, bool json);

}  // namespace brontal::sync_command
