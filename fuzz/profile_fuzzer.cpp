// Feeds arbitrary bytes as a profile file: load it, decode every record, write
// the records back, save, and load the saved file again. The saved file must
// be a whole profile that decodes to the same records.
// Input: the profile file's bytes. Seeds: the files of DefaultData/.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/basic_profile_data.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"

namespace {

using namespace brontal;

// The run's files, in a folder of their own below TMPDIR (libFuzzer ends the
// process without destructors, so the folder stays).
struct Folder {
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brontal_profile_fuzz_XXXXXX").string();
    path = ::mkdtemp(pattern.data());
    ReplaceFileContents(path / "default.Json", R"({ "Device" : [ { "LightInfo" : { "Light" : 1 } } ] })");
  }
  std::filesystem::path path;
};

// Few keys keep the documents, and with them each run, small.
constexpr std::size_t kKeys = 16;

// A keyboard with kKeys keys, slot i for key i, and an Fn action on every other key.
void ReadBackFromKeyboard(CBasicProfiledata& data) {
  std::vector<std::uint8_t> slots(kKeys), fn_keys;
  ProfileKeyTables::Table table{};
  for (std::size_t i = 0; i < slots.size(); ++i) {
    slots[i] = static_cast<std::uint8_t>(i);
    if (i % 2 == 0) fn_keys.push_back(static_cast<std::uint8_t>(i));
  }
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i * 7);
  data.KeyTables().SetKeySlots(slots);
  data.KeyTables().SetFnKeySlots(slots, fn_keys);
  data.KeyTables().SetFnTable(table);
  data.KeyTables().SetAssignmentTable(table, false);
  data.KeyTables().SetDefaultTable(table);
}

struct Decoded {
  LightSetting light;
  AudioLightSetting audio_light;
  std::vector<LedEffect> light_list;
  std::vector<KeyAssignment> keys, fn_keys;
  KeyboardSystem keyboard;
  std::uint8_t group;
  std::vector<CustomColour> colours;
  MouseSystem mouse;
  std::vector<DpiStage> stages;
  std::uint8_t active_stage;
  std::size_t corrections;
  HeadsetSystem headset;
  std::optional<EqBands> eq;
  EqBands custom_eq;
  std::size_t eq_names;
  bool operator==(const Decoded&) const = default;
};

Decoded DecodeAll(CBasicProfiledata& data) {
  Decoded d;
  d.light = data.GetLight();
  d.audio_light = data.GetAudioLight();
  d.light_list = data.GetLightList();
  d.keys = data.GetKeyList();
  d.fn_keys = data.GetKeyFnList();
  d.keyboard = data.GetKeyboardSystem();
  d.group = data.GetCustomGroup();
  d.colours = data.GetCustomColors(d.group, kKeys);
  d.mouse = data.GetMouseSystem();
  d.stages = data.GetDpiStages();
  d.active_stage = data.GetActiveStage();
  d.corrections = data.GetCorrections().size();
  d.headset = data.GetHeadsetSystem();
  d.eq = data.GetEqBands(d.headset.eq_type);
  d.custom_eq = data.GetCustomEqBands(static_cast<std::size_t>(d.headset.custom_eq_select));
  d.eq_names = data.GetCustomEqNames().size();
  return d;
}

// What each family writes back; the keyboard's and the mouse's system
// settings share a member name, so no device writes both.
enum class Family { kKeyboard, kMouse, kHeadset };

void WriteBack(CBasicProfiledata& data, const Decoded& d, Family family) {
  data.SetLight(d.light);
  switch (family) {
    case Family::kKeyboard:
      data.SetAudioLight(d.audio_light);
      data.SetKeyList(d.keys);
      data.SetKeyFnList(d.fn_keys);
      data.SetKeyboardSystem(d.keyboard);
      data.SetCustomGroup(d.group);
      data.SetCustomColors(d.group, d.colours);
      break;
    case Family::kMouse:
      data.SetKeyList(d.keys);
      data.SetMouseSystem(d.mouse);
      data.SetDpiStages(d.stages);
      data.SetActiveStage(d.active_stage);
      break;
    case Family::kHeadset:
      data.SetHeadsetSystem(d.headset);
      if (d.eq) data.SetEqBands(d.headset.eq_type, *d.eq);
      data.SetCustomEqBands(static_cast<std::size_t>(d.headset.custom_eq_select), d.custom_eq);
      data.SetCustomEqNames(data.GetCustomEqNames());
      break;
  }
}

// The record of the other family's "SystemStages" is overwritten by a family's
// write-back and is left out of the comparison.
Decoded Comparable(Decoded d, Family family) {
  if (family == Family::kKeyboard) d.mouse = {};
  if (family == Family::kMouse) d.keyboard = {};
  return d;
}

// The library's writer cuts member names at a NUL, so such a profile reads
// back with other members; no writer of profiles makes these names.
bool HasNulInNames(const Json::Value& value) {
  if (value.isObject())
    for (auto it = value.begin(); it != value.end(); ++it)
      if (it.name().find('\0') != std::string::npos || HasNulInNames(*it)) return true;
  if (value.isArray())
    for (const Json::Value& element : value)
      if (HasNulInNames(element)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const Folder folder;
  const std::filesystem::path profile = folder.path / "profile.Json";
  if (!ReplaceFileContents(profile, std::string(reinterpret_cast<const char*>(bytes), size))) __builtin_trap();

  CBasicProfiledata data;
  data.SetDefaultProfilePath(folder.path / "default.Json");
  data.SetProfilePath(profile);
  ReadBackFromKeyboard(data);
  data.Load(data.ProfilePath());
  const Decoded first = DecodeAll(data);
  const auto family = static_cast<Family>(size % 3);
  WriteBack(data, first, family);
  if (!data.Save()) __builtin_trap();

  // A whole profile, which formats the same after a second pass.
  const Json::Value saved = ReadJsonDocument(profile);
  if (!saved["Device"][0].isObject()) __builtin_trap();
  const std::string text = FormatJsonDocument(saved);
  if (FormatJsonDocument(ParseJsonDocument(text)) != text) __builtin_trap();

  if (HasNulInNames(ParseJsonDocument(std::string_view(reinterpret_cast<const char*>(bytes), size)))) return 0;
  CBasicProfiledata again;
  ReadBackFromKeyboard(again);
  again.Load(profile);
  if (Comparable(DecodeAll(again), family) != Comparable(first, family)) __builtin_trap();
  return 0;
}
