#pragma once

#include <json/json.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "control/device_commands.h"

// The words the device commands share: NAME=VALUE pairs, colours, action
// bytes, on-board indexes, and the shape of their replies.
namespace brontal::setting_words {

struct Pair {
  std::string name;
  std::string value;
};
std::optional<Pair> SplitPair(const std::string& word);

// "RRGGBB" or "#RRGGBB".
std::optional<long> ParseColour(std::string_view text);
std::string HexColour(std::uint8_t r, std::uint8_t g, std::uint8_t b);
std::string HexAction(const std::array<std::uint8_t, 3>& action);

// A JSON reply, indented.
std::string Written(const Json::Value& value);

// Exit status 1, with the command's name before the reason.
DeviceReply Failure(const DeviceCommandLine& line, const std::string& reason);

// "--index N": one of the four on-board key tables, 0..3. False, with the
// reason, for another word.
bool CheckOnboardIndex(const DeviceCommandLine& line, std::string& error);
// The on-board index "--index" names, else the profile's position (the first
// table when there is no position).
int OnboardIndex(const DeviceCommandLine& line, int profile_position);

// A command that takes no words after the device.
bool CheckNoArguments(const DeviceCommandLine& line, std::string& error);

// Every positional word is NAME=VALUE and passes `check`.
bool CheckPairs(const DeviceCommandLine& line, std::string& error,
                const std::function<bool(const Pair&, std::string&)>& check);

}  // namespace brontal::setting_words
