#include "cli/brontalctl.h"

#include <array>
#include <ostream>

#include "cli/commands.h"
#include "cli/udev_rules_text.h"

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
  out << "\nOptions:\n  --help                    this text\n  --version                 the program's version\n\n"
         "BRONTAL_TRACE=FILE (or - for standard error) sends the debug log there.\n";
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
  for (const Command& c : kCommands) {
    if (c.name == first) return c.run(args.subspan(1), out, err);
  }
  err << "brontalctl: unknown command '" << first << "' (see brontalctl --help)\n";
  return kExitUsage;
}

}  // namespace brontal
