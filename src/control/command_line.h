#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brontal {

// The options a command knows: flags ("--json") and options with a value
// ("--index N"). Options may stand anywhere among the arguments; "--" ends
// them (what follows is positional, even "--json").
struct OptionSpec {
  std::string_view name;  // with the dashes
  bool takes_value = false;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::set<std::string, std::less<>> flags;
  std::map<std::string, std::string, std::less<>> values;
  bool help = false;  // "--help" or "-h" anywhere

  bool Has(std::string_view flag) const { return flags.contains(flag); }
  std::optional<std::string> Value(std::string_view option) const;
};

// False, with the reason, for an unknown option or one without its value.
bool ParseArgs(std::span<const std::string_view> args, std::span<const OptionSpec> known, ParsedArgs& parsed,
               std::string& error);

// Whole-text number in [low, high]; nothing otherwise.
std::optional<long> ParseNumber(std::string_view text, long low, long high, int base = 10);

}  // namespace brontal
