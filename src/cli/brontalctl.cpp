#include "cli/brontalctl.h"

#include <array>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/commands.h"
#include "cli/udev_rules_text.h"
#include "transport/in_process_simulation.h"

namespace brontal {
namespace {

struct Command {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  int (*run)(CommandArgs, std::ostream&, std::ostream&);
};

int UdevRulesCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    err << "brontalctl: udev-rules takes no arguments\n";
    return kExitUsage;
  }
  out << UdevRulesText();
  return kExitOk;
}

constexpr std::array kCommands = {
    Command{"list", "list [--json]", "every HID top-level collection found", ListCommand},
    Command{"describe", "describe FILE [--json]",
            "the top-level collections of a report descriptor (binary or hexadecimal text)", DescribeCommand},
    Command{"info", "info [--json]", "device information of every supported device attached", InfoCommand},
    Command{"monitor", "monitor [--for SECONDS] [--json]",
            "follow devices as they come and go (until Ctrl+C)", MonitorCommand},
    Command{"udev-rules", "udev-rules", "the udev rules that give the logged-in user access to the devices",
            UdevRulesCommand},
};

void PrintHelp(std::ostream& out) {
  out << "Usage: brontalctl COMMAND [OPTIONS]\n\n"
         "Configuration tool for Brontal Driver devices.\n\nCommands:\n";
  for (const Command& c : kCommands) {
    out << "  " << c.usage;
    for (std::size_t pad = c.usage.size(); pad < 26; ++pad) out << ' ';
    out << c.summary << '\n';
  }
  out << "\nOptions:\n"
         "  --simulate [VID:PID,...]  use simulated devices in this process (default: the 320f:5100\n"
         "                            keyboard with its receiver 320f:5103, and the mouse 320f:2003)\n"
         "  --help                    this text\n  --version                 the program's version\n\n"
         "BRONTAL_HID=sim:DIR uses the simulated bus of a running 'brontal-sim serve DIR'.\n"
         "BRONTAL_TRACE=FILE (or - for standard error) sends the debug log, with every packet, there.\n";
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
  for (const Command& c : kCommands) {
    if (c.name != rest.front()) continue;
    std::optional<sim::InProcessSimulation> simulation;
    if (simulated) simulation.emplace(*simulated);
    return c.run(std::span(rest).subspan(1), out, err);
  }
  err << "brontalctl: unknown command '" << rest.front() << "' (see brontalctl --help)\n";
  return kExitUsage;
}

}  // namespace brontal
