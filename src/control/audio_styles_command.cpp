#include "control/audio_styles_command.h"

#include <json/json.h>

#include <optional>
#include <ostream>

#include "control/command_line.h"
#include "control/setting_words.h"
#include "device_access/hid_backend.h"

namespace brontal::audio_styles_command {
namespace {

using Field = Change::Field;

constexpr OptionSpec kOptions[] = {{"--json", false}};
constexpr int kStatusUsage = 2;
constexpr std::string_view kNamePrefix = "name";
constexpr std::string_view kLevelLetters = "rgb";

std::string Prefixed(const std::string& text) { return "brontalctl: audio styles: " + text + "\n"; }

// 0..3 for "1".."4".
std::optional<std::size_t> StyleNumber(std::string_view digits) {
  const std::optional<long> number = ParseNumber(digits, 1, static_cast<long>(kAudioStyleCount));
  if (!number) return std::nullopt;
  return static_cast<std::size_t>(*number - 1);
}

std::optional<Change> ChangeOf(const setting_words::Pair& pair, std::string& error) {
  const std::string_view name = pair.name;
  Change change;
  if (name == "style") {
    const std::optional<long> style = ParseNumber(pair.value, 0, static_cast<long>(kAudioStyleCount) - 1);
    if (!style) {
      error = "style takes 0.." + std::to_string(kAudioStyleCount - 1) + ", not '" + pair.value + "'";
      return std::nullopt;
    }
    change.number = static_cast<std::uint8_t>(*style);
    return change;
  }
  if (name.starts_with(kNamePrefix)) {
    const std::optional<std::size_t> style = StyleNumber(name.substr(kNamePrefix.size()));
    if (style) return Change{Field::kName, *style, 0, pair.value};
  }
  const std::size_t letter = name.empty() ? std::string_view::npos : kLevelLetters.find(name.front());
  const std::optional<std::size_t> style =
      letter == std::string_view::npos ? std::nullopt : StyleNumber(name.substr(1));
  if (!style) {
    error = "no setting '" + pair.name + "' (style, name1..name4, r1, g1, b1 .. r4, g4, b4)";
    return std::nullopt;
  }
  const std::optional<long> level = ParseNumber(pair.value, 0, kHighestStyleLevel);
  if (!level) {
    error = pair.name + " takes a level 0.." + std::to_string(kHighestStyleLevel) + ", not '" + pair.value + "'";
    return std::nullopt;
  }
  constexpr Field kLevelFields[] = {Field::kRed, Field::kGreen, Field::kBlue};
  return Change{kLevelFields[letter], *style, static_cast<std::uint8_t>(*level), {}};
}

}  // namespace

bool Parse(std::span<const std::string> words, Line& line, std::string& error) {
  line = Line{};
  const std::vector<std::string_view> views(words.begin(), words.end());
  ParsedArgs args;
  if (!ParseArgs(views, kOptions, args, error)) return false;
  line.json = args.Has("--json");
  for (const std::string& word : args.positional) {
    const std::optional<setting_words::Pair> pair = setting_words::SplitPair(word);
    if (!pair) {
      error = "'" + word + "' is not NAME=VALUE";
      return false;
    }
    const std::optional<Change> change = ChangeOf(*pair, error);
    if (!change) return false;
    line.changes.push_back(*change);
  }
  if (line.json && !line.changes.empty()) {
    error = "--json goes with showing the styles";
    return false;
  }
  return true;
}

AudioStyles Changed(AudioStyles styles, const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    switch (change.field) {
      case Field::kSelected: styles.selected = change.number; break;
      case Field::kName: styles.names[change.style] = StyleNameOrDefault(change.text, change.style); break;
      case Field::kRed:
      case Field::kGreen:
      case Field::kBlue:
        styles
            .levels[3 * change.style + static_cast<std::size_t>(change.field) - static_cast<std::size_t>(Field::kRed)] =
            change.number;
        break;
    }
  }
  return styles;
}

std::string Describe(const AudioStyles& styles, bool json) {
  if (json) {
    Json::Value v;
    v["style"] = styles.selected;
    Json::Value& list = v["styles"] = Json::Value(Json::arrayValue);
    for (std::size_t style = 0; style < kAudioStyleCount; ++style) {
      Json::Value& entry = list.append(Json::objectValue);
      entry["name"] = styles.names[style];
      for (std::size_t colour = 0; colour < kLevelLetters.size(); ++colour)
        entry[std::string(1, kLevelLetters[colour])] = styles.levels[3 * style + colour];
    }
    return setting_words::Written(v);
  }
  std::string text = "style = " + std::to_string(styles.selected) + "\n";
  for (std::size_t style = 0; style < kAudioStyleCount; ++style) {
    const std::string number = std::to_string(style + 1);
    text += std::string(kNamePrefix) + number + " = " + styles.names[style] + "\n";
    for (std::size_t colour = 0; colour < kLevelLetters.size(); ++colour)
      text += kLevelLetters[colour] + number + " = " + std::to_string(styles.levels[3 * style + colour]) + "\n";
  }
  return text;
}

DeviceRequest RequestOf(std::span<const std::string_view> words) {
  DeviceRequest request{{std::string(kCommand), std::string(kSubcommand)}, HidBus::Identity()};
  request.args.insert(request.args.end(), words.begin(), words.end());
  return request;
}

bool IsRequest(const DeviceRequest& request) {
  return request.args.size() >= 2 && request.args[0] == kCommand && request.args[1] == kSubcommand;
}

DeviceReply Answer(const DeviceRequest& request, const AudioStyles& current,
                   const std::function<bool(const AudioStyles&)>& apply) {
  if (!IsRequest(request)) return {kStatusUsage, "", Prefixed("not an audio styles request")};
  Line line;
  std::string error;
  if (!Parse(std::span(request.args).subspan(2), line, error))
    return {kStatusUsage, "", Prefixed(error + " (" + std::string(kUsage) + ")")};
  if (line.changes.empty()) return {0, Describe(current, line.json), ""};
  if (!apply(Changed(current, line.changes))) return {1, "", Prefixed("AudioFile.json could not be written")};
  return {0, "", ""};
}

int Run(std::span<const std::string_view> words, std::ostream& out, std::ostream& err, const AppFolders& folders,
        const std::filesystem::path& control_socket) {
  const DeviceRequest request = RequestOf(words);
  Line line;
  std::string error;
  // Nothing goes anywhere before the words are right.
  if (!Parse(std::span(request.args).subspan(2), line, error)) {
    err << Prefixed(error + " (" + std::string(kUsage) + ")");
    return kStatusUsage;
  }
  std::optional<DeviceReply> reply = SendDeviceRequest(request, control_socket);
  if (!reply)
    reply = Answer(request, LoadAudioStyles(folders),
                   [&folders](const AudioStyles& styles) { return SaveAudioStyles(styles, folders); });
  out << reply->out;
  err << reply->err;
  return reply->status;
}

}  // namespace brontal::audio_styles_command
