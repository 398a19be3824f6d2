#include "control/shoot_commands.h"

#include <json/json.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <variant>
#include <vector>

#include "control/setting_words.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "macros/shoot_file.h"
#include "macros/shoot_image.h"

namespace brontal::shoot_commands {
namespace {

using Done = std::function<void(DeviceReply)>;
using setting_words::Failure;

struct Action {
  std::string_view name;
  std::size_t words;  // with the action's own; set takes more pairs than its first
};

constexpr Action kActions[] = {{"list", 1},   {"show", 2},   {"set", 3}, {"reset", 2},
                               {"import", 3}, {"export", 3}, {"send", 1}};

// What a shot's edits on the shoot page take.
struct ShotField {
  std::string_view name;
  long low, high;
};
constexpr long kLargestPull = std::numeric_limits<std::uint8_t>::max();
constexpr std::array kShotFields = {ShotField{"X", -kLargestPull, kLargestPull},
                                    ShotField{"Y", -kLargestPull, kLargestPull},
                                    ShotField{"PAUSE", 0, std::numeric_limits<std::uint16_t>::max()}};

std::string Guns() { return "a gun 0.." + std::to_string(kGunCount - 1); }

std::optional<std::size_t> ParseGun(std::string_view word) {
  const std::optional<long> gun = ParseNumber(word, 0, kGunCount - 1);
  if (!gun) return std::nullopt;
  return static_cast<std::size_t>(*gun);
}

struct ShotWord {
  std::size_t shot = 0;
  Shot value;
};

// "SHOT=X,Y,PAUSE": a negative X pulls left, a negative Y up.
std::optional<ShotWord> ParseShotWord(const std::string& word, std::string& error) {
  const std::optional<setting_words::Pair> pair = setting_words::SplitPair(word);
  if (!pair) {
    error = "'" + word + "' is not SHOT=X,Y,PAUSE";
    return std::nullopt;
  }
  const std::optional<long> shot = ParseNumber(pair->name, 0, kShotCount - 1);
  if (!shot) {
    error = "'" + pair->name + "' is not a shot 0.." + std::to_string(kShotCount - 1);
    return std::nullopt;
  }
  std::vector<std::string_view> parts;
  std::string_view rest = pair->value;
  for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos; rest.remove_prefix(comma + 1))
    parts.push_back(rest.substr(0, comma));
  parts.push_back(rest);
  if (parts.size() != kShotFields.size()) {
    error = "shot " + pair->name + ": '" + pair->value + "' is not X,Y,PAUSE";
    return std::nullopt;
  }
  std::array<long, kShotFields.size()> values{};
  for (std::size_t i = 0; i < kShotFields.size(); ++i) {
    const ShotField& field = kShotFields[i];
    const std::optional<long> value = ParseNumber(parts[i], field.low, field.high);
    if (!value) {
      error = "shot " + pair->name + ": " + std::string(field.name) + " is " + std::to_string(field.low) + ".." +
              std::to_string(field.high) + ", not '" + std::string(parts[i]) + "'";
      return std::nullopt;
    }
    values[i] = *value;
  }
  const auto [x, y, pause] = values;
  return ShotWord{static_cast<std::size_t>(*shot),
                  {.x = static_cast<std::uint8_t>(std::abs(x)),
                   .left = x < 0,
                   .y = static_cast<std::uint8_t>(std::abs(y)),
                   .up = y < 0,
                   .pause = pause}};
}

void List(const ShootFiles& files, bool json, Done done) {
  const ShootPatterns patterns = files.Patterns();
  Json::Value rows(Json::arrayValue);
  std::string out = "gun  events  shots\n";
  for (std::size_t gun = 0; gun < kGunCount; ++gun) {
    const std::size_t events = patterns[gun].size();
    Json::Value row;
    row["gun"] = static_cast<Json::UInt>(gun);
    row["events"] = static_cast<Json::UInt64>(events);
    row["shots"] = static_cast<Json::UInt64>(events / kShotEvents);
    rows.append(row);
    char text[64];
    std::snprintf(text, sizeof text, "%3zu  %6zu  %5zu\n", gun, events, events / kShotEvents);
    out += text;
  }
  done({0, json ? setting_words::Written(rows) : out, ""});
}

void Show(const ShootFiles& files, std::size_t gun, bool json, Done done) {
  Json::Value rows(Json::arrayValue);
  std::string out = "shot    x  dir      y  dir   pause\n";
  for (std::size_t b = 0; b < kShotCount; ++b) {
    const Shot shot = files.ReadShot(gun, b);
    const char* across = shot.left ? "left" : "right";
    const char* along = shot.up ? "up" : "down";
    Json::Value row;
    row["shot"] = static_cast<Json::UInt>(b);
    row["x"] = shot.x;
    row["x_direction"] = across;
    row["y"] = shot.y;
    row["y_direction"] = along;
    row["pause"] = static_cast<Json::Int64>(shot.pause);
    rows.append(row);
    char text[80];
    std::snprintf(text, sizeof text, "%4zu  %3u  %-5s  %3u  %-4s  %5lld\n", b, unsigned{shot.x}, across,
                  unsigned{shot.y}, along, static_cast<long long>(shot.pause));
    out += text;
  }
  done({0, json ? setting_words::Written(rows) : out, ""});
}

void Set(const ShootFiles& files, std::size_t gun, const DeviceCommandLine& line, Done done) {
  const std::vector<std::string>& words = line.args.positional;
  for (auto word = words.begin() + 2; word != words.end(); ++word) {
    std::string ignored;
    const ShotWord shot = *ParseShotWord(*word, ignored);
    if (!files.StoreShot(gun, shot.shot, shot.value))
      return done(
          Failure(line, "shot " + std::to_string(shot.shot) + " could not be stored in " + files.Path(gun).string()));
  }
  done({0, "", ""});
}

void Import(const ShootFiles& files, std::size_t gun, const DeviceCommandLine& line, const std::string& file,
            Done done) {
  // The mouse does not tell its memory for patterns: the image's own limit applies, as on the shoot page.
  const ShootImport imported = files.Import(gun, file, kLargestShootImage);
  if (!imported.imported) return done(Failure(line, file + " " + imported.problem));
  if (imported.left_out == 0) return done({0, "", ""});
  done({0, "",
        "brontalctl: shoot: a pattern may have " + std::to_string(LargestShootPattern(kLargestShootImage)) +
            " events; the other " + std::to_string(imported.left_out) + " of " + file + " were left out\n"});
}

void Send(CCorvaneMouseDevice& mouse, const ShootFiles& files, const DeviceCommandLine& line, Done done) {
  const ShootPatterns patterns = files.Patterns();
  // Hand-edited files may hold more than the image's 16-bit length can say.
  ShootImageBuild image = BuildShootImage(patterns);
  if (const auto* refused = std::get_if<MacroImageTooLarge>(&image))
    return done(Failure(line, "the patterns are too long to send: " + std::to_string(refused->ExcessEvents()) +
                                  " events too many; nothing was sent"));
  std::vector<std::uint8_t>& bytes = std::get<std::vector<std::uint8_t>>(image);
  Json::Value sent(Json::objectValue);
  sent["bytes"] = static_cast<Json::UInt64>(bytes.size());
  Json::Value& events = sent["events"] = Json::Value(Json::arrayValue);
  for (const std::vector<MacroEvent>& pattern : patterns) events.append(static_cast<Json::UInt64>(pattern.size()));
  const std::string told = line.args.Has("--json") ? setting_words::Written(sent)
                                                   : std::to_string(kGunCount) + " patterns sent (" +
                                                         std::to_string(bytes.size()) + " bytes)\n";
  mouse.WriteShootImage(std::move(bytes), [line, done, told](bool ok) {
    done(ok ? DeviceReply{0, told, ""} : Failure(line, "the mouse did not take the patterns"));
  });
}

}  // namespace

bool Check(const DeviceCommandLine& line, std::string& error) {
  const std::vector<std::string>& words = line.args.positional;
  const auto action =
      std::ranges::find_if(kActions, [&](const Action& a) { return !words.empty() && words[0] == a.name; });
  if (action == std::end(kActions)) {
    error = "list, show N, set N SHOT=X,Y,PAUSE..., reset N, import N FILE, export N FILE or send";
    return false;
  }
  const bool set = action->name == "set";
  if (set ? words.size() < action->words : words.size() != action->words) {
    error = std::string(action->name) + (action->words == 1   ? " takes nothing more"
                                         : action->words == 2 ? " takes " + Guns()
                                         : set                ? " takes " + Guns() + " and SHOT=X,Y,PAUSE pairs"
                                                              : " takes " + Guns() + " and a file");
    return false;
  }
  if (line.args.Has("--json") && action->name != "list" && action->name != "show" && action->name != "send") {
    error = "only list, show and send take --json";
    return false;
  }
  if (action->words == 1) return true;
  if (!ParseGun(words[1])) {
    error = "'" + words[1] + "' is not " + Guns();
    return false;
  }
  if ((action->name == "import" || action->name == "export") && words[2].empty()) {
    error = "which file?";
    return false;
  }
  if (set)
    for (auto word = words.begin() + 2; word != words.end(); ++word)
      if (!ParseShotWord(*word, error)) return false;
  return true;
}

void Run(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  const ShootFiles files(mouse.UserDataFolder(), CCorvaneUSBDevice::DefaultDataFolder());
  files.SetUp();
  const std::vector<std::string>& words = line.args.positional;
  const std::string& action = words[0];
  if (action == "list") return List(files, line.args.Has("--json"), std::move(done));
  if (action == "send") return Send(mouse, files, line, std::move(done));
  const std::size_t gun = *ParseGun(words[1]);
  if (action == "show") return Show(files, gun, line.args.Has("--json"), std::move(done));
  if (action == "set") return Set(files, gun, line, std::move(done));
  if (action == "import") return Import(files, gun, line, words[2], std::move(done));
  if (action == "reset") {
    if (!files.Reset(gun))
      return done(Failure(line, "gun " + std::to_string(gun) + " has no factory pattern, or " +
                                    files.Path(gun).string() + " could not be written"));
    return done({0, "", ""});
  }
  // export
  if (!files.Export(gun, words[2])) return done(Failure(line, "the pattern could not be copied to " + words[2]));
  done({0, "", ""});
}

}  // namespace brontal::shoot_commands
