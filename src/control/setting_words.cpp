#include "control/setting_words.h"

#include <algorithm>
#include <cstdio>

namespace brontal::setting_words {
namespace {

constexpr long kLastOnboardIndex = 3;

}  // namespace

std::optional<Pair> SplitPair(const std::string& word) {
  const std::size_t equals = word.find('=');
  if (equals == std::string::npos || equals == 0) return std::nullopt;
  return Pair{word.substr(0, equals), word.substr(equals + 1)};
}

std::optional<long> ParseColour(std::string_view text) {
  if (text.starts_with('#')) text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  return ParseNumber(text, 0, 0xFFFFFF, 16);
}

std::string HexColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", r, g, b);
  return text;
}

std::string HexAction(const std::array<std::uint8_t, 3>& action) { return HexColour(action[0], action[1], action[2]); }

std::string Written(const Json::Value& value) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "  ";
  return Json::writeString(writer, value) + "\n";
}

DeviceReply Failure(const DeviceCommandLine& line, const std::string& reason) {
  return {1, "", "brontalctl: " + std::string(line.info->name) + ": " + reason + "\n"};
}

bool CheckOnboardIndex(const DeviceCommandLine& line, std::string& error) {
  const std::optional<std::string> index = line.args.Value("--index");
  if (index && !ParseNumber(*index, 0, kLastOnboardIndex)) {
    error = "--index takes an on-board index 0.." + std::to_string(kLastOnboardIndex) + ", not '" + *index + "'";
    return false;
  }
  return true;
}

int OnboardIndex(const DeviceCommandLine& line, int profile_position) {
  if (const auto index = line.args.Value("--index"))
    return static_cast<int>(*ParseNumber(*index, 0, kLastOnboardIndex));
  return std::max(0, profile_position);
}

bool CheckNoArguments(const DeviceCommandLine& line, std::string& error) {
  if (line.args.positional.empty()) return true;
  error = "unexpected argument '" + line.args.positional.front() + "'";
  return false;
}

bool CheckPairs(const DeviceCommandLine& line, std::string& error,
                const std::function<bool(const Pair&, std::string&)>& check) {
  if (line.args.positional.empty()) {
    error = "nothing to " + std::string(line.info->name) + " (" + std::string(line.info->usage) + ")";
    return false;
  }
  for (const std::string& word : line.args.positional) {
    const std::optional<Pair> pair = SplitPair(word);
    if (!pair) {
      error = "'" + word + "' is not NAME=VALUE";
      return false;
    }
    if (!check(*pair, error)) return false;
  }
  return true;
}

}  // namespace brontal::setting_words
