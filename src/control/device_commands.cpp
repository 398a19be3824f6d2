#include "control/device_commands.h"

#include <algorithm>
#include <array>

#include "control/defaults_command.h"
#include "control/headset_commands.h"
#include "control/keyboard_commands.h"
#include "control/layer_command.h"
#include "control/lighting_commands.h"
#include "control/macro_commands.h"
#include "control/macro_record_command.h"
#include "control/mouse_commands.h"
#include "control/pad_commands.h"
#include "control/shoot_commands.h"
#include "device_access/hid_path.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/device_roster.h"
#include "devices/headset/corvane_zu6533_device.h"
#include "devices/interface_table.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"

namespace brontal {
namespace {

constexpr OptionSpec kJson[] = {{"--json", false}};
constexpr OptionSpec kKeysOptions[] = {{"--json", false}, {"--fn", false}, {"--index", true}};
constexpr OptionSpec kAssignOptions[] = {{"--fn", false}, {"--index", true}};
constexpr OptionSpec kColorsOptions[] = {{"--json", false}, {"--group", true}};
constexpr OptionSpec kSetOptions[] = {{"--screen", true}};
constexpr OptionSpec kMacroOptions[] = {{"--json", false}, {"--for", true}, {"--delay", true}};

constexpr std::array kCommands = {
    DeviceCommandInfo{"show", "show DEVICE [--json]", "a device's information and settings",
                      "Shows the device information, the firmware version, the decoded settings, the\n"
                      "on-board index and, where the model has one, the battery.\n",
                      kJson},
    DeviceCommandInfo{"set", "set DEVICE NAME=VALUE...", "change settings (one profile change, one write)",
                      "Keyboard settings: mode (index or name), brightness (0-4), speed (0-4),\n"
                      "direction (0-1), multicolor (0-1), color (RRGGBB), custom-group (0-7),\n"
                      "special-mode (0-255), six-key (0-1), win-lock (0-1), w-flag (0-1),\n"
                      "polling-rate (option 0-3), os-mode (0-255), repeat and repeat-delay (0-65535,\n"
                      "kept in the profile only); the music lighting of modes 29 and 30, kept in the\n"
                      "profile: audio-mode (0-6), audio-background and audio-foreground (RRGGBB; a\n"
                      "foreground colour turns the seven colours off unless audio-multicolor is given\n"
                      "too), audio-multicolor (0-1). The music styles: brontalctl audio styles.\n"
                      "Mouse settings: mode, brightness, speed, direction, multicolor, color as above,\n"
                      "polling-rate (option 0-4), dpi-active (stage 0-4), dpi.N (DPI, or XxY for\n"
                      "separate axes), dpi.N.color (RRGGBB), dpi.N.enabled (0-1), surface (the\n"
                      "sensor's surface by its number or name, as show lists it); kept in the profile\n"
                      "only: pointer-speed (0-20), pointer-precision (0-1), double-click-time\n"
                      "(0-5000), wheel-lines (0-100), wheel-page (0-1). --screen WxH sends that screen\n"
                      "size instead of the one brontal-driver stored.\n"
                      "Mouse pad settings: mode, brightness, speed, multicolor, color as above.\n"
                      "Headset settings: mode, brightness, speed, multicolor, color as above, mic and\n"
                      "monitor (levels 0-100), mic-mute and monitor-mute (0-1), eq (equaliser option\n"
                      "1-12, 13 the selected custom curve), eq-curve (a custom curve by its name).\n",
                      kSetOptions},
    DeviceCommandInfo{"keys", "keys DEVICE [--fn] [--index N] [--json]", "every key with its slot, LED and action",
                      "Lists every logical key with its slot, LED number, action and default action\n"
                      "(three bytes in hexadecimal) of on-board index N (default: the current\n"
                      "profile's), or of the keyboard's Fn layer. A mouse lists its buttons 0-10 with\n"
                      "their slots ('none' for a button the model lacks); its tables are not read\n"
                      "back, so another index than the current profile's shows the profile at that\n"
                      "position of the list, which a profile application writes there.\n",
                      kKeysOptions},
    DeviceCommandInfo{"assign", "assign DEVICE KEY=ACTION... [--fn] [--index N]", "assign actions to keys",
                      "KEY is a logical key index, for a mouse a button 0-10 (see 'keys'; a button the\n"
                      "model lacks is refused). ACTION is a name that 'brontalctl\n"
                      "actions' lists (media_play, keyboard_key_a, ...), a macro by its name:\n"
                      "macro:NAME, macro:NAME:mode=M (play mode 0-3) or macro:NAME:repeat=N (played\n"
                      "N times, 1-255), six hexadecimal digits (the action's three bytes) or\n"
                      "'default'. DPI and gun functions are the mouse's. All pairs are stored in the\n"
                      "profile; the macros the keys play are downloaded first and then the key table\n"
                      "is written in one write to on-board index N (default: the current profile's),\n"
                      "or with --fn (keyboard only) in one Fn table write. When the macros do not go\n"
                      "through, the key table is not written.\n",
                      kAssignOptions},
    DeviceCommandInfo{"colors", "colors DEVICE [--group G] [KEY=RRGGBB...] [--json]",
                      "show or set the per-key colours of a custom group",
                      "Without pairs shows the colours of custom group G (default: the profile's);\n"
                      "with KEY=RRGGBB pairs stores them in the profile and writes the group.\n",
                      kColorsOptions},
    DeviceCommandInfo{"lighting", "lighting modes DEVICE [--json]", "the lighting modes of a device",
                      "Lists the device's lighting modes: index (what 'set mode=' takes), name, the\n"
                      "code the device receives, and whether the host draws the lights (those modes\n"
                      "need brontal-driver running). 'brontalctl lighting preview --help' shows a\n"
                      "keyboard model's animation without a device.\n",
                      kJson},
    DeviceCommandInfo{"profile",
                      "profile DEVICE list|select NAME|add|copy|rename NEW|delete|import FILE|export FILE|reset",
                      "the device's profiles",
                      "add names the new profile itself; copy, rename, delete and export act on the\n"
                      "selected profile; select and reset drive the device through the profile's\n"
                      "settings, macros and key table.\n",
                      kJson},
    DeviceCommandInfo{"layer",
                      "layer keyboard N",
                      "switch the keyboard's on-board layer",
                      "On-board layer N (0-3) becomes the current one, as the system page's layer\n"
                      "options switch it: the profile at position N+1 of the profile list is selected,\n"
                      "the key tables are read back from the keyboard, and the layer's key table (the\n"
                      "Fn table while brontal-driver's keys page shows the Fn layer) is written after\n"
                      "the macros its keys play. The settings record is not written. Refused when the\n"
                      "list has no profile at that position (a deleted one).\n",
                      {}},
    DeviceCommandInfo{"defaults",
                      "defaults DEVICE",
                      "restore the current profile from the factory data",
                      "Replaces the current profile's keys, lighting and system settings with the\n"
                      "factory ones and saves it; then writes the key table of on-board layer 0 and the\n"
                      "settings record. Nothing asks first: the command is the confirmation.\n",
                      {}},
    DeviceCommandInfo{
        "macro",
        "macro DEVICE list|show NAME|add|rename OLD NEW|delete NAME|import FILE|export NAME FILE|download|record "
        "NAME [--for SECONDS] [--delay recorded|none|fixed=MS] [--json]",
        "the macros of the device's model",
        "add names the new macro itself (macro_1, macro_2, ...) and prints the name; import\n"
        "names it after the file and prints the name. A delete sets the keys that played\n"
        "the macro, in every profile and on both layers, back to their default actions and\n"
        "renumbers the keys of later macros; the keyboard gets the current profile's\n"
        "changed keys with their macros. download sends the macros the current profile's\n"
        "keys play.\n"
        "record adds the keys and mouse buttons pressed in the session during SECONDS\n"
        "(default 10, at most 600) at the end of macro NAME, made when there is none. The\n"
        "pauses between them are the recorded ones, none, or MS milliseconds each. It\n"
        "reads X11 in an X11 session, otherwise the keyboards' and mice's event nodes\n"
        "(see 'brontalctl udev-rules --input'); the input still reaches every program.\n",
        kMacroOptions},
    DeviceCommandInfo{"shoot",
                      "shoot mouse list|show N|set N SHOT=X,Y,PAUSE...|reset N|import N FILE|export N FILE|send "
                      "[--json]",
                      "the mouse's recoil patterns",
                      "The mouse plays one pattern per gun N (0-3) from the gun keys, each 30 shots of a\n"
                      "left click, a pull and a pause. list shows each gun's events and shots; show N\n"
                      "shows gun N's shots with their pulls and pauses. set N stores shots: SHOT is\n"
                      "0-29 (the shoot page counts them from 1), X and Y the pull in counts (-255 to\n"
                      "255; a negative X pulls left, a negative Y up) and PAUSE the milliseconds before\n"
                      "the next shot (0-65535); a pair out of range changes nothing. reset N takes the\n"
                      "factory pattern; import N FILE and export N FILE copy a .shoot file in or out\n"
                      "(an imported pattern longer than the image can carry is cut to whole shots). The\n"
                      "patterns are kept in files and reach the mouse only with send, all four at once.\n"
                      "A gun without a readable file starts from its factory pattern.\n",
                      kJson},
    DeviceCommandInfo{"eq", "eq headset list|save NAME BANDS|delete NAME|apply NAME [--json]",
                      "the headset's custom equaliser curves",
                      "The custom curves of the current profile (at most 20). BANDS is ten gains in dB\n"
                      "(-20 to 20), comma-separated, 31 Hz first (31, 62, 125, 250, 500, 1k, 2k, 4k, 8k,\n"
                      "16k). save plays the bands and keeps them as curve NAME (a new curve, or NAME's\n"
                      "bands replaced); apply plays curve NAME; delete takes it out of the profile.\n"
                      "The equaliser runs on this computer through PipeWire, while the headset is\n"
                      "attached and a program that owns it (brontal-driver, or brontalctl for the\n"
                      "moment of its command) runs.\n",
                      kJson},
};

bool IsFamilyWord(std::string_view word) {
  return word == "keyboard" || word == "mouse" || word == "mousepad" || word == "headset";
}

std::string_view FamilyWord(DeviceType type) {
  switch (type) {
    case DeviceType::kKeyboardWired:
    case DeviceType::kKeyboardReceiver: return "keyboard";
    case DeviceType::kMouseWired:
    case DeviceType::kMouseReceiver: return "mouse";
    case DeviceType::kMousePad: return "mousepad";
    case DeviceType::kHeadset: return "headset";
  }
  return {};
}

bool Matches(const CCorvaneUSBDevice& device, std::string_view device_word) {
  if (IsFamilyWord(device_word)) return FamilyWord(device.family()) == device_word;
  // A receiver's id names the product as well as its cable's.
  const std::optional<ProductIds> ids = ParseProductIds(device_word);
  const InterfaceRow& id = device.identity();
  if (!ids || id.vendor_id != ids->vendor) return false;
  if (id.product_id == ids->product) return true;
  for (const InterfaceRow& row : kInterfaceTable)
    if (row.vendor_id == ids->vendor && row.product_id == ids->product && row.paired &&
        kInterfaceTable[row.partner].product_id == id.product_id)
      return true;
  return false;
}

}  // namespace

std::string_view FamilyWord(DeviceFamily family) {
  switch (family) {
    case DeviceFamily::kKeyboard: return "keyboard";
    case DeviceFamily::kMouse: return "mouse";
    case DeviceFamily::kMousePad: return "mousepad";
    case DeviceFamily::kHeadset: return "headset";
    case DeviceFamily::kUnset: break;
  }
  return {};
}

std::string FamilyOf(std::string_view device_word) {
  if (IsFamilyWord(device_word)) return std::string(device_word);
  const std::optional<ProductIds> ids = ParseProductIds(device_word);
  for (const InterfaceRow& row : kInterfaceTable)
    if (ids && IsRealProduct(row) && row.vendor_id == ids->vendor && row.product_id == ids->product)
      return std::string(FamilyWord(row.type));
  return {};
}

std::optional<ProductIds> ParseProductIds(std::string_view word) {
  const std::size_t colon = word.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<long> vendor = ParseNumber(word.substr(0, colon), 0, 0xFFFF, 16);
  const std::optional<long> product = ParseNumber(word.substr(colon + 1), 0, 0xFFFF, 16);
  if (!vendor || !product) return std::nullopt;
  return ProductIds{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
}

std::span<const DeviceCommandInfo> DeviceCommands() { return kCommands; }

const DeviceCommandInfo* FindDeviceCommand(std::string_view name) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(), [&](const auto& c) { return c.name == name; });
  return found == kCommands.end() ? nullptr : &*found;
}

bool ParseDeviceCommand(std::span<const std::string> words, DeviceCommandLine& line, std::string& error) {
  line = DeviceCommandLine{};
  if (words.empty() || !(line.info = FindDeviceCommand(words.front()))) {
    error = "not a device command";
    return false;
  }
  const std::vector<std::string_view> rest(words.begin() + 1, words.end());
  if (!ParseArgs(rest, line.info->options, line.args, error)) return false;
  if (line.args.help) return true;
  // "lighting modes DEVICE": the action comes before the device.
  if (line.info->name == "lighting") {
    if (line.args.positional.empty() || line.args.positional.front() != "modes") {
      error = "modes DEVICE, or preview PRODUCT (see brontalctl lighting --help)";
      return false;
    }
    line.args.positional.erase(line.args.positional.begin());
  }
  if (line.args.positional.empty()) {
    error = "which device? (keyboard, mouse, mousepad, headset or VID:PID)";
    return false;
  }
  line.device = line.args.positional.front();
  line.args.positional.erase(line.args.positional.begin());
  const std::string family = FamilyOf(line.device);
  if (family.empty()) {
    error = "'" + line.device + "' is not a supported device (keyboard, mouse, mousepad, headset or VID:PID)";
    return false;
  }
  if (line.info->name == "lighting") return lighting_commands::Check(line, error);
  if (line.info->name == "defaults") return defaults_command::Check(line, error);
  if (line.info->name == "layer") {
    if (family != "keyboard") {
      error = "only a keyboard has on-board layers to switch";
      return false;
    }
    return layer_command::Check(line, error);
  }
  if (line.info->name == "shoot") {
    if (family != "mouse") {
      error = "only the mouse has recoil patterns";
      return false;
    }
    return shoot_commands::Check(line, error);
  }
  if (line.info->name == "eq" && family != "headset") {
    error = "only the headset has an equaliser";
    return false;
  }
  if (family == "headset" && line.info->name != "profile") return headset_commands::Check(line, error);
  if (family == "mousepad" && line.info->name != "profile") return pad_commands::Check(line, error);
  if (line.info->name == "macro") return macro_commands::Check(line, error);
  if (family == "mouse" && mouse_commands::Takes(line.info->name)) return mouse_commands::Check(line, error);
  if (line.args.Value("--screen")) {
    error = "--screen is the mouse's";
    return false;
  }
  // Only the keyboard's settings are reachable so far; the others are refused at run time.
  if (family == "keyboard") return keyboard_commands::Check(line, error);
  return true;
}

std::optional<std::size_t> CallerFileWord(const DeviceCommandLine& line) {
  const std::vector<std::string>& words = line.args.positional;
  const std::string_view action = words.empty() ? std::string_view() : words.front();
  if (line.info->name == "profile" && words.size() == 2 && (action == "import" || action == "export")) return 1;
  if (line.info->name == "macro" && words.size() == 2 && action == "import") return 1;
  if (line.info->name == "macro" && words.size() == 3 && action == "export") return 2;
  if (line.info->name == "shoot" && words.size() == 3 && (action == "import" || action == "export")) return 2;
  return std::nullopt;
}

std::chrono::seconds DeviceRequestTimeLimit(const DeviceRequest& request) {
  constexpr std::chrono::seconds kDeviceWork{60};
  DeviceCommandLine line;
  std::string error;
  if (!ParseDeviceCommand(request.args, line, error) || line.info->name != "macro") return kDeviceWork;
  if (line.args.positional.empty() || line.args.positional.front() != "record") return kDeviceWork;
  const std::optional<macro_record_command::Options> options = macro_record_command::ParseOptions(line.args, error);
  return options ? kDeviceWork + options->length : kDeviceWork;
}

bool DeviceReady(CCorvaneUSBDevice& device) {
  if (!device.channel().open()) return false;
  if (device.entry() && !device.entry()->IsVisible()) return false;  // offline behind its receiver
  if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(&device)) return keyboard->ready();
  if (auto* mouse = dynamic_cast<CCorvaneMouseDevice*>(&device)) return mouse->ready();
  if (auto* pad = dynamic_cast<CCorvaneMousePadDevice*>(&device)) return pad->ready();
  return true;
}

CCorvaneUSBDevice* FindReadyDevice(DeviceRoster& roster, std::string_view device_word) {
  for (CCorvaneUSBDevice* device : roster.devices())
    if (Matches(*device, device_word) && DeviceReady(*device)) return device;
  return nullptr;
}

void RunDeviceRequest(DeviceRoster& roster, const DeviceRequest& request, std::function<void(DeviceReply)> done) {
  DeviceCommandLine line;
  std::string error;
  if (!ParseDeviceCommand(request.args, line, error)) {
    done({2, "", "brontalctl: " + (request.args.empty() ? std::string() : request.args.front() + ": ") + error + "\n"});
    return;
  }
  const std::string& command = request.args.front();
  CCorvaneUSBDevice* device = FindReadyDevice(roster, line.device);
  if (!device) {
    done({1, "", "brontalctl: " + command + ": no " + line.device + " is attached and answering\n"});
    return;
  }
  if (line.info->name == "lighting") {
    lighting_commands::Run(*device, line, std::move(done));
    return;
  }
  if (line.info->name == "defaults") {
    defaults_command::Run(*device, line, std::move(done));
    return;
  }
  if (auto* mouse = dynamic_cast<CCorvaneMouseDevice*>(device)) {
    if (line.info->name == "shoot") return shoot_commands::Run(*mouse, line, std::move(done));
    if (mouse_commands::Takes(line.info->name)) return mouse_commands::Run(*mouse, line, std::move(done));
  }
  if (auto* headset = dynamic_cast<CCorvaneZU6533Device*>(device); headset && headset_commands::Takes(line.info->name))
    return headset_commands::Run(*headset, line, std::move(done));
  if (auto* pad = dynamic_cast<CCorvaneMousePadDevice*>(device);
      pad && (line.info->name == "show" || line.info->name == "set"))
    return pad_commands::Run(*pad, line, std::move(done));
  if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(device)) {
    if (line.info->name == "macro")
      macro_commands::Run(*keyboard, line, std::move(done));
    else if (line.info->name == "layer")
      layer_command::Run(*keyboard, line, std::move(done));
    else
      keyboard_commands::Run(*keyboard, line, std::move(done));
    return;
  }
  done({1, "", "brontalctl: " + command + ": the " + line.device + "'s settings are not reachable from here yet\n"});
}

}  // namespace brontal
