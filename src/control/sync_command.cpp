#include "control/sync_command.h"

#include <json/json.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "control/setting_words.h"

namespace brontal::sync_command {
namespace {

constexpr OptionSpec kOptions[] = {{"--devices", true}, {"--json", false}};
// The effects by their number.
constexpr std::array<std::string_view, lighting::kSyncEffectCount> kEffectNames = {"breathing", "static", "blinking",
                                                                                   "cycle", "off"};

std::string_view EffectName(lighting::SyncEffectType type) { return kEffectNames[static_cast<std::size_t>(type)]; }

std::optional<lighting::SyncEffectType> EffectNamed(std::string_view name) {
  const auto found = std::find(kEffectNames.begin(), kEffectNames.end(), name);
  if (found == kEffectNames.end()) return std::nullopt;
  return static_cast<lighting::SyncEffectType>(found - kEffectNames.begin());
}

const DeviceCommandInfo kInfo{kName, "sync start MODE [--devices LIST]|stop|status [--json]",
                              "one lighting effect on several devices",
                              "start MODE ticks the synchronisation box of every attached device (or of the\n"
                              "devices in LIST, at least two, comma-separated: keyboard, mouse, mousepad,\n"
                              "headset or VID:PID) and runs effect MODE on them: breathing, static, blinking,\n"
                              "cycle or off, with the brightness, speed, direction and colour of the device\n"
                              "selected in brontal-driver. Each device takes its own mode for the effect and\n"
                              "brontal-driver computes the colours. stop clears the boxes; the devices show\n"
                              "their profile's lighting again. status tells whether the effect runs, which one\n"
                              "and on which devices. The effect runs in brontal-driver, which must run.\n",
                              kOptions};

bool ParseDevices(const std::string& list, std::vector<std::string>& devices, std::string& error) {
  devices.clear();
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    const std::string word = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (FamilyOf(word).empty()) {
      error = "'" + word + "' in --devices is not a supported device (keyboard, mouse, mousepad, headset or VID:PID)";
      return false;
    }
    if (std::find(devices.begin(), devices.end(), word) == devices.end()) devices.push_back(word);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (devices.size() < 2) {
    error = "--devices names at least two devices";
    return false;
  }
  return true;
}

std::string Ids(std::uint16_t vendor, std::uint16_t product) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", vendor, product);
  return text;
}

}  // namespace

const DeviceCommandInfo& Info() { return kInfo; }

std::string HelpText() {
  return "Usage: brontalctl " + std::string(kInfo.usage) + "\n\n" + std::string(kInfo.summary) + ".\n" +
         std::string(kInfo.help);
}

bool Parse(std::span<const std::string> words, Line& line, std::string& error) {
  line = Line{};
  const std::vector<std::string_view> rest(words.begin() + (words.empty() ? 0 : 1), words.end());
  ParsedArgs args;
  if (!ParseArgs(rest, kOptions, args, error)) return false;
  if ((line.help = args.help)) return true;
  const std::vector<std::string>& positional = args.positional;
  const std::string action = positional.empty() ? std::string() : positional.front();
  if (action == "start") {
    line.action = Line::Action::kStart;
    const std::optional<lighting::SyncEffectType> effect =
        positional.size() == 2 ? EffectNamed(positional[1]) : std::nullopt;
    if (!effect) {
      error = "start takes one MODE: breathing, static, blinking, cycle or off";
      return false;
    }
    line.effect = *effect;
    if (const std::optional<std::string> list = args.Value("--devices");
        list && !ParseDevices(*list, line.devices, error))
      return false;
  } else if (action == "stop" || action == "status") {
    line.action = action == "stop" ? Line::Action::kStop : Line::Action::kStatus;
    if (positional.size() > 1) {
      error = action + " takes no further words";
      return false;
    }
    if (args.Value("--devices")) {
      error = "--devices goes with start";
      return false;
    }
  } else {
    error = "start MODE, stop or status";
    return false;
  }
  line.json = args.Has("--json");
  if (line.json && line.action != Line::Action::kStatus) {
    error = "--json goes with status";
    return false;
  }
  return true;
}

std::string StatusText(const Status& status, bool json) {
  const lighting::SyncLook& look = status.look;
  const std::string colour = setting_words::HexColour(look.colour.red, look.colour.green, look.colour.blue);
  if (json) {
    Json::Value v;
    v["running"] = status.running;
    v["participants"] = Json::arrayValue;
    if (status.running) {
      v["effect"] = std::string(EffectName(look.type));
      v["brightness"] = look.brightness;
      v["speed"] = look.speed;
      v["direction"] = look.direction;
      v["multicolor"] = look.multicolour;
      v["color"] = colour;
    }
    for (const Participant& p : status.participants) {
      Json::Value& entry = v["participants"].append(Json::objectValue);
      entry["device"] = p.device;
      entry["vendor_id"] = p.vendor_id;
      entry["product_id"] = p.product_id;
    }
    return setting_words::Written(v);
  }
  if (!status.running) return "synchronised lighting: not running\n";
  std::string text = "synchronised lighting: " + std::string(EffectName(look.type)) + ", brightness " +
                     std::to_string(look.brightness) + ", speed " + std::to_string(look.speed) + ", direction " +
                     std::to_string(look.direction) + ", multicolor " + std::to_string(look.multicolour) + ", color " +
                     colour + "\n";
  for (const Participant& p : status.participants)
    text += "  " + p.device + " " + Ids(p.vendor_id, p.product_id) + "\n";
  return text;
}

}  // namespace brontal::sync_command
