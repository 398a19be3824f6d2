#include "control/command_line.h"

#include <algorithm>
#include <charconv>

namespace brontal {

std::optional<std::string> ParsedArgs::Value(std::string_view option) const {
  const auto found = values.find(option);
  if (found == values.end()) return std::nullopt;
  return found->second;
}

bool ParseArgs(std::span<const std::string_view> args, std::span<const OptionSpec> known, ParsedArgs& parsed,
               std::string& error) {
  parsed = ParsedArgs{};
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      parsed.positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    // "--index=2" as well as "--index 2".
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const auto spec = std::find_if(known.begin(), known.end(), [&](const OptionSpec& s) { return s.name == name; });
    if (spec == known.end()) {
      error = "unknown option '" + std::string(name) + "'";
      return false;
    }
    if (!spec->takes_value) {
      if (equals != std::string_view::npos) {
        error = "option '" + std::string(name) + "' takes no value";
        return false;
      }
      parsed.flags.emplace(name);
      continue;
    }
    if (equals != std::string_view::npos) {
      parsed.values[std::string(name)] = std::string(arg.substr(equals + 1));
    } else if (i + 1 < args.size()) {
      parsed.values[std::string(name)] = std::string(args[++i]);
    } else {
      error = "option '" + std::string(name) + "' needs a value";
      return false;
    }
  }
  return true;
}

std::optional<long> ParseNumber(std::string_view text, long low, long high, int base) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

}  // namespace brontal
