#include "control/headset_commands.h"

#include <json/json.h>

#include <cstdio>
#include <memory>

#include "control/light_setting_words.h"
#include "control/setting_words.h"
#include "devices/headset/corvane_zu6533_device.h"
#include "profiles/eq_members.h"

namespace brontal::headset_commands {
namespace {

using audio::AudioStatus;
using Done = std::function<void(DeviceReply)>;
using setting_words::Pair;

constexpr int kLowestGain = -20;
constexpr int kHighestGain = 20;

bool HeadsetLightName(std::string_view name) { return light_setting_words::IsLightName(name) && name != "direction"; }

bool SoundName(std::string_view name) {
  return name == "mic" || name == "mic-mute" || name == "monitor" || name == "monitor-mute" || name == "eq" ||
         name == "eq-curve";
}

std::optional<long> LevelOf(const Pair& pair) {
  if (pair.name == "mic" || pair.name == "monitor") return ParseNumber(pair.value, 0, 100);
  if (pair.name == "mic-mute" || pair.name == "monitor-mute") return ParseNumber(pair.value, 0, 1);
  if (pair.name == "eq") return ParseNumber(pair.value, 1, kCustomEqPreset);
  return std::nullopt;
}

// "G1,G2,...,G10" in dB.
std::optional<EqBands> ParseBands(const std::string& text) {
  EqBands bands{};
  std::size_t start = 0;
  for (std::size_t b = 0; b < kEqBandCount; ++b) {
    const std::size_t comma = text.find(',', start);
    const bool last = b + 1 == kEqBandCount;
    if ((comma == std::string::npos) != last) return std::nullopt;
    const std::optional<long> gain = ParseNumber(
        std::string_view(text).substr(start, last ? std::string::npos : comma - start), kLowestGain, kHighestGain);
    if (!gain) return std::nullopt;
    bands[b] = static_cast<std::int32_t>(*gain);
    start = comma + 1;
  }
  return bands;
}

std::string BandsText(const EqBands& bands) {
  std::string text;
  for (std::size_t b = 0; b < bands.size(); ++b) text += (b ? "," : "") + std::to_string(bands[b]);
  return text;
}

std::optional<std::size_t> CurveIndex(CCorvaneZU6533Device& headset, const std::string& name) {
  const std::vector<std::string> names = headset.profile().GetCustomEqNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return i;
  return std::nullopt;
}

std::string StatusWords(CCorvaneZU6533Device& headset, AudioStatus status) {
  switch (status) {
    case AudioStatus::kDone: return "done";
    case AudioStatus::kFailed: return "the headset's sound card did not take it";
    case AudioStatus::kAbsent: return "the headset's sound card is not here";
    case AudioStatus::kUnsupported: break;
  }
  const std::string& why = headset.sound().equaliser_unavailable;
  return why.empty() ? "the headset's sound card has no such setting" : why;
}

// The outcomes of several sound changes, told once all are in.
class Outcomes {
 public:
  Outcomes(CCorvaneZU6533Device& headset, DeviceCommandLine line, Done done)
      : headset_(headset), line_(std::move(line)), done_(std::move(done)) {}
  ~Outcomes() {
    done_(failures_.empty() ? DeviceReply{0, "", ""}
                            : setting_words::Failure(line_, failures_ + " (kept in the profile)"));
  }
  static CCorvaneZU6533Device::SoundDone For(const std::shared_ptr<Outcomes>& outcomes, std::string what) {
    return [outcomes, what = std::move(what)](AudioStatus status) {
      if (status == AudioStatus::kDone) return;
      if (!outcomes->failures_.empty()) outcomes->failures_ += "; ";
      outcomes->failures_ += what + ": " + StatusWords(outcomes->headset_, status);
    };
  }
  void Fail(const std::string& why) { failures_ += (failures_.empty() ? "" : "; ") + why; }

 private:
  CCorvaneZU6533Device& headset_;
  const DeviceCommandLine line_;
  const Done done_;
  std::string failures_;
};

void Show(CCorvaneZU6533Device& headset, const DeviceCommandLine& line, Done done) {
  const InterfaceRow& id = headset.identity();
  const HeadsetSoundState& sound = headset.sound();
  Json::Value v;
  v["vendor_id"] = id.vendor_id;
  v["product_id"] = id.product_id;
  Json::Value& s = v["settings"];
  light_setting_words::Show(headset.live_light(), headset.LightModes(), s);
  s.removeMember("direction");
  s["mic"] = sound.mirror.mic_in_value;
  s["mic-mute"] = sound.mic_muted() ? 1 : 0;
  s["monitor"] = sound.mirror.mic_monitor_value;
  s["monitor-mute"] = sound.monitor_muted() ? 1 : 0;
  s["eq"] = sound.mirror.eq_type;
  s["eq-bands"] = BandsText(sound.bands);
  const std::vector<std::string> names = headset.profile().GetCustomEqNames();
  if (sound.mirror.eq_type == kCustomEqPreset && sound.shown_curve && *sound.shown_curve < names.size())
    s["eq-curve"] = names[*sound.shown_curve];
  Json::Value& offered = v["sound_card"];
  offered["microphone"] = sound.mic;
  offered["monitoring"] = sound.monitor;
  offered["equaliser"] =
      sound.equaliser_unavailable.empty() ? Json::Value(true) : Json::Value(sound.equaliser_unavailable);
  offered["voice_changer"] = sound.voice_changer;
  offered["surround"] = sound.surround;
  if (line.args.Has("--json")) return done({0, setting_words::Written(v), ""});
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04x:%04x", id.vendor_id, id.product_id);
  std::string text = std::string("headset ") + ids + "\n" + light_setting_words::SettingLines(s);
  text += "sound card: microphone " + std::string(sound.mic ? "yes" : "no") + ", monitoring " +
          (sound.monitor ? "yes" : "no") + ", equaliser " +
          (sound.equaliser_unavailable.empty() ? "yes" : "no (" + sound.equaliser_unavailable + ")") +
          ", voice changer and surround not offered on this system\n";
  done({0, text, ""});
}

void Set(CCorvaneZU6533Device& headset, const DeviceCommandLine& line, Done done) {
  LightSetting light = headset.profile().GetLight();
  bool lighting = false;
  std::vector<Pair> sound;
  for (const std::string& word : line.args.positional) {
    const Pair pair = *setting_words::SplitPair(word);
    if (SoundName(pair.name)) {
      sound.push_back(pair);
      continue;
    }
    if (!light_setting_words::Apply(pair.name, pair.value, headset.LightModes(), light))
      return done({2, "", "brontalctl: set: this headset has no " + pair.name + " '" + pair.value + "'\n"});
    lighting = true;
  }
  for (const Pair& pair : sound)
    if (pair.name == "eq-curve" && !CurveIndex(headset, pair.value))
      return done(
          {2, "", "brontalctl: set: the headset has no custom curve '" + pair.value + "' (see eq headset list)\n"});

  const auto outcomes = std::make_shared<Outcomes>(headset, line, std::move(done));
  if (lighting) {
    const bool stored = headset.ApplyLightRecord(light, [outcomes](bool ok) {
      if (!ok) outcomes->Fail("the headset did not take the lighting (saved in the profile)");
    });
    if (!stored) outcomes->Fail("the profile could not be saved (" + headset.profile().ProfilePath().string() + ")");
  }
  for (const Pair& pair : sound) {
    const CCorvaneZU6533Device::SoundDone told = Outcomes::For(outcomes, pair.name);
    if (pair.name == "eq-curve") {
      headset.ApplyCustomEq(*CurveIndex(headset, pair.value), told);
      continue;
    }
    const int value = static_cast<int>(*LevelOf(pair));
    if (pair.name == "mic") headset.SetMicLevel(value, told);
    if (pair.name == "mic-mute") headset.SetMicMuted(value != 0, told);
    if (pair.name == "monitor") headset.SetMonitorLevel(value, told);
    if (pair.name == "monitor-mute") headset.SetMonitorMuted(value != 0, told);
    if (pair.name == "eq") headset.SelectEqOption(value, told);
  }
}

void RunEq(CCorvaneZU6533Device& headset, const DeviceCommandLine& line, Done done) {
  const std::vector<std::string>& words = line.args.positional;
  const std::string& action = words.front();
  const std::vector<std::string> names = headset.profile().GetCustomEqNames();
  if (action == "list") {
    Json::Value curves(Json::arrayValue);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const EqBands bands = headset.profile().GetCustomEqBands(i);
      Json::Value curve;
      curve["name"] = names[i];
      Json::Value& gains = curve["bands"];
      for (const std::int32_t gain : bands) gains.append(gain);
      curves.append(curve);
      text += names[i] + "  " + BandsText(bands) + "\n";
    }
    if (line.args.Has("--json")) return done({0, setting_words::Written(curves), ""});
    return done({0, text.empty() ? "no custom curves\n" : text, ""});
  }
  const std::string& name = words[1];
  const std::optional<std::size_t> index = CurveIndex(headset, name);
  if (action == "save") {
    // As on the page: the sliders take the bands (the headset plays them),
    // then the curve is saved from them.
    const EqBands bands = *ParseBands(words[2]);
    for (std::size_t b = 0; b < kEqBandCount; ++b) headset.SetEqBand(b, bands[b]);
    const int saved = headset.SaveCustomEq(index ? std::string() : name, index);
    if (saved == 1) return done({0, "", ""});
    return done(setting_words::Failure(
        line, saved == 0 ? "a curve named like '" + name + "' in other letter case exists"
                         : "the profile holds at most " + std::to_string(kMaxCustomEqCurves) + " custom curves"));
  }
  if (!index) return done({2, "", "brontalctl: eq: the headset has no custom curve '" + name + "'\n"});
  if (action == "delete") {
    headset.DeleteCustomEq(*index);
    return done({0, "", ""});
  }
  const auto outcomes = std::make_shared<Outcomes>(headset, line, std::move(done));
  headset.ApplyCustomEq(*index, Outcomes::For(outcomes, "the equaliser"));
}

}  // namespace

bool Takes(std::string_view command) { return command == "show" || command == "set" || command == "eq"; }

bool Check(const DeviceCommandLine& line, std::string& error) {
  const std::string_view command = line.info->name;
  if (command == "show") return setting_words::CheckNoArguments(line, error);
  if (command == "eq") {
    const std::vector<std::string>& w = line.args.positional;
    const std::string_view action = w.empty() ? std::string_view() : w.front();
    const std::size_t wanted = action == "list"                          ? 1
                               : action == "save"                        ? 3
                               : action == "delete" || action == "apply" ? 2
                                                                         : 0;
    if (wanted == 0 || w.size() != wanted) {
      error = "list, save NAME BANDS, delete NAME or apply NAME";
      return false;
    }
    if (action == "save" && (w[1].empty() || !ParseBands(w[2]))) {
      error = "BANDS is ten gains in dB from " + std::to_string(kLowestGain) + " to " + std::to_string(kHighestGain) +
              ", comma-separated (31 Hz first), and NAME must not be empty";
      return false;
    }
    return true;
  }
  if (command != "set") {
    error = "a headset has no keys or macros: it takes show, set, eq, lighting, profile and defaults";
    return false;
  }
  return setting_words::CheckPairs(line, error, [](const Pair& pair, std::string& why) {
    if (HeadsetLightName(pair.name)) return true;
    if (pair.name == "eq-curve" && !pair.value.empty()) return true;
    if (SoundName(pair.name) && pair.name != "eq-curve") {
      if (LevelOf(pair)) return true;
      why = pair.name == "eq" ? "eq is an equaliser option 1-12, or 13 for the selected custom curve"
                              : pair.name + (pair.name.ends_with("mute") ? " is 0 or 1" : " is a level 0-100");
      return false;
    }
    why = "the headset has no setting '" + pair.name +
          "' (mode, brightness, speed, multicolor, color, mic, mic-mute, monitor, monitor-mute, eq, eq-curve)";
    return false;
  });
}

void Run(CCorvaneZU6533Device& headset, const DeviceCommandLine& line, std::function<void(DeviceReply)> done) {
  if (line.info->name == "show") return Show(headset, line, std::move(done));
  if (line.info->name == "eq") return RunEq(headset, line, std::move(done));
  Set(headset, line, std::move(done));
}

}  // namespace brontal::headset_commands
