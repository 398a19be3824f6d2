// The factory data in DefaultData/ (copied beside the test by the build):
// every file reads, and decodes to what the devices need.
#include <gtest/gtest.h>

#include <set>

#include "devices/key_action_tables.h"
#include "profiles/audio_styles_file.h"
#include "profiles/colour_options.h"
#include "profiles/data_folders.h"
#include "profiles/family_profile_data.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/language_settings.h"
#include "profiles/scratch_folder.h"

namespace brontal {
namespace {

using testing::ScratchFolder;

TEST(FactoryData, EveryFileIsStrictJsonWithAnObjectAtItsRoot) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(DefaultDataFolder())) {
    const std::string name = entry.path().filename().string();
    names.insert(name);
    if (entry.path().extension() == ".md") continue;
    SCOPED_TRACE(name);
    Json::Value document;
    Json::Reader strict(Json::Features::strictMode());
    EXPECT_TRUE(strict.parse(ReadFileContents(entry.path()), document)) << strict.getFormattedErrorMessages();
    EXPECT_TRUE(document.isObject());
  }
  for (const char* expected : {"keyboard.Json", "mouse.Json", "MousePad.Json", "HD.Json", "default_light.json",
                               "Language.config", "color_option_info.config", "AudioFile.json"})
    EXPECT_TRUE(names.contains(expected)) << expected;
}

// A device's profile made from its default data.
template <class Profile>
class FactoryProfile {
 public:
  explicit FactoryProfile(std::string_view model) {
    data.SetDefaultProfilePath(DefaultProfilePath(model));
    data.SetProfilePath(folder / "current.Json");
    entry_loaded = data.Load(data.ProfilePath()).isObject();
  }
  ScratchFolder folder;
  Profile data;
  bool entry_loaded = false;
};

// The modes of a light slot: 0 keyboard, 1 mouse, 2 mouse pad, 3 headset.
const Json::Value& Modes(std::size_t slot) {
  static const Json::Value lights = ReadJsonDocument(DefaultDataFolder() / "default_light.json");
  return Element(Member(lights, "DefaultLightName"), slot);
}

bool IsVisibleMode(std::size_t slot, std::size_t mode) { return ToFlag(Member(Element(Modes(slot), mode), "visible")); }

void ExpectSaneLight(const LightSetting& light, std::size_t slot) {
  EXPECT_TRUE(IsVisibleMode(slot, light.select_item)) << int{light.select_item};
  EXPECT_LE(light.light, 4);
  EXPECT_LE(light.speed, 4);
  EXPECT_LE(light.multi_color, 1);
}

TEST(FactoryData, TheKeyboardProfileCarriesTheLogicalKeyTable) {
  FactoryProfile<CKeyboardProfiledata> keyboard("keyboard");
  ASSERT_TRUE(keyboard.entry_loaded);
  for (const auto& keys : {keyboard.data.GetKeyList(), keyboard.data.GetKeyFnList()}) {
    ASSERT_EQ(keys.size(), kLogicalKeyCount);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(keys[i].default_action, kLogicalKeyActions[i]);
      EXPECT_EQ(keys[i].assignment, kLogicalKeyActions[i]);
    }
  }
  ExpectSaneLight(keyboard.data.GetLight(), 0);
  const AudioLightSetting audio = keyboard.data.GetAudioLight();
  EXPECT_LE(audio.audio_mode, 6);
  const KeyboardSystem system = keyboard.data.GetKeyboardSystem();
  EXPECT_LE(system.polling_rate, 3);
  EXPECT_LE(system.repeat_delay, 3);
  EXPECT_TRUE(keyboard.data.GetLightList().empty());
  EXPECT_EQ(keyboard.data.GetCustomColors(0, 126), std::vector<CustomColour>(126));
}

TEST(FactoryData, TheMouseProfileCarriesButtonsStagesAndSurfaces) {
  FactoryProfile<CMouseProfiledata> mouse("mouse");
  ASSERT_TRUE(mouse.entry_loaded);
  const std::vector<KeyAssignment> buttons = mouse.data.GetKeyList();
  ASSERT_EQ(buttons.size(), kMouseButtonCount);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_EQ(buttons[i].default_action, kMouseButtonActions[i]) << i;
    EXPECT_EQ(buttons[i].assignment, kMouseButtonActions[i]) << i;
  }
  ExpectSaneLight(mouse.data.GetLight(), 1);
  EXPECT_LE(mouse.data.GetMouseSystem().report_rate, 4);

  const std::vector<DpiStage> stages = mouse.data.GetDpiStages();
  ASSERT_EQ(stages.size(), 5u);
  EXPECT_LT(mouse.data.GetActiveStage(), 5);
  for (std::size_t i = 0; i < stages.size(); ++i) {
    EXPECT_EQ(stages[i].enabled, 1) << i;
    EXPECT_EQ(stages[i].dpi_x, stages[i].dpi_y) << i;
    if (i > 0) {
      EXPECT_GT(stages[i].dpi_x, stages[i - 1].dpi_x) << i;
    }
  }

  const std::vector<SurfaceCorrection> surfaces = mouse.data.GetCorrections();
  ASSERT_FALSE(surfaces.empty());
  EXPECT_EQ(std::count_if(surfaces.begin(), surfaces.end(), [](const auto& s) { return s.select != 0; }), 1);
  for (const SurfaceCorrection& surface : surfaces) EXPECT_FALSE(surface.name.empty());
}

TEST(FactoryData, ThePadAndHeadsetProfilesCarryLightingAndTheEqPresets) {
  FactoryProfile<CBasicProfiledata> pad("MousePad");
  ASSERT_TRUE(pad.entry_loaded);
  ExpectSaneLight(pad.data.GetLight(), 2);

  FactoryProfile<CZu6533Profiledata> headset("HD");
  ASSERT_TRUE(headset.entry_loaded);
  ExpectSaneLight(headset.data.GetLight(), 3);
  const HeadsetSystem system = headset.data.GetHeadsetSystem();
  EXPECT_GE(system.eq_type, 1);
  EXPECT_LE(system.eq_type, 12);
  EXPECT_GE(system.magic_type, 1);
  EXPECT_LE(system.magic_type, 4);
  EXPECT_LE(system.mic_in_value, 100);
  EXPECT_LE(system.mic_monitor_value, 100);

  // The equaliser's fixed presets, band 1 first.
  const EqBands presets[12] = {
      {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},  {7, 11, 6, -3, -11, -1, 6, 13, 6, 13}, {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
      {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},  {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},        {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
      {14, 10, 4, 0, -4, -3, -1, 1, 2, 3}, {2, 1, -2, -3, -5, -1, 7, 11, 15, 13}, {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
      {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0}, {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},   {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
  };
  const Json::Value stored_before = headset.data.Document();
  for (int preset = 1; preset <= 12; ++preset)
    EXPECT_EQ(headset.data.GetEqBands(preset), presets[preset - 1]) << preset;
  EXPECT_EQ(headset.data.Document(), stored_before);  // every band present: nothing filled in
  EXPECT_TRUE(headset.data.GetCustomEqNames().empty());
}

TEST(FactoryData, LightingModeListsMatchTheModesOfEachFamily) {
  // The mouse: modes 0..10 and the music mode 11.
  const std::size_t mode_counts[] = {31, 12, 9, 9};
  for (std::size_t slot = 0; slot < 4; ++slot) {
    SCOPED_TRACE(slot);
    const Json::Value& modes = Modes(slot);
    ASSERT_EQ(ElementCount(modes), mode_counts[slot]);
    std::set<std::int64_t> codes;
    for (std::size_t j = 0; j < ElementCount(modes); ++j) {
      const Json::Value& mode = Element(modes, j);
      EXPECT_FALSE(ToText(Member(mode, "LightName")).empty()) << j;
      EXPECT_TRUE(Member(mode, "visible").isIntegral()) << j;
      // A code read back from the device maps to the first entry with it, so codes are unique.
      EXPECT_TRUE(codes.insert(ToInteger(Member(mode, "value"))).second) << j;
    }
    const Json::Value lights = ReadJsonDocument(DefaultDataFolder() / "default_light.json");
    EXPECT_FALSE(ToText(Member(Element(Element(Member(lights, "AreaLightName"), slot), 0), "LightName")).empty());
  }
  // The keyboard tests mode indexes: 20 per-key colours, 29 and 30 host-driven.
  const Json::Value& keyboard = Modes(0);
  for (std::size_t j = 0; j < ElementCount(keyboard); ++j)
    EXPECT_EQ(ToInteger(Member(Element(keyboard, j), "value")), static_cast<std::int64_t>(j));
  EXPECT_EQ(ToText(Member(Element(keyboard, 20), "LightName")), "Per-key colours");
  EXPECT_EQ(ToText(Member(Element(keyboard, 29), "LightName")), "Music");
  EXPECT_EQ(ToText(Member(Element(keyboard, 30), "LightName")), "Audio colour");
}

TEST(FactoryData, ApplicationFilesDecode) {
  ScratchFolder user;
  const AppFolders folders{DefaultDataFolder(), user / "data", user / "config"};

  const std::vector<LanguageEntry> languages = ReadLanguageList(folders);
  // The font faces go by position: the Chinese face is the first entry's.
  ASSERT_EQ(languages.size(), 2u);
  EXPECT_EQ(languages[0].name, "简体中文");
  EXPECT_EQ(languages[0].id, 2052u);
  EXPECT_EQ(languages[1].name, "English");
  EXPECT_EQ(languages[1].id, 1033u);
  for (const LanguageEntry& language : languages) EXPECT_FALSE(language.file.empty());

  const ColourOptions colours = LoadColourOptions(folders);
  for (std::size_t i = 0; i < kSwatchCount; ++i) {
    ASSERT_TRUE(colours.fixed[i].has_value()) << i;
    EXPECT_EQ(*colours.fixed[i] >> 24, 0xFFu) << i;
    EXPECT_FALSE(colours.collected[i].filled) << i;
  }
  EXPECT_EQ(std::set<std::optional<std::uint32_t>>(colours.fixed.begin(), colours.fixed.end()).size(), kSwatchCount);
  EXPECT_EQ(colours.fixed_selected, 0);
  EXPECT_TRUE(user.Exists("data/color_option_info.config"));

  const AudioStyles styles = LoadAudioStyles(folders);
  EXPECT_LT(styles.selected, kAudioStyleCount);
  EXPECT_EQ(styles.names[0], "第一组");
  EXPECT_EQ(styles.names[3], "第四组");
  for (std::uint8_t level : styles.levels) EXPECT_LE(level, 9);
}

}  // namespace
}  // namespace brontal
