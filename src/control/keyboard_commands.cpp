#include "control/keyboard_commands.h"

#include <json/json.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "control/key_action_word.h"
#include "control/light_mode_names.h"
#include "control/macro_download_words.h"
#include "control/setting_words.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "macros/key_function_catalogue.h"
#include "profiles/data_folders.h"
#include "profiles/light_names.h"
#include "profiles/profile_list_file.h"
#include "support/ascii_text.h"
#include "ui/controls/device_profile_ui.h"

namespace brontal::keyboard_commands {
namespace {

using Done = std::function<void(DeviceReply)>;
using setting_words::CheckPairs;
using setting_words::Failure;
using setting_words::HexAction;
using setting_words::HexColour;
using setting_words::OnboardIndex;
using setting_words::Pair;
using setting_words::ParseColour;
using setting_words::SplitPair;
using setting_words::Written;

constexpr long kMaxGroup = keyboard::kCustomGroupCount - 1;
constexpr std::size_t kKeyboardLightSlot = 0;
constexpr std::uint8_t kFnLayerSwitchCategory = 0xE2;
constexpr long kLastAudioMode = 6;

enum class Field {
  kMode,
  kBrightness,
  kSpeed,
  kDirection,
  kMulticolor,
  kColor,
  kCustomGroup,
  kSpecialMode,
  kSixKey,
  kWinLock,
  kWFlag,
  kPollingRate,
  kOsMode,
  kRepeat,
  kRepeatDelay,
  kAudioMode,
  kAudioBackground,
  kAudioForeground,
  kAudioMulticolor,
};

// Where a setting lives: the settings record the keyboard holds, the
// profile only, or the profile's audio lighting (which the host's music
// steps use).
enum class Home { kRecord, kProfile, kAudio };

struct SettingName {
  std::string_view name;
  Field field;
  long low, high;
  Home home;
};

constexpr SettingName kSettings[] = {
    {"mode", Field::kMode, 0, 255, Home::kRecord},
    {"brightness", Field::kBrightness, 0, 4, Home::kRecord},
    {"speed", Field::kSpeed, 0, 4, Home::kRecord},
    {"direction", Field::kDirection, 0, 1, Home::kRecord},
    {"multicolor", Field::kMulticolor, 0, 1, Home::kRecord},
    {"color", Field::kColor, 0, 0xFFFFFF, Home::kRecord},
    {"custom-group", Field::kCustomGroup, 0, kMaxGroup, Home::kRecord},
    {"special-mode", Field::kSpecialMode, 0, 255, Home::kRecord},
    {"six-key", Field::kSixKey, 0, 1, Home::kRecord},
    {"win-lock", Field::kWinLock, 0, 1, Home::kRecord},
    {"w-flag", Field::kWFlag, 0, 1, Home::kRecord},
    {"polling-rate", Field::kPollingRate, 0, 3, Home::kRecord},
    {"os-mode", Field::kOsMode, 0, 255, Home::kRecord},
    {"repeat", Field::kRepeat, 0, 65535, Home::kProfile},
    {"repeat-delay", Field::kRepeatDelay, 0, 65535, Home::kProfile},
    {"audio-mode", Field::kAudioMode, 0, kLastAudioMode, Home::kAudio},
    {"audio-background", Field::kAudioBackground, 0, 0xFFFFFF, Home::kAudio},
    {"audio-foreground", Field::kAudioForeground, 0, 0xFFFFFF, Home::kAudio},
    {"audio-multicolor", Field::kAudioMulticolor, 0, 1, Home::kAudio},
};

const SettingName* FindSetting(std::string_view name) {
  for (const SettingName& s : kSettings)
    if (s.name == name) return &s;
  return nullptr;
}

std::optional<long> ParseSettingValue(const SettingName& setting, std::string_view value,
                                      const std::vector<LightMode>& modes) {
  if (setting.field == Field::kMode) {
    const auto mode = ParseLightMode(value, modes);
    // A list that names no mode leaves any index to the device.
    if (mode && !modes.empty() && static_cast<std::size_t>(*mode) >= modes.size()) return std::nullopt;
    return mode;
  }
  if (setting.field == Field::kColor || setting.field == Field::kAudioBackground ||
      setting.field == Field::kAudioForeground)
    return ParseColour(value);
  return ParseNumber(value, setting.low, setting.high);
}

std::optional<long> ParseKey(std::string_view text) {
  return ParseNumber(text, 0, static_cast<long>(kLogicalKeyCount) - 1);
}

bool CheckIndex(const DeviceCommandLine& line, std::string& error) {
  if (line.args.Value("--index") && line.args.Has("--fn")) {
    error = "the Fn layer has one table: --index does not go with --fn";
    return false;
  }
  return setting_words::CheckOnboardIndex(line, error);
}

// ---- show ----

void Show(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, Done done) {
  keyboard.ReadPowerStatus([&keyboard, json = line.args.Has("--json"),
                            done = std::move(done)](std::optional<std::array<std::uint8_t, 6>> power) {
    const LightSetting& light = keyboard.live_light();
    const AudioLightSetting& audio = keyboard.live_audio();
    const KeyboardSystem system = keyboard.profile().GetKeyboardSystem();
    const InterfaceRow& id = keyboard.identity();
    const std::uint16_t firmware = keyboard.firmware_version();
    const auto& modes = keyboard.light_names().modes;
    const std::string mode_name = light.select_item < modes.size() ? modes[light.select_item].name : "";
    Json::Value v;
    v["vendor_id"] = id.vendor_id;
    v["product_id"] = id.product_id;
    v["link"] = keyboard.receiver_link() ? "receiver" : "wired";
    char version[16];
    std::snprintf(version, sizeof version, "%x.%02x", firmware >> 8, firmware & 0xFF);
    v["firmware_version"] = version;
    v["firmware_outdated"] = keyboard.firmware_outdated();
    v["key_slots"] = keyboard.info().key_slot_count();
    v["macro_memory_bytes"] = static_cast<Json::UInt64>(keyboard.info().macro_memory_bytes());
    v["onboard_index"] = keyboard.settings_index();
    Json::Value& s = v["settings"];
    s["mode"] = light.select_item;
    s["mode_name"] = mode_name;
    s["brightness"] = light.light;
    s["speed"] = light.speed;
    s["direction"] = light.fx;
    s["multicolor"] = light.multi_color;
    s["color"] = HexColour(light.red, light.green, light.blue);
    s["custom-group"] = light.custom_group;
    s["special-mode"] = light.zzcc_led_mode;
    s["six-key"] = system.key6_flag;
    s["win-lock"] = system.win_flag;
    s["w-flag"] = system.w_flag;
    s["polling-rate"] = system.polling_rate;
    s["os-mode"] = system.os_mode;
    s["repeat"] = system.repeat;
    s["repeat-delay"] = system.repeat_delay;
    s["audio-mode"] = audio.audio_mode;
    s["audio-background"] = HexColour(audio.bk_red, audio.bk_green, audio.bk_blue);
    s["audio-foreground"] = HexColour(audio.fg_red, audio.fg_green, audio.fg_blue);
    s["audio-multicolor"] = audio.seven_color;
    if (keyboard.has_battery() && power) {
      v["battery"]["level"] = (*power)[0];
      v["battery"]["state"] = (*power)[1] == 0 ? "external" : (*power)[1] == 1 ? "charging" : "battery";
    }
    if (json) {
      done({0, Written(v), ""});
      return;
    }
    std::ostringstream out;
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", id.vendor_id, id.product_id);
    out << "keyboard " << ids << " (" << v["link"].asString() << ")  firmware " << version
        << (keyboard.firmware_outdated() ? " (outdated: please update the firmware)" : "") << '\n'
        << "key slots " << int{keyboard.info().key_slot_count()} << "  macro memory "
        << keyboard.info().macro_memory_bytes() << " bytes  on-board index " << int{keyboard.settings_index()};
    if (v.isMember("battery"))
      out << "  battery " << v["battery"]["level"].asInt() << "% (" << v["battery"]["state"].asString() << ")";
    out << '\n';
    for (const std::string& name : s.getMemberNames()) {
      if (name == "mode_name") continue;
      out << "  " << name << " = " << (s[name].isString() ? s[name].asString() : std::to_string(s[name].asInt()));
      if (name == "mode" && !mode_name.empty()) out << " (" << mode_name << ")";
      out << '\n';
    }
    done({0, out.str(), ""});
  });
}

// ---- set ----

void ApplySetting(Field field, long value, LightSetting& light, KeyboardSystem& system, AudioLightSetting& audio) {
  const auto byte = static_cast<std::uint8_t>(value);
  const auto word = static_cast<std::uint16_t>(value);
  switch (field) {
    case Field::kMode: light.select_item = byte; break;
    case Field::kBrightness: light.light = byte; break;
    case Field::kSpeed: light.speed = byte; break;
    case Field::kDirection: light.fx = byte; break;
    case Field::kMulticolor: light.multi_color = byte; break;
    case Field::kColor:
      light.red = static_cast<std::uint8_t>(value >> 16);
      light.green = static_cast<std::uint8_t>(value >> 8);
      light.blue = byte;
      break;
    case Field::kCustomGroup: light.custom_group = byte; break;
    case Field::kSpecialMode: light.zzcc_led_mode = byte; break;
    case Field::kSixKey: system.key6_flag = word; break;
    case Field::kWinLock: system.win_flag = word; break;
    case Field::kWFlag: system.w_flag = word; break;
    case Field::kPollingRate: system.polling_rate = word; break;
    case Field::kOsMode: system.os_mode = word; break;
    case Field::kRepeat: system.repeat = word; break;
    case Field::kRepeatDelay: system.repeat_delay = word; break;
    case Field::kAudioMode: audio.audio_mode = byte; break;
    case Field::kAudioBackground:
      audio.bk_red = static_cast<std::uint8_t>(value >> 16);
      audio.bk_green = static_cast<std::uint8_t>(value >> 8);
      audio.bk_blue = byte;
      break;
    case Field::kAudioForeground:
      audio.fg_red = static_cast<std::uint8_t>(value >> 16);
      audio.fg_green = static_cast<std::uint8_t>(value >> 8);
      audio.fg_blue = byte;
      break;
    case Field::kAudioMulticolor: audio.seven_color = byte; break;
  }
}

void Set(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, Done done) {
  CKeyboardProfiledata& profile = keyboard.profile();
  LightSetting light = profile.GetLight();
  KeyboardSystem system = profile.GetKeyboardSystem();
  AudioLightSetting audio = profile.GetAudioLight();
  bool touches_record = false;
  bool touches_audio = false;
  bool multicolour_given = false, foreground_given = false;
  for (const std::string& word : line.args.positional) {
    const Pair pair = *SplitPair(word);
    const SettingName& setting = *FindSetting(pair.name);
    const std::optional<long> value = ParseSettingValue(setting, pair.value, keyboard.light_names().modes);
    if (!value) {
      done({2, "", "brontalctl: set: this keyboard has no " + std::string(setting.name) + " '" + pair.value + "'\n"});
      return;
    }
    ApplySetting(setting.field, *value, light, system, audio);
    // As on the page, the chosen group is the profile's as well as the record's.
    if (setting.field == Field::kCustomGroup) profile.SetCustomGroup(light.custom_group);
    touches_record = touches_record || setting.home == Home::kRecord;
    touches_audio = touches_audio || setting.home == Home::kAudio;
    multicolour_given = multicolour_given || setting.field == Field::kAudioMulticolor;
    foreground_given = foreground_given || setting.field == Field::kAudioForeground;
  }
  // As on the page, a foreground colour of its own ends the seven colours.
  if (foreground_given && !multicolour_given) audio.seven_color = 0;
  profile.SetKeyboardSystem(system);
  if (touches_audio) profile.SetAudioLight(audio);
  const std::string not_saved =
      "the profile could not be saved (" + profile.ProfilePath().string() + "); nothing was sent";
  if (!touches_record) {
    // The audio lighting goes through the page's sequence: saved, and the live lighting reloaded.
    if (!(touches_audio ? keyboard.ApplyAudioRecord(audio) : profile.Save())) return done(Failure(line, not_saved));
    return done({0, "", ""});
  }
  // The page's own sequence: stored, saved, the live lighting reloaded,
  // written; like the page, a change takes the keyboard out of synchronised lighting.
  keyboard.channel().set_polling_paused(false);
  std::string note;
  if (keyboard::IsHostDrivenMode(light.select_item) && !keyboard.animating())
    note = "brontalctl: set: the host draws this mode's lights: they follow it only while brontal-driver runs\n";
  auto told = [line, done, note](bool ok) {
    done(ok ? DeviceReply{0, "", note}
            : Failure(line, "the keyboard did not take the settings (saved in the profile)"));
  };
  if (!keyboard.ApplyLightRecord(light, told)) done(Failure(line, not_saved));
}

// ---- keys and assign ----

KeyAssignment& KeyOf(std::vector<KeyAssignment>& keys, std::size_t key) {
  return FactoryGrownEntry(keys, key, kLogicalKeyActions);
}

void Keys(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, Done done) {
  const bool fn = line.args.Has("--fn");
  const int index = OnboardIndex(line, keyboard.ProfilePosition());
  const bool from_profile = fn || index == keyboard.ProfilePosition();
  std::vector<KeyAssignment> list = fn ? keyboard.fn_keys() : keyboard.keys();
  const keyboard::KeyMaps& maps = keyboard.maps();
  Json::Value rows(Json::arrayValue);
  std::ostringstream out;
  out << "key  slot  led  action  default\n";
  for (std::size_t key = 0; key < kLogicalKeyCount; ++key) {
    const std::uint8_t slot = maps.slot[key];
    KeyAssignment entry = KeyOf(list, key);
    if (!from_profile && slot != keyboard::kNoSlot) {
      // Another on-board index: what the device holds there.
      const keyboard::Table& table = keyboard.key_table(index);
      const keyboard::Table& base = keyboard.base_key_table();
      entry.assignment = {table[slot * 3u], table[slot * 3u + 1], table[slot * 3u + 2]};
      entry.default_action = {base[slot * 3u], base[slot * 3u + 1], base[slot * 3u + 2]};
    }
    Json::Value row;
    row["key"] = static_cast<Json::UInt>(key);
    row["slot"] = slot == keyboard::kNoSlot ? Json::Value() : Json::Value(slot);
    row["led"] = maps.led[key] == keyboard::kNoLed ? Json::Value() : Json::Value(maps.led[key]);
    row["action"] = HexAction(entry.assignment);
    row["default"] = HexAction(entry.default_action);
    rows.append(row);
    char text[64];
    std::snprintf(text, sizeof text, "%3zu  %4s  %3s  %s  %s\n", key,
                  slot == keyboard::kNoSlot ? "-" : std::to_string(slot).c_str(),
                  maps.led[key] == keyboard::kNoLed ? "-" : std::to_string(maps.led[key]).c_str(),
                  HexAction(entry.assignment).c_str(), HexAction(entry.default_action).c_str());
    out << text;
  }
  done({0, line.args.Has("--json") ? Written(rows) : out.str(), ""});
}

void Assign(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, Done done) {
  const bool fn = line.args.Has("--fn");
  std::vector<KeyAssignment>& list = fn ? keyboard.mutable_fn_keys() : keyboard.mutable_keys();
  std::vector<KeyAssignment> changed = list;
  KeyActionWords actions(keyboard.UserDataFolder());
  for (const std::string& word : line.args.positional) {
    const Pair pair = *SplitPair(word);
    const auto key = static_cast<std::size_t>(*ParseKey(pair.name));
    if (keyboard.maps().slot[key] == keyboard::kNoSlot) {
      done({2, "", "brontalctl: assign: key " + pair.name + " is not on this keyboard; nothing was changed\n"});
      return;
    }
    KeyAssignment& entry = KeyOf(changed, key);
    std::string error;
    const std::optional<KeyAction> action = actions.ActionOf(pair.value, entry.default_action, error);
    if (!action) {
      done({2, "", "brontalctl: assign: " + error + "; nothing was changed\n"});
      return;
    }
    entry.assignment = *action;
  }
  CKeyboardProfiledata& profile = keyboard.profile();
  if (fn)
    profile.SetKeyFnList(changed);
  else
    profile.SetKeyList(changed);
  if (!profile.Save()) {
    done(Failure(line, "the profile could not be saved (" + profile.ProfilePath().string() + "); nothing was sent"));
    return;
  }
  // The list in memory is what the key panel shows and what goes to the device.
  list = std::move(changed);
  keyboard.RefreshKeyMarks();
  // As the key panel's save does: the macros the keys play first, the table only after them.
  auto told = [line, done](const KeyWriteOutcome& outcome) { done(KeyWriteReply(line, "keyboard", outcome)); };
  if (fn)
    keyboard.WriteFnKeysWithMacros(0, told);
  else
    keyboard.WriteKeysWithMacros(OnboardIndex(line, keyboard.ProfilePosition()), keyboard.keys(), told);
}

// ---- colors ----

void Colors(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, Done done) {
  CKeyboardProfiledata& profile = keyboard.profile();
  const auto group_value = line.args.Value("--group");
  const auto group = static_cast<std::uint8_t>(group_value ? *ParseNumber(*group_value, 0, kMaxGroup)
                                                           : profile.GetLight().custom_group);
  std::vector<CustomColour> colours = profile.GetCustomColors(group, kLogicalKeyCount);
  if (line.args.positional.empty()) {
    Json::Value rows(Json::arrayValue);
    std::ostringstream out;
    out << "group " << int{group} << "\nkey  colour  alpha\n";
    for (std::size_t key = 0; key < colours.size(); ++key) {
      const CustomColour& c = colours[key];
      Json::Value row;
      row["key"] = static_cast<Json::UInt>(key);
      row["color"] = HexColour(c.red, c.green, c.blue);
      row["alpha"] = c.alpha;
      rows.append(row);
      char text[40];
      std::snprintf(text, sizeof text, "%3zu  %s  %3d\n", key, HexColour(c.red, c.green, c.blue).c_str(), c.alpha);
      out << text;
    }
    Json::Value v;
    v["group"] = group;
    v["colors"] = rows;
    done({0, line.args.Has("--json") ? Written(v) : out.str(), ""});
    return;
  }
  for (const std::string& word : line.args.positional) {
    const Pair pair = *SplitPair(word);
    const long colour = *ParseColour(pair.value);
    colours[static_cast<std::size_t>(*ParseKey(pair.name))] = {static_cast<std::uint8_t>(colour >> 16),
                                                               static_cast<std::uint8_t>(colour >> 8),
                                                               static_cast<std::uint8_t>(colour), 0xFF};
  }
  profile.SetCustomColors(group, colours);
  if (!profile.Save()) {
    done(Failure(line, "the profile could not be saved (" + profile.ProfilePath().string() + "); nothing was sent"));
    return;
  }
  keyboard.LoadGroupAndWrite(group, [line, done](bool ok) {
    done(ok ? DeviceReply{0, "", ""} : Failure(line, "the keyboard did not take the colours (saved in the profile)"));
  });
}

// ---- profile ----

void ApplyProfile(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::string out, Done done) {
  keyboard.ApplySelectedProfile([line, out = std::move(out), done](bool ok) {
    done(ok ? DeviceReply{0, out, ""} : Failure(line, "the keyboard did not take the whole profile"));
  });
}

void SelectAndApply(CCorvaneKeyboardDevice& keyboard, CDeviceProfileUI& panel, int index, const DeviceCommandLine& line,
                    Done done) {
  if (!panel.Select(index)) {
    done(Failure(line, "the profile could not be selected"));
    return;
  }
  ApplyProfile(keyboard, line, "", std::move(done));
}

void Profile(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, Done done) {
  CDeviceProfileUI* panel = keyboard.profile_panel();
  if (!panel || panel->SelectedIndex() < 0) {
    done(Failure(line, "this keyboard's profile list cannot be used"));
    return;
  }
  const std::vector<std::string>& words = line.args.positional;
  const std::string& action = words[0];
  auto names = [panel] {
    const ProfileList profiles(panel->ListDocument());
    std::vector<std::string> list;
    for (std::size_t i = 0; i < profiles.Count(); ++i) list.push_back(profiles.Name(i));
    return list;
  };
  if (action == "list") {
    const std::vector<std::string> list = names();
    const int selected = panel->SelectedIndex();
    if (line.args.Has("--json")) {
      Json::Value v;
      v["selected"] = selected;
      Json::Value& profiles = v["profiles"] = Json::Value(Json::arrayValue);
      for (const std::string& name : list) profiles.append(name);
      done({0, Written(v), ""});
      return;
    }
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i)
      out += (static_cast<int>(i) == selected ? "* " : "  ") + list[i] + "\n";
    done({0, out, ""});
    return;
  }
  if (action == "select") {
    const std::vector<std::string> list = names();
    int found = -1;
    for (std::size_t i = 0; i < list.size() && found < 0; ++i)
      if (list[i] == words[1]) found = static_cast<int>(i);
    for (std::size_t i = 0; i < list.size() && found < 0; ++i)
      if (EqualIgnoringAsciiCase(list[i], words[1])) found = static_cast<int>(i);
    if (found < 0) {
      done({2, "", "brontalctl: profile: no profile named '" + words[1] + "'\n"});
      return;
    }
    SelectAndApply(keyboard, *panel, found, line, std::move(done));
    return;
  }
  if (action == "add" || action == "copy") {
    const std::size_t before = names().size();
    const bool made = action == "add" ? panel->AddProfile() : panel->CopyProfile();
    const std::vector<std::string> after = names();
    if (!made || after.size() <= before) {
      done(Failure(line, "no profile was made"));
      return;
    }
    done({0, after.back() + "\n", ""});
    return;
  }
  if (action == "rename") {
    switch (panel->RenameProfile(words[1])) {
      case CDeviceProfileUI::RenameResult::kRenamed: done({0, "", ""}); return;
      case CDeviceProfileUI::RenameResult::kNameTaken: done(Failure(line, "another profile has that name")); return;
      case CDeviceProfileUI::RenameResult::kBlankName:
        done({2, "", "brontalctl: profile: the name is blank\n"});
        return;
      case CDeviceProfileUI::RenameResult::kNotRenamed:
        done(Failure(line, "the profile list could not be written"));
        return;
    }
    return;
  }
  if (action == "delete") {
    const int next = panel->DeleteProfile();
    if (next < 0) {
      done(Failure(line, "the last profile is never deleted"));
      return;
    }
    SelectAndApply(keyboard, *panel, next, line, std::move(done));
    return;
  }
  if (action == "import") {
    if (!panel->ImportProfile(words[1])) {
      done(Failure(line, words[1] + " is not a profile document (it needs \"profilename\" and \"profileUUID\")"));
      return;
    }
    done({0, names().back() + "\n", ""});
    return;
  }
  if (action == "export") {
    if (!panel->ExportProfile(words[1])) {
      done(Failure(line, words[1] + " could not be written"));
      return;
    }
    done({0, "", ""});
    return;
  }
  // reset
  if (!panel->ResetProfiles()) {
    done(Failure(line, "the factory profile cannot be read; nothing was reset"));
    return;
  }
  ApplyProfile(keyboard, line, "", std::move(done));
}

bool CheckProfile(const DeviceCommandLine& line, std::string& error) {
  const std::vector<std::string>& words = line.args.positional;
  struct Action {
    std::string_view name;
    std::size_t words;
  };
  constexpr Action kActions[] = {{"list", 1},   {"select", 2}, {"add", 1},    {"copy", 1}, {"rename", 2},
                                 {"delete", 1}, {"import", 2}, {"export", 2}, {"reset", 1}};
  for (const Action& a : kActions) {
    if (words.empty() || words[0] != a.name) continue;
    if (words.size() != a.words) {
      error = std::string(a.name) + (a.words == 1 ? " takes nothing more" : " takes one argument");
      return false;
    }
    if (a.name == "rename" && IsBlankProfileName(words[1])) {
      error = "the name is blank";
      return false;
    }
    if ((a.name == "import" || a.name == "export") && words[1].empty()) {
      error = "which file?";
      return false;
    }
    return true;
  }
  error = "list, select NAME, add, copy, rename NEW, delete, import FILE, export FILE or reset";
  return false;
}

}  // namespace

bool Check(const DeviceCommandLine& line, std::string& error) {
  const std::string_view command = line.info->name;
  if (command == "show" || command == "keys") {
    if (!line.args.positional.empty()) {
      error = "unexpected argument '" + line.args.positional.front() + "'";
      return false;
    }
    return CheckIndex(line, error);
  }
  if (command == "set") {
    const std::vector<LightMode> modes = FactoryLightModes(kKeyboardLightSlot);
    return CheckPairs(line, error, [&](const Pair& pair, std::string& why) {
      const SettingName* setting = FindSetting(pair.name);
      if (!setting) {
        why = "no setting '" + pair.name + "' (see brontalctl set --help)";
        return false;
      }
      if (!ParseSettingValue(*setting, pair.value, modes)) {
        why = "'" + pair.value + "' is not a value of " + pair.name + " (see brontalctl set --help)";
        return false;
      }
      return true;
    });
  }
  if (command == "assign") {
    if (!CheckIndex(line, error)) return false;
    const bool fn = line.args.Has("--fn");
    return CheckPairs(line, error, [fn](const Pair& pair, std::string& why) {
      if (!ParseKey(pair.name)) {
        why = "'" + pair.name + "' is not a logical key 0..125";
        return false;
      }
      if (!ParseKeyActionWord(pair.value, why)) return false;
      // What the key panel does not offer here, its name does not give.
      if (const KeyFunction* named = FindKeyFunction(pair.value)) {
        if (!CategoryInfo(named->category).on_keyboards) {
          why = "'" + pair.value + "' is a mouse function";
          return false;
        }
        if (fn && named->action[0] == kFnLayerSwitchCategory) {
          why = "the Fn layer cannot hold '" + pair.value + "', which switches to it";
          return false;
        }
      }
      return true;
    });
  }
  if (command == "colors") {
    const auto group = line.args.Value("--group");
    if (group && !ParseNumber(*group, 0, kMaxGroup)) {
      error = "--group takes a custom group 0.." + std::to_string(kMaxGroup) + ", not '" + *group + "'";
      return false;
    }
    for (const std::string& word : line.args.positional) {
      const std::optional<Pair> pair = SplitPair(word);
      if (!pair || !ParseKey(pair->name) || !ParseColour(pair->value)) {
        error = "'" + word + "' is not KEY=RRGGBB (KEY a logical key 0..125)";
        return false;
      }
    }
    return true;
  }
  if (command == "profile") return CheckProfile(line, error);
  error = "not a keyboard command";
  return false;
}

void Run(CCorvaneKeyboardDevice& keyboard, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  const std::string_view command = line.info->name;
  if (command == "show") return Show(keyboard, line, std::move(done));
  if (command == "set") return Set(keyboard, line, std::move(done));
  if (command == "keys") return Keys(keyboard, line, std::move(done));
  if (command == "assign") return Assign(keyboard, line, std::move(done));
  if (command == "colors") return Colors(keyboard, line, std::move(done));
  Profile(keyboard, line, std::move(done));
}

}  // namespace brontal::keyboard_commands
