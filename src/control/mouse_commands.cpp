#include "control/mouse_commands.h"

#include <json/json.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <vector>

#include "control/key_action_word.h"
#include "control/light_setting_words.h"
#include "control/macro_download_words.h"
#include "control/setting_words.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "profiles/profile_list_file.h"
#include "support/ascii_text.h"
#include "ui/controls/device_profile_ui.h"

namespace brontal::mouse_commands {
namespace {

using Done = std::function<void(DeviceReply)>;
using setting_words::Failure;
using setting_words::HexAction;
using setting_words::HexColour;
using setting_words::OnboardIndex;
using setting_words::Pair;
using setting_words::SplitPair;

// A stage's part named after "dpi.N".
enum class StagePart { kDpi, kColor, kEnabled };

// "dpi.N", "dpi.N.color" or "dpi.N.enabled", N a stage 0..4.
std::optional<std::pair<std::size_t, StagePart>> ParseStageName(std::string_view name) {
  if (!name.starts_with("dpi.") || name.size() < 5) return std::nullopt;
  const std::optional<long> stage = ParseNumber(name.substr(4, 1), 0, mouse::kStageCount - 1);
  if (!stage) return std::nullopt;
  const std::string_view rest = name.substr(5);
  const auto index = static_cast<std::size_t>(*stage);
  if (rest.empty()) return std::pair(index, StagePart::kDpi);
  if (rest == ".color") return std::pair(index, StagePart::kColor);
  if (rest == ".enabled") return std::pair(index, StagePart::kEnabled);
  return std::nullopt;
}

struct ProfileNumber {
  std::string_view name;
  long low, high;
  std::uint16_t MouseSystem::*member;
};

// Kept in the profile only: the desktop's own pointer settings are never changed.
constexpr ProfileNumber kProfileNumbers[] = {
    {"pointer-speed", 0, 20, &MouseSystem::mouse_speed},
    {"pointer-precision", 0, 1, &MouseSystem::pointer_precision},
    {"double-click-time", 0, 5000, &MouseSystem::double_click_time},
    {"wheel-lines", 0, 100, &MouseSystem::wheel_scroll_lines},
    {"wheel-page", 0, 1, &MouseSystem::scroll_page},
};

const ProfileNumber* FindProfileNumber(std::string_view name) {
  for (const ProfileNumber& n : kProfileNumbers)
    if (n.name == name) return &n;
  return nullptr;
}

bool KnownName(std::string_view name) {
  return light_setting_words::IsLightName(name) || name == "polling-rate" || name == "dpi-active" ||
         name == "surface" || FindProfileNumber(name) || ParseStageName(name);
}

struct EnteredDpi {
  std::uint16_t x = 0;
  std::uint16_t y = 0;
  bool separate = false;
};

// "D" or "XxY" as stage values; nothing when a number is past what the edits take.
std::optional<EnteredDpi> ParseDpi(std::string_view text, const mouse::DpiScale& scale) {
  const std::size_t x = text.find('x');
  const long largest = scale.LargestEntry();
  const std::optional<long> first = ParseNumber(text.substr(0, x), 0, largest);
  if (!first) return std::nullopt;
  EnteredDpi entered;
  entered.x = entered.y = mouse::StageValueOf(scale, static_cast<int>(*first));
  if (x == std::string_view::npos) return entered;
  const std::optional<long> second = ParseNumber(text.substr(x + 1), 0, largest);
  if (!second) return std::nullopt;
  entered.y = mouse::StageValueOf(scale, static_cast<int>(*second));
  entered.separate = true;
  return entered;
}

// A surface of the profile's list by its place or its name.
std::optional<std::size_t> SurfaceNamed(const std::vector<SurfaceCorrection>& surfaces, std::string_view word) {
  if (const std::optional<long> index = ParseNumber(word, 0, static_cast<long>(surfaces.size()) - 1))
    return static_cast<std::size_t>(*index);
  for (std::size_t i = 0; i < surfaces.size(); ++i)
    if (EqualIgnoringAsciiCase(surfaces[i].name, word)) return i;
  return std::nullopt;
}

DeviceReply Refused(const Pair& pair, const std::string& what) {
  return {2, "", "brontalctl: set: this mouse has no " + pair.name + " '" + pair.value + "'" + what + "\n"};
}

// ---- show ----

void Show(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, Done done) {
  CMouseProfiledata& profile = mouse.profile();
  const LightSetting& light = mouse.live_light();
  const MouseSystem system = profile.GetMouseSystem();
  const mouse::DpiScale scale = mouse.dpi_scale();
  const std::vector<LightMode> modes = mouse.LightModes();
  const InterfaceRow& id = mouse.identity();
  Json::Value v;
  v["vendor_id"] = id.vendor_id;
  v["product_id"] = id.product_id;
  v["link"] = mouse.receiver_link() ? "receiver" : "wired";
  v["button_slots"] = static_cast<Json::UInt>(mouse.slot_count());
  v["macro_memory_bytes"] = static_cast<Json::UInt64>(mouse.info().macro_memory_bytes());
  v["onboard_index"] = mouse.settings_index();
  v["sensor"] = scale.sensor;
  v["dpi_step"] = scale.step;
  v["dpi_largest"] = scale.LargestEntry();
  Json::Value& s = v["settings"];
  light_setting_words::Show(light, modes, s);
  s["polling-rate"] = system.report_rate;
  s["dpi-active"] = profile.GetActiveStage();
  const std::vector<SurfaceCorrection> surfaces = profile.GetCorrections();
  const auto chosen = std::ranges::find_if(surfaces, [](const SurfaceCorrection& c) { return c.select != 0; });
  s["surface"] = chosen == surfaces.end() ? "" : chosen->name;
  for (const ProfileNumber& n : kProfileNumbers) s[std::string(n.name)] = system.*n.member;
  Json::Value& stages = v["dpi_stages"];
  stages = Json::arrayValue;
  for (const DpiStage& stage : profile.GetDpiStages()) {
    Json::Value row;
    row["enabled"] = stage.enabled;
    row["dpi_x"] = mouse::ShownDpi(scale, stage.dpi_x);
    row["dpi_y"] = mouse::ShownDpi(scale, stage.separate_xy ? stage.dpi_y : stage.dpi_x);
    row["separate_xy"] = stage.separate_xy;
    row["color"] = HexColour(stage.red, stage.green, stage.blue);
    stages.append(row);
  }
  if (line.args.Has("--json")) return done({0, setting_words::Written(v), ""});
  std::ostringstream out;
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04x:%04x", id.vendor_id, id.product_id);
  out << "mouse " << ids << " (" << v["link"].asString() << ")  button slots " << mouse.slot_count()
      << "  macro memory " << mouse.info().macro_memory_bytes() << " bytes  sensor " << std::hex << scale.sensor
      << std::dec << "  on-board index " << int{mouse.settings_index()} << '\n';
  out << light_setting_words::SettingLines(s);
  for (Json::ArrayIndex i = 0; i < stages.size(); ++i) {
    const Json::Value& row = stages[i];
    out << "  dpi." << i << " = " << row["dpi_x"].asInt();
    if (row["separate_xy"].asInt()) out << 'x' << row["dpi_y"].asInt();
    out << "  color " << row["color"].asString() << (row["enabled"].asInt() ? "" : "  (off)") << '\n';
  }
  done({0, out.str(), ""});
}

// ---- set ----

void Set(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, Done done) {
  CMouseProfiledata& profile = mouse.profile();
  LightSetting light = profile.GetLight();
  MouseSystem system = profile.GetMouseSystem();
  std::vector<DpiStage> stages = profile.GetDpiStages();
  std::uint8_t active = profile.GetActiveStage();
  std::optional<std::size_t> surface;
  std::set<std::size_t> switched_off;
  const mouse::DpiScale scale = mouse.dpi_scale();
  bool touches_record = false;
  for (const std::string& word : line.args.positional) {
    const Pair pair = *SplitPair(word);
    const std::string_view name = pair.name;
    if (const ProfileNumber* number = FindProfileNumber(name)) {
      const std::optional<long> value = ParseNumber(pair.value, number->low, number->high);
      if (!value) return done(Refused(pair, ""));
      system.*number->member = static_cast<std::uint16_t>(*value);
      continue;
    }
    touches_record = true;
    if (const auto stage_name = ParseStageName(name)) {
      const auto [n, part] = *stage_name;
      // A list shorter than the stage named grows to it, new stages zero.
      if (stages.size() <= n) stages.resize(n + 1);
      DpiStage& stage = stages[n];
      if (part == StagePart::kDpi) {
        const auto dpi = ParseDpi(pair.value, scale);
        if (!dpi) return done(Refused(pair, " (0-" + std::to_string(scale.LargestEntry()) + ", or XxY)"));
        stage.dpi_x = dpi->x;
        stage.dpi_y = dpi->y;
        stage.separate_xy = dpi->separate ? 1 : 0;
      } else if (part == StagePart::kColor) {
        const std::optional<long> colour = setting_words::ParseColour(pair.value);
        if (!colour) return done(Refused(pair, ""));
        stage.red = static_cast<std::uint8_t>(*colour >> 16);
        stage.green = static_cast<std::uint8_t>(*colour >> 8);
        stage.blue = static_cast<std::uint8_t>(*colour);
      } else {
        const std::optional<long> enabled = ParseNumber(pair.value, 0, 1);
        if (!enabled) return done(Refused(pair, ""));
        stage.enabled = static_cast<std::uint8_t>(*enabled);
        if (*enabled == 0) switched_off.insert(n);
      }
      continue;
    }
    if (name == "surface") {
      surface = SurfaceNamed(profile.GetCorrections(), pair.value);
      if (!surface) return done(Refused(pair, " (its number in the list, or its name)"));
      continue;
    }
    if (name == "polling-rate" || name == "dpi-active") {
      const std::optional<long> value =
          ParseNumber(pair.value, 0, name == "polling-rate" ? mouse::kReportRateCount - 1 : mouse::kStageCount - 1);
      if (!value) return done(Refused(pair, ""));
      if (name == "polling-rate")
        system.report_rate = static_cast<std::uint16_t>(*value);
      else
        active = static_cast<std::uint8_t>(*value);
      continue;
    }
    if (!light_setting_words::Apply(name, pair.value, mouse.LightModes(), light)) return done(Refused(pair, ""));
  }
  // The active stage is never past the list, nor switched off.
  if (switched_off.contains(active))
    return done({2, "", "brontalctl: set: the active DPI stage cannot be switched off\n"});
  if (stages.size() <= active) stages.resize(std::size_t{active} + 1);
  stages[active].enabled = 1;
  profile.SetMouseSystem(system);
  profile.SetDpiStages(stages);
  profile.SetActiveStage(active);
  profile.SetLight(light);
  if (surface) profile.SelectCorrection(*surface);
  if (!mouse.SaveProfile())
    return done(
        Failure(line, "the profile could not be saved (" + profile.ProfilePath().string() + "); nothing was sent"));
  mouse.LoadLighting();
  if (!touches_record) return done({0, "", ""});
  std::optional<ScreenSize> screen;
  if (const auto text = line.args.Value("--screen")) screen = ParseScreenSize(*text);
  mouse.WriteSettings(
      [line, done](bool ok) {
        done(ok ? DeviceReply{0, "", ""} : Failure(line, "the mouse did not take the settings (saved in the profile)"));
      },
      screen);
}

// ---- keys and assign ----

std::optional<long> ParseButton(std::string_view text) {
  return ParseNumber(text, 0, static_cast<long>(kMouseButtonCount) - 1);
}

// The buttons on-board index `index` holds. The mouse's tables are not read
// back: another index than the profile's shows the profile at that position
// of the list, which a profile application writes there.
std::optional<std::vector<KeyAssignment>> ButtonsOf(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line) {
  const int index = OnboardIndex(line, mouse.ProfilePosition());
  if (!line.args.Value("--index") || index == mouse.ProfilePosition()) return mouse.keys();
  const CDeviceProfileUI* panel = mouse.profile_panel();
  if (!panel) return std::nullopt;
  const ProfileList profiles(panel->ListDocument());
  if (static_cast<std::size_t>(index) >= profiles.Count()) return std::nullopt;
  mouse.profile().LoadSecondary(ProfileFilePath(mouse.UserDataFolder(), profiles.Uuid(index)));
  return mouse.profile().GetSecondaryKeyList();
}

void Keys(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, Done done) {
  std::optional<std::vector<KeyAssignment>> buttons = ButtonsOf(mouse, line);
  if (!buttons)
    return done(Failure(line, "no profile stands at position " +
                                  std::to_string(OnboardIndex(line, mouse.ProfilePosition()) + 1) +
                                  " of the profile list to fill that on-board index"));
  Json::Value rows(Json::arrayValue);
  std::ostringstream out;
  out << "button  slot  action  default\n";
  for (std::size_t button = 0; button < kMouseButtonCount; ++button) {
    const std::uint8_t slot = mouse.button_slots()[button];
    const KeyAssignment& entry = FactoryGrownEntry(*buttons, button, kMouseButtonActions);
    Json::Value row;
    row["button"] = static_cast<Json::UInt>(button);
    row["slot"] = slot == mouse::kNoSlot ? Json::Value() : Json::Value(slot);
    row["action"] = HexAction(entry.assignment);
    row["default"] = HexAction(entry.default_action);
    rows.append(row);
    char text[64];
    std::snprintf(text, sizeof text, "%6zu  %4s  %s  %s\n", button,
                  slot == mouse::kNoSlot ? "none" : std::to_string(slot).c_str(), HexAction(entry.assignment).c_str(),
                  HexAction(entry.default_action).c_str());
    out << text;
  }
  done({0, line.args.Has("--json") ? setting_words::Written(rows) : out.str(), ""});
}

void Assign(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, Done done) {
  std::vector<KeyAssignment> changed = mouse.keys();
  KeyActionWords actions(mouse.UserDataFolder());
  for (const std::string& word : line.args.positional) {
    const Pair pair = *SplitPair(word);
    const auto button = static_cast<std::size_t>(*ParseButton(pair.name));
    if (mouse.button_slots()[button] == mouse::kNoSlot)
      return done({2, "", "brontalctl: assign: button " + pair.name + " is not on this mouse; nothing was changed\n"});
    KeyAssignment& entry = FactoryGrownEntry(changed, button, kMouseButtonActions);
    std::string error;
    const std::optional<KeyAction> action = actions.ActionOf(pair.value, entry.default_action, error);
    if (!action) return done({2, "", "brontalctl: assign: " + error + "; nothing was changed\n"});
    entry.assignment = *action;
  }
  CMouseProfiledata& profile = mouse.profile();
  profile.SetKeyList(changed);
  if (!mouse.SaveProfile())
    return done(
        Failure(line, "the profile could not be saved (" + profile.ProfilePath().string() + "); nothing was sent"));
  // The list in memory is what the key panel shows and what goes to the mouse.
  mouse.mutable_keys() = std::move(changed);
  mouse.WriteKeysWithMacros(
      OnboardIndex(line, mouse.ProfilePosition()), mouse.keys(),
      [line, done](const KeyWriteOutcome& outcome) { done(KeyWriteReply(line, "mouse", outcome)); });
}

bool CheckKeysOrAssign(const DeviceCommandLine& line, std::string& error) {
  if (line.args.Has("--fn")) {
    error = "a mouse has no Fn layer";
    return false;
  }
  if (!setting_words::CheckOnboardIndex(line, error)) return false;
  if (line.info->name == "keys") {
    if (line.args.positional.empty()) return true;
    error = "unexpected argument '" + line.args.positional.front() + "'";
    return false;
  }
  return setting_words::CheckPairs(line, error, [](const Pair& pair, std::string& why) {
    if (!ParseButton(pair.name)) {
      why = "'" + pair.name + "' is not a mouse button 0.." + std::to_string(kMouseButtonCount - 1);
      return false;
    }
    return ParseKeyActionWord(pair.value, why).has_value();
  });
}

constexpr std::string_view kCommands[] = {"show", "set", "keys", "assign"};

}  // namespace

bool Takes(std::string_view command) { return std::ranges::find(kCommands, command) != std::end(kCommands); }

bool Check(const DeviceCommandLine& line, std::string& error) {
  const std::string_view command = line.info->name;
  if (command == "show") return true;
  if (command == "keys" || command == "assign") return CheckKeysOrAssign(line, error);
  if (command != "set") {
    error = "the mouse takes show, set, keys and assign here so far";
    return false;
  }
  if (const auto screen = line.args.Value("--screen"); screen && !ParseScreenSize(*screen)) {
    error = "--screen takes WIDTHxHEIGHT in pixels, not '" + *screen + "'";
    return false;
  }
  return setting_words::CheckPairs(line, error, [](const Pair& pair, std::string& why) {
    if (KnownName(pair.name)) return true;
    why = "the mouse has no setting '" + pair.name + "'";
    return false;
  });
}

void Run(CCorvaneMouseDevice& mouse, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  const std::string_view command = line.info->name;
  if (command == "show") return Show(mouse, line, std::move(done));
  if (command == "keys") return Keys(mouse, line, std::move(done));
  if (command == "assign") return Assign(mouse, line, std::move(done));
  Set(mouse, line, std::move(done));
}

}  // namespace brontal::mouse_commands
