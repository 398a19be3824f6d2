#include "cli/brontalctl.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/audio_command.h"
#include "cli/commands.h"
#include "cli/device_host.h"
#include "cli/udev_rules_text.h"
#include "cli/update_command.h"
#include "control/command_line.h"
#include "control/control_socket.h"
#include "control/device_commands.h"
#include "control/macro_record_command.h"
#include "control/sync_command.h"
#include "device_access/hid_backend.h"
#include "profiles/data_folders.h"
#include "transport/in_process_simulation.h"

namespace brontal {
namespace {

// How long brontalctl waits for a device to be found and read.
constexpr std::chrono::seconds kDeviceWait{15};

struct Command {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  std::span<const OptionSpec> options;
  int (*run)(CommandArgs, std::ostream&, std::ostream&);
};

int UdevRulesCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  const bool input = args.size() == 1 && args.front() == "--input";
  if (!args.empty() && !input) {
    err << "brontalctl: udev-rules takes no arguments, only --input\n";
    return kExitUsage;
  }
  out << (input ? InputUdevRulesText() : UdevRulesText());
  return kExitOk;
}

constexpr OptionSpec kJsonOnly[] = {{"--json", false}};
constexpr OptionSpec kMonitorOptions[] = {{"--json", false}, {"--for", true}};
constexpr OptionSpec kUdevRulesOptions[] = {{"--input", false}};

constexpr std::array kCommands = {
    Command{"list", "list [--json]", "every HID top-level collection found", kJsonOnly, ListCommand},
    Command{"describe", "describe FILE [--json]",
            "the top-level collections of a report descriptor (binary or hexadecimal text)", kJsonOnly,
            DescribeCommand},
    Command{"info", "info [--json]", "device information of every supported device attached", kJsonOnly, InfoCommand},
    Command{"monitor", "monitor [--for SECONDS] [--json]", "follow devices as they come and go (until Ctrl+C)",
            kMonitorOptions, MonitorCommand},
    Command{"doctor", "doctor [--json]", "why a device does not work (access, udev rule, other programs) and the fix",
            kJsonOnly, DoctorCommand},
    Command{"actions", "actions [--json]",
            "every function a key can be given: category, action bytes and the name 'assign' takes", kJsonOnly,
            ActionsCommand},
    Command{"udev-rules", "udev-rules [--input]",
            "the udev rules that give the logged-in user access to the devices (--input: the opt-in rules that "
            "also let macro recording read the keyboards' and mice's input outside X11)",
            kUdevRulesOptions, UdevRulesCommand},
};

constexpr std::size_t kUsageColumn = 34;

void PrintUsageLine(std::ostream& out, std::string_view usage, std::string_view summary) {
  out << "  " << usage;
  if (usage.size() + 2 >= kUsageColumn) out << "\n  ";
  for (std::size_t pad = usage.size() + 2 >= kUsageColumn ? 2 : usage.size() + 2; pad < kUsageColumn; ++pad) out << ' ';
  out << summary << '\n';
}

void PrintHelp(std::ostream& out) {
  out << "Usage: brontalctl COMMAND [DEVICE] [ARGS] [OPTIONS]\n\n"
         "Configuration tool for Brontal Driver devices. Options may stand anywhere;\n"
         "'brontalctl COMMAND --help' explains a command.\n\nCommands:\n";
  for (const Command& c : kCommands) PrintUsageLine(out, c.usage, c.summary);
  for (const DeviceCommandInfo& c : DeviceCommands()) PrintUsageLine(out, c.usage, c.summary);
  PrintUsageLine(out, sync_command::Info().usage, sync_command::Info().summary);
  PrintUsageLine(out, "lighting preview PRODUCT --mode M --steps K [...]",
                 "a keyboard model's host animation, step by step, without a device");
  for (const audio_command::SubCommand& c : audio_command::SubCommands()) PrintUsageLine(out, c.usage, c.summary);
  for (const update_command::Usage& c : update_command::Usages()) PrintUsageLine(out, c.usage, c.summary);
  out << "\nDEVICE is keyboard, mouse, mousepad, headset or VID:PID. While brontal-driver runs,\n"
         "device commands are carried out by it; otherwise brontalctl opens the device itself.\n"
         "Exit status: 0 done, 1 the device or the operation failed, 2 usage error (nothing written).\n"
         "\nOptions:\n"
         "  --simulate [VID:PID,...]  use simulated devices in this process (default: the 320f:5100\n"
         "                            keyboard with its receiver 320f:5103, and the mouse 320f:2003)\n"
         "  --help                    this text\n  --version                 the program's version\n\n"
         "BRONTAL_HID=sim:DIR uses the simulated bus of a running 'brontal-sim serve DIR'.\n"
         "BRONTAL_TRACE=FILE (or - for standard error) sends the debug log, with every packet, there.\n";
}

// Device commands: checked here, then carried out by the program that owns the devices.
int RunDeviceCommand(std::span<const std::string_view> words, bool simulated, std::ostream& out, std::ostream& err) {
  DeviceRequest request{{words.begin(), words.end()}, HidBus::Identity()};
  DeviceCommandLine line;
  std::string error;
  if (!ParseDeviceCommand(request.args, line, error)) {
    err << "brontalctl: " << request.args.front() << ": " << error << '\n';
    return kExitUsage;
  }
  if (line.args.help) {
    out << "Usage: brontalctl " << line.info->usage << "\n\n" << line.info->summary << ".\n" << line.info->help;
    return kExitOk;
  }
  // Files are the caller's: another program must find them from its own folder.
  // The file is the last positional word, so its last occurrence is it (a
  // macro's name may read the same).
  if (const std::optional<std::size_t> file_word = CallerFileWord(line)) {
    const std::string& file = line.args.positional[*file_word];
    const auto word = std::find(request.args.rbegin(), request.args.rend(), file);
    *word = std::filesystem::absolute(file).lexically_normal().string();
  }
  if (line.info->name == "macro" && line.args.positional.front() == "record") {
    std::string ignored;
    const auto options = macro_record_command::ParseOptions(line.args, ignored);
    err << "brontalctl: macro: recording into " << line.args.positional[1] << " for " << options->length.count()
        << " s once the " << line.device << " answers; what is typed still reaches its program" << std::endl;
  }
  std::optional<DeviceReply> reply;
  if (!simulated) reply = SendDeviceRequest(request);
  if (!reply) reply = RunOnOwnDevices(request, kDeviceWait);
  out << reply->out;
  err << reply->err;
  return reply->status;
}

// "sync" lives in brontal-driver, which keeps computing the colours; without
// it there is nobody to run the effect.
int RunSyncCommand(std::span<const std::string_view> words, bool simulated, std::ostream& out, std::ostream& err) {
  const DeviceRequest request{{words.begin(), words.end()}, HidBus::Identity()};
  sync_command::Line line;
  std::string error;
  if (!sync_command::Parse(request.args, line, error)) {
    err << "brontalctl: sync: " << error << " (" << sync_command::Info().usage << ")\n";
    return kExitUsage;
  }
  if (line.help) {
    out << sync_command::HelpText();
    return kExitOk;
  }
  const std::optional<DeviceReply> reply = simulated ? std::nullopt : SendDeviceRequest(request);
  if (!reply) {
    err << "brontalctl: sync: synchronised lighting runs in brontal-driver; start it first\n";
    return kExitFailure;
  }
  out << reply->out;
  err << reply->err;
  return reply->status;
}

}  // namespace

bool ParseJsonOption(CommandArgs args, std::string_view command, bool& json, std::ostream& err) {
  json = false;
  for (std::string_view a : args) {
    if (a != "--json") {
      err << "brontalctl: " << command << ": unexpected argument '" << a << "'\n";
      return false;
    }
    json = true;
  }
  return true;
}

int RunBrontalctl(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintHelp(err);
    return kExitUsage;
  }
  const std::string_view first = args.front();
  if (first == "--help" || first == "-h" || first == "help") {
    PrintHelp(out);
    return kExitOk;
  }
  if (first == "--version") {
    out << "brontalctl " BRONTAL_VERSION "\n";
    return kExitOk;
  }
  // --simulate [LIST] may stand anywhere; it puts the command on an in-process simulated bus.
  std::vector<std::string_view> rest;
  std::optional<std::vector<sim::ProductIds>> simulated;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--simulate") {
      rest.push_back(args[i]);
      continue;
    }
    simulated = sim::DefaultSimulatedProducts();
    if (i + 1 < args.size() && !args[i + 1].starts_with("-") && args[i + 1].find(':') != std::string_view::npos) {
      std::string error;
      if (!sim::ParseProductList(args[++i], *simulated, error)) {
        err << "brontalctl: --simulate: " << error << '\n';
        return kExitUsage;
      }
    }
  }
  if (rest.empty()) {
    PrintHelp(err);
    return kExitUsage;
  }
  // "lighting modes" reaches a device; "lighting preview" only computes.
  if (rest.front() == "lighting") {
    const auto action =
        std::find_if(rest.begin() + 1, rest.end(), [](std::string_view w) { return !w.starts_with('-'); });
    if (action != rest.end() && *action == "preview") {
      std::vector<std::string_view> words(rest.begin() + 1, rest.end());
      words.erase(words.begin() + (action - rest.begin() - 1));
      return LightingPreviewCommand(words, out, err);
    }
  }
  if (rest.front() == audio_command::kName) return audio_command::Run(std::span(rest).subspan(1), out, err);
  // Commands that reach devices refuse a bus that is no bus rather than fall back to the real one.
  const bool reaches_devices = rest.front() != "describe" && rest.front() != "udev-rules" &&
                               rest.front() != "actions" && std::find(rest.begin(), rest.end(), "--help") == rest.end();
  if (reaches_devices && !simulated) {
    if (const std::optional<std::string> bad = HidBus::EnvironmentError()) {
      err << "brontalctl: " << *bad << '\n';
      return kExitUsage;
    }
  }
  // A folder of the user's that cannot be written is said once, whoever finds it.
  SetFolderNoticeHandler([](const std::string& text) { std::cerr << "brontalctl: " << text << '\n'; });
  if (rest.front() == sync_command::kName) return RunSyncCommand(rest, simulated.has_value(), out, err);
  std::optional<sim::InProcessSimulation> simulation;
  if (rest.front() == update_command::kName) {
    if (simulated) simulation.emplace(*simulated);
    return update_command::Run(std::span(rest).subspan(1), out, err);
  }
  if (FindDeviceCommand(rest.front())) {
    if (simulated) simulation.emplace(*simulated);
    return RunDeviceCommand(rest, simulated.has_value(), out, err);
  }
  for (const Command& c : kCommands) {
    if (c.name != rest.front()) continue;
    ParsedArgs parsed;
    std::string error;
    if (!ParseArgs(std::span(rest).subspan(1), c.options, parsed, error)) {
      err << "brontalctl: " << c.name << ": " << error << " (" << c.usage << ")\n";
      return kExitUsage;
    }
    if (parsed.help) {
      out << "Usage: brontalctl " << c.usage << "\n\n" << c.summary << ".\n";
      return kExitOk;
    }
    // The command reads its words in one order: its arguments, then its options.
    std::vector<std::string> words = parsed.positional;
    for (const std::string& flag : parsed.flags) words.push_back(flag);
    for (const auto& [option, value] : parsed.values) {
      words.push_back(option);
      words.push_back(value);
    }
    const std::vector<std::string_view> views(words.begin(), words.end());
    if (simulated) simulation.emplace(*simulated);
    return c.run(views, out, err);
  }
  err << "brontalctl: unknown command '" << rest.front() << "' (see brontalctl --help)\n";
  return kExitUsage;
}

}  // namespace brontal
