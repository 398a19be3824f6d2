// Every member of every factory profile, and every application file, replaced
// by values of the wrong kind: nothing crashes, nothing corrupt is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profiles/audio_styles_file.h"
#include "profiles/colour_options.h"
#include "profiles/data_folders.h"
#include "profiles/json_document.h"
#include "profiles/language_settings.h"
#include "profiles/profile_fixture.h"
#include "profiles/skin_image_setting.h"
#include "profiles/update_check_date.h"

namespace brontal {
namespace {

using testing::ScratchFolder;

const std::vector<Json::Value>& BadValues() {
  static const std::vector<Json::Value> values = [] {
    std::vector<Json::Value> v;
    for (const char* json : {"[1, [2]]", "{\"x\": {\"y\": []}}", "\"12\"", "null", "true", "-2147483649",
                             "18446744073709551615", "-1e300", "0.5"})
      v.push_back(ParseJsonDocument(std::string("[") + json + "]")[0]);
    v.emplace_back(std::string("\xC3(\xFF\xFE", 4));  // invalid UTF-8
    return v;
  }();
  return values;
}

// Paths to every member of an entry, descending into the first element of arrays.
void CollectPaths(const Json::Value& value, std::vector<std::string>& prefix, std::vector<std::vector<std::string>>& out) {
  if (value.isObject()) {
    for (const std::string& name : value.getMemberNames()) {
      prefix.push_back(name);
      out.push_back(prefix);
      CollectPaths(value[name], prefix, out);
      prefix.pop_back();
    }
  } else if (value.isArray() && !value.empty()) {
    prefix.push_back("#0");
    out.push_back(prefix);
    CollectPaths(value[0], prefix, out);
    prefix.pop_back();
  }
}

Json::Value& At(Json::Value& value, const std::vector<std::string>& path) {
  Json::Value* at = &value;
  for (const std::string& step : path) at = step == "#0" ? &(*at)[0] : &(*at)[step];
  return *at;
}

// Every accessor a device may call, then a save.
void UseEverything(CBasicProfiledata& data) {
  data.GetLight();
  data.GetAudioLight();
  data.GetLightList();
  data.SetKeyList(data.GetKeyList());
  data.SetKeyFnList(data.GetKeyFnList());
  data.SetKeyboardSystem(data.GetKeyboardSystem());
  data.SetCustomColors(data.GetCustomGroup(), data.GetCustomColors(data.GetCustomGroup(), 126));
  data.SetMouseSystem(data.GetMouseSystem());
  data.SetDpiStages(data.GetDpiStages());
  data.SetActiveStage(data.GetActiveStage());
  data.GetCorrections();
  const HeadsetSystem headset = data.GetHeadsetSystem();
  data.SetHeadsetSystem(headset);
  if (const auto bands = data.GetEqBands(headset.eq_type)) data.SetEqBands(headset.eq_type, *bands);
  data.SetCustomEqBands(static_cast<std::size_t>(headset.custom_eq_select),
                        data.GetCustomEqBands(static_cast<std::size_t>(headset.custom_eq_select)));
  data.SetCustomEqNames(data.GetCustomEqNames());
  data.Save();
}

TEST(BadInput, EveryProfileMemberOfTheWrongKind) {
  for (const char* model : {"keyboard", "mouse", "MousePad", "HD"}) {
    const Json::Value factory = ReadJsonDocument(DefaultProfilePath(model));
    std::vector<std::string> prefix;
    std::vector<std::vector<std::string>> paths;
    CollectPaths(factory["Device"][0], prefix, paths);
    ASSERT_FALSE(paths.empty()) << model;
    ScratchFolder folder;
    for (const auto& path : paths) {
      for (const Json::Value& bad : BadValues()) {
        Json::Value broken = factory;
        At(broken["Device"][0], path) = bad;
        SCOPED_TRACE(std::string(model) + " " + path.back() + " = " + bad.toStyledString());
        ASSERT_TRUE(WriteJsonDocument(folder / "p.Json", broken));
        CBasicProfiledata data;
        data.SetDefaultProfilePath(DefaultProfilePath(model));
        data.SetProfilePath(folder / "p.Json");
        data.Load(data.ProfilePath());
        UseEverything(data);
        const Json::Value saved = ReadJsonDocument(folder / "p.Json");
        ASSERT_TRUE(saved["Device"][0].isObject());
        // What was saved decodes again to the same records.
        CBasicProfiledata again;
        again.Load(folder / "p.Json");
        EXPECT_EQ(again.GetLight(), data.GetLight());
        EXPECT_EQ(again.GetKeyList(), data.GetKeyList());
        EXPECT_EQ(again.GetMouseSystem(), data.GetMouseSystem());
        EXPECT_EQ(again.GetHeadsetSystem(), data.GetHeadsetSystem());
      }
    }
  }
}

// Texts that are not what a file should hold; some are objects all the same.
const struct {
  const char* text;
  bool object;
} kBrokenTexts[] = {
    {"", false},         {"{ \"Device\" : { \"AudioLightInfo\" : ", false}, {"not json", false},
    {"[1, 2]", false},   {"\"text\"", false},  {"1e400", false},  {"{ \"a\" : \"\xC3(\" }", true},
    {"\xEF\xBB\xBF{}", false}, {"{ \"coloroptioninfo\" : [], \"Device\" : 5 }", true},
};

TEST(BadInput, EveryApplicationFileBrokenInEveryWay) {
  const char* const files[] = {"color_option_info.config", "AudioFile.json", "updatetime.config", "main.ini"};
  for (const auto& broken : kBrokenTexts) {
    for (bool broken_factory : {false, true}) {
      SCOPED_TRACE(std::string(broken.text) + (broken_factory ? " (factory too)" : ""));
      ScratchFolder folder;
      const AppFolders folders = folder.Folders();
      std::filesystem::create_directories(folders.default_data);
      for (const char* file : files) {
        folder.Write(std::string("user/") + file, broken.text);
        if (broken_factory) folder.Write(std::string("factory/") + file, broken.text);
        else if (std::filesystem::exists(DefaultDataFolder() / file))
          std::filesystem::copy_file(DefaultDataFolder() / file, folders.default_data / file);
      }
      folder.Write("factory/Language.config", broken.text);
      folder.Write("config/settings.ini", broken.text);

      const ColourOptions colours = LoadColourOptions(folders);
      const AudioStyles styles = LoadAudioStyles(folders);
      ReadUpdateCheckDate(folders);
      ReadSkinImage(folders);
      EXPECT_TRUE(ReadLanguageList(folders).empty());
      EXPECT_EQ(ReadLanguageChoice(folders), std::nullopt);
      if (!broken_factory) {
        // The factory copies took over where the user's file was unusable, and were stored.
        EXPECT_EQ(colours.fixed[0].has_value(), !broken.object);
        EXPECT_FALSE(styles.names[0].empty());
        EXPECT_TRUE(ReadJsonDocument(folders.application / "color_option_info.config").isObject());
        EXPECT_TRUE(ReadJsonDocument(folders.application / "AudioFile.json")["Device"].isObject());
      }
      // Writing on top of broken files gives whole files.
      EXPECT_TRUE(SaveColourOptions(colours, folders));
      EXPECT_TRUE(SaveAudioStyles(styles, folders));
      EXPECT_TRUE(WriteLanguageChoice(2052, folders));
      EXPECT_TRUE(WriteSkinImage({true, "common/a.png"}, folders));
      EXPECT_EQ(LoadColourOptions(folders), colours);
      EXPECT_EQ(LoadAudioStyles(folders), styles);
      EXPECT_EQ(ReadLanguageChoice(folders), 2052u);
      EXPECT_EQ(ReadSkinImage(folders), (SkinImageChoice{true, "common/a.png"}));
    }
  }
}

}  // namespace
}  // namespace brontal
