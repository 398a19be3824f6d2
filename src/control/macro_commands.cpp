#include "control/macro_commands.h"

#include <json/json.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <variant>

#include "cli/json_output.h"
#include "control/macro_download_words.h"
#include "control/macro_record_command.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "macros/macro_event_name.h"
#include "macros/macro_file.h"
#include "macros/macro_folder.h"
#include "macros/macro_key_repair.h"
#include "profiles/profile_list_file.h"

namespace brontal::macro_commands {
namespace {

using Done = std::function<void(DeviceReply)>;

struct Action {
  std::string_view name;
  std::size_t words;  // with the action's own
};

constexpr Action kActions[] = {{"list", 1},   {"show", 2},   {"add", 1},    {"rename", 3},  {"delete", 2},
                               {"import", 2}, {"export", 3}, {"record", 2}, {"download", 1}};

DeviceReply Failure(const std::string& reason) { return {1, "", "brontalctl: macro: " + reason + "\n"}; }

std::string JsonText(const Json::Value& value) {
  std::ostringstream out;
  WriteJson(out, value);
  return out.str();
}

DeviceReply NoSuchMacro(std::string_view name) {
  return {2, "", "brontalctl: macro: no macro named '" + std::string(name) + "'\n"};
}

// The key or button as its language key spells it, without the prefix.
std::string InputLabel(const MacroEvent& event) {
  if (event.type == macro_event_type::kHorizontalMove) return event.down ? "move left" : "move right";
  if (event.type == macro_event_type::kVerticalMove) return event.down ? "move up" : "move down";
  std::string_view key = MacroEventNameKey(event);
  if (key.empty()) return "type " + std::to_string(event.type) + " button " + std::to_string(event.button);
  for (std::string_view prefix : {"keyboard_key_", "mouse_key_"})
    if (key.starts_with(prefix)) key.remove_prefix(prefix.size());
  return std::string(key);
}

bool IsMovement(const MacroEvent& event) {
  return event.type == macro_event_type::kHorizontalMove || event.type == macro_event_type::kVerticalMove;
}

std::string EventRow(const std::string& event, const std::string& input, const std::string& action,
                     const std::string& delay) {
  char text[160];
  std::snprintf(text, sizeof text, "%5s  %-18s  %-6s  %5s\n", event.c_str(), input.c_str(), action.c_str(),
                delay.c_str());
  return text;
}

void List(const MacroFolder& folder, bool json, Done done) {
  const MacroIndex index = folder.Index();
  Json::Value rows(Json::arrayValue);
  std::string out;
  for (std::size_t i = 0; i < index.Count(); ++i) {
    const std::size_t events = LoadMacroEvents(folder.Path(), index.Guid(i)).size();
    Json::Value row;
    row["index"] = static_cast<Json::UInt>(i);
    row["name"] = index.Name(i);
    row["guid"] = index.Guid(i);
    row["events"] = static_cast<Json::UInt>(events);
    rows.append(row);
    out += std::to_string(i) + "  " + index.Name(i) + "  (" + std::to_string(events) + " events)\n";
  }
  done({0, json ? JsonText(rows) : out, ""});
}

void Show(const MacroFolder& folder, std::string_view name, bool json, Done done) {
  const MacroIndex index = folder.Index();
  const std::optional<std::size_t> found = index.Find(name);
  if (!found) return done(NoSuchMacro(name));
  Json::Value rows(Json::arrayValue);
  std::string out = EventRow("event", "input", "action", "delay");
  const std::vector<MacroEvent> events = LoadMacroEvents(folder.Path(), index.Guid(*found));
  for (std::size_t i = 0; i < events.size(); ++i) {
    const MacroEvent& event = events[i];
    Json::Value row = MacroEventToJson(event);
    row["Name"] = std::string(MacroEventNameKey(event));
    rows.append(row);
    const std::string action = IsMovement(event) ? std::to_string(event.button) : event.down ? "down" : "up";
    out += EventRow(std::to_string(i), InputLabel(event), action, std::to_string(event.delay));
  }
  done({0, json ? JsonText(rows) : out, ""});
}

// The macros sent, by slot, and the image's size; none and 0 when no key
// plays a macro.
Json::Value DownloadJson(const MacroDownloadResult& result) {
  Json::Value out(Json::objectValue);
  Json::Value& macros = out["macros"] = Json::Value(Json::arrayValue);
  const auto* sent = std::get_if<MacrosSent>(&result.outcome);
  if (sent)
    for (const std::uint8_t index : result.macros) macros.append(index);
  out["bytes"] = static_cast<Json::UInt64>(sent ? sent->image_bytes : 0);
  return out;
}

void Add(const MacroFolder& folder, Done done) {
  if (folder.Index().Count() >= kMacroLimit)
    return done(Failure("there are " + std::to_string(kMacroLimit) + " macros already"));
  const std::optional<std::size_t> added = folder.Add(std::chrono::system_clock::now());
  if (!added) return done(Failure("no macro was made: " + folder.Path().string() + " could not be written"));
  done({0, folder.Index().Name(*added) + "\n", ""});
}

void Rename(const MacroFolder& folder, std::string_view old_name, std::string_view new_name, Done done) {
  const std::optional<std::size_t> found = folder.Index().Find(old_name);
  if (!found) return done(NoSuchMacro(old_name));
  switch (folder.Rename(*found, new_name)) {
    case MacroRename::kRenamed: return done({0, "", ""});
    case MacroRename::kNameTaken: return done(Failure("a macro has that name already"));
    case MacroRename::kBlankName: return done({2, "", "brontalctl: macro: the name is blank\n"});
    case MacroRename::kNoSuchMacro: return done(NoSuchMacro(old_name));
    case MacroRename::kNotWritten: return done(Failure("the macro index could not be written"));
  }
}

void Delete(CCorvaneKeyboardDevice& keyboard, const MacroFolder& folder, std::string_view name, Done done) {
  const std::optional<std::size_t> found = folder.Index().Find(name);
  if (!found) return done(NoSuchMacro(name));
  // The index first: should it fail, no key has been renumbered against it.
  if (!folder.Remove(*found)) return done(Failure("the macro index could not be written; nothing was deleted"));
  CKeyboardProfiledata& profile = keyboard.profile();
  std::string err;
  const StoredProfilesRepair stored = RenumberMacroActionsInProfiles(folder.Path(), *found, profile.ProfilePath());
  for (const std::string& profile_name : stored.not_written)
    err += "brontalctl: macro: profile '" + profile_name +
           "' could not be saved: its keys still play macros by their old numbers\n";
  keyboard.RepairKeysAfterMacroRemoval(
      *found, [err, done, path = profile.ProfilePath().string()](const auto& repair) mutable {
        if (!repair.saved)
          err += "brontalctl: macro: the profile could not be saved (" + path + "); nothing was sent\n";
        for (const KeyWriteOutcome& outcome : repair.writes) {
          if (outcome.ok()) continue;
          err += outcome.key_table
                     ? "brontalctl: macro: the keyboard did not take the key table (saved in the profile)\n"
                     : "brontalctl: macro: the macros could not be downloaded, so the key table was not written "
                       "(saved in the profile)\n";
        }
        done({err.empty() ? 0 : 1, "", err});
      });
}

void Import(const MacroFolder& folder, const std::string& file, Done done) {
  const MacroImport imported = folder.Import(file, std::chrono::system_clock::now());
  if (!imported.index) return done(Failure(file + " " + imported.problem));
  done({0, folder.Index().Name(*imported.index) + "\n", ""});
}

void Export(const MacroFolder& folder, std::string_view name, const std::string& file, Done done) {
  const std::optional<std::size_t> found = folder.Index().Find(name);
  if (!found) return done(NoSuchMacro(name));
  if (!folder.Export(*found, file)) return done(Failure("the macro could not be copied to " + file));
  done({0, "", ""});
}

}  // namespace

bool Check(const DeviceCommandLine& line, std::string& error) {
  const std::vector<std::string>& words = line.args.positional;
  for (const Action& action : kActions) {
    if (words.empty() || words[0] != action.name) continue;
    if (words.size() != action.words) {
      error = std::string(action.name) + (action.words == 1   ? " takes nothing more"
                                          : action.words == 2 ? " takes one argument"
                                                              : " takes two arguments");
      return false;
    }
    if (action.name == "rename" && IsBlankProfileName(words[2])) {
      error = "the name is blank";
      return false;
    }
    if ((action.name == "import" || action.name == "export") && words.back().empty()) {
      error = "which file?";
      return false;
    }
    if (action.name != "record" && (line.args.Value("--for") || line.args.Value("--delay"))) {
      error = "only record takes --for and --delay";
      return false;
    }
    if (action.name == "record" && IsBlankProfileName(words[1])) {
      error = "the name is blank";
      return false;
    }
    return macro_record_command::ParseOptions(line.args, error).has_value();
  }
  error = "list, show NAME, add, rename OLD NEW, delete NAME, import FILE, export NAME FILE, download or record NAME";
  return false;
}

void Run(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  const MacroFolder folder(keyboard.UserDataFolder());
  const std::vector<std::string>& words = line.args.positional;
  const std::string& action = words[0];
  const bool json = line.args.Has("--json");
  if (action == "list") return List(folder, json, std::move(done));
  if (action == "show") return Show(folder, words[1], json, std::move(done));
  if (action == "add") return Add(folder, std::move(done));
  if (action == "rename") return Rename(folder, words[1], words[2], std::move(done));
  if (action == "delete") return Delete(keyboard, folder, words[1], std::move(done));
  if (action == "import") return Import(folder, words[1], std::move(done));
  if (action == "export") return Export(folder, words[1], words[2], std::move(done));
  if (action == "download") {
    // The macros the current key list plays, as a profile application sends them.
    return keyboard.WriteMacros(keyboard.keys(), [done, json](const MacroDownloadResult& result) {
      if (const std::optional<std::string> problem = MacroDownloadProblem(result, "keyboard"))
        return done(Failure(*problem));
      if (json) return done({0, JsonText(DownloadJson(result)), ""});
      const std::string told = std::holds_alternative<MacrosNotNeeded>(result.outcome)
                                   ? "no key plays a macro: nothing was sent\n"
                                   : std::to_string(result.macros.size()) + " macros sent\n";
      done({0, told, ""});
    });
  }
  // record
  std::string error;
  const std::optional<macro_record_command::Options> options = macro_record_command::ParseOptions(line.args, error);
  if (!options) return done({2, "", "brontalctl: macro: " + error + "\n"});
  macro_record_command::Run(keyboard.loop(), folder, words[1], *options, std::move(done));
}

}  // namespace brontal::macro_commands
