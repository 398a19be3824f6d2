// Lighting names of the factory data and the device's light config, and the
// steps of custom lighting effects.
#include "profiles/light_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/device_tables.h"
#include "profiles/json_document.h"
#include "profiles/light_steps.h"
#include "profiles/profile_fixture.h"

namespace brontal {
namespace {

using testing::LoadedProfile;
using testing::ScratchFolder;

// Light names read for a slot from files written into a scratch folder.
class NameFiles {
 public:
  NameFiles(std::string_view default_light, std::string_view light_config) {
    if (!default_light.empty()) folder.Write("factory/default_light.json", default_light);
    if (!light_config.empty()) folder.Write("device/drumo_light.config", light_config);
  }
  void Load(std::size_t slot, LightNameLists& lists) const {
    LoadLightNames(slot, folder / "device", lists, folder / "factory");
  }
  LightNameLists Load(std::size_t slot) const {
    LightNameLists lists;
    Load(slot, lists);
    return lists;
  }

 private:
  ScratchFolder folder;
};

TEST(LightNames, TheSlotsElementFillsEveryList) {
  const NameFiles files(R"({
      "DefaultLightName" : [ [ { "LightName" : "Keyboard wave", "visible" : 1, "value" : 1 } ],
                             [ { "LightName" : "Wave", "visible" : 1, "value" : 4 },
                               { "LightName" : "Farbwelle \u00e4", "visible" : 1, "value" : 300 },
                               12,
                               { "LightName" : 5, "value" : "9" } ] ],
      "AreaLightName" : [ [ { "LightName" : "Keys" } ], [ { "LightName" : "Logo" }, { "LightName" : "Wheel" } ] ] })",
                        R"({ "LightInfo" : [ [ { "LightName" : "Keyboard own" } ],
                                             [ { "LightName" : "Mine", "Guid" : "g1" }, { "Guid" : "g2" } ] ] })");
  const LightNameLists lists = files.Load(1);
  const std::vector<LightMode> modes = {
      {"Wave", true, 4}, {"Farbwelle \xC3\xA4", true, 300}, {"", false, 0}, {"5", false, 0}};
  EXPECT_EQ(lists.modes, modes);  // an element that is no object keeps its place
  EXPECT_EQ(lists.areas, (std::vector<std::string>{"Logo", "Wheel"}));
  EXPECT_EQ(lists.custom_effects, (std::vector<std::string>{"Mine", ""}));
}

TEST(LightNames, VisibleIsAFlagWrittenAsNumberOrBoolean) {
  const struct {
    const char* json;
    bool visible;
  } cases[] = {
      {"0", false}, {"1", true},      {"true", true},  {"false", false},
      {"2", true},  {"\"1\"", false}, {"null", false}, {"[1]", false},
  };
  std::string modes;
  for (const auto& c : cases)
    modes +=
        std::string(modes.empty() ? "" : ",") + R"({ "LightName" : "m", "value" : 0, "visible" : )" + c.json + " }";
  const NameFiles files(R"({ "DefaultLightName" : [ [ )" + modes + " ] ] }", "");
  const LightNameLists lists = files.Load(0);
  ASSERT_EQ(lists.modes.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(lists.modes[i].visible, cases[i].visible) << cases[i].json;
}

TEST(LightNames, OnlyListsWhoseArrayIsThereAreReplaced) {
  const LightNameLists before = {{{"old mode", true, 3}}, {"old area"}, {"old effect"}};
  const LightNameLists cleared;
  const LightNameLists modes_only = {{{"new", true, 1}}, before.areas, before.custom_effects};
  const struct {
    const char* what;
    const char* default_light;
    const char* light_config;
    const LightNameLists& expected;
  } cases[] = {
      {"no files", "", "", before},
      {"corrupt files", "{ \"DefaultLightName\" : ", "not json", before},
      {"empty documents", "{}", "{}", before},
      {"slot past the arrays", R"({ "DefaultLightName" : [ [] ], "AreaLightName" : [ [] ] })",
       R"({ "LightInfo" : [ [] ] })", before},
      {"null at the slot", R"({ "DefaultLightName" : [ [], null ], "AreaLightName" : [ [], null ] })",
       R"({ "LightInfo" : [ [], null ] })", before},
      {"wrong kinds", R"({ "DefaultLightName" : { "1" : [ {} ] }, "AreaLightName" : [ 0, { "LightName" : "a" } ] })",
       R"({ "LightInfo" : [ [], "effects" ] })", before},
      {"documents of the wrong kind", "[ [ {} ], [ {} ] ]", "\"LightInfo\"", before},
      {"empty arrays", R"({ "DefaultLightName" : [ [], [] ], "AreaLightName" : [ [], [] ] })",
       R"({ "LightInfo" : [ [], [] ] })", cleared},
      {"modes only", R"({ "DefaultLightName" : [ [], [ { "LightName" : "new", "visible" : 1, "value" : 1 } ] ] })", "",
       modes_only},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LightNameLists lists = before;
    NameFiles(c.default_light, c.light_config).Load(1, lists);
    EXPECT_EQ(lists, c.expected);
  }
}

TEST(LightNames, EveryModelHasFactoryModesAndAreas) {
  const ScratchFolder device;
  for (const DeviceEntryRow& row : kDeviceEntryTable) {
    SCOPED_TRACE(row.kind_name);
    LightNameLists lists;
    LoadLightNames(static_cast<std::size_t>(row.kind), device.path(), lists);
    EXPECT_FALSE(lists.modes.empty());
    EXPECT_FALSE(lists.areas.empty());
    for (const LightMode& mode : lists.modes) EXPECT_FALSE(mode.name.empty());
    EXPECT_TRUE(lists.custom_effects.empty());
  }
}

constexpr const char* kTwoEffects =
    R"({ "LightInfo" : [ [ { "LightName" : "First", "Guid" : "first" },
                           { "LightName" : "Second", "Guid" : "{6F9619FF-8B86-D011-B42D-00C04FC964FF}" } ] ] })";
constexpr const char* kFirstSteps = R"({ "LEDEffectList" : [ { "LEDREGMode" : 9 } ] })";
constexpr const char* kSecondSteps = R"({ "LEDEffectList" : [
    { "LEDREGMode" : 3, "LEDDirection" : 1, "LEDBrightness" : 4, "LEDSpeed" : 2, "LEDMultiColor" : 1,
      "red" : 255, "green" : 128, "blue" : 7, "Time" : 100000, "Cyle" : -1 },
    5 ] })";

// A profile whose "SelectItem" picks an effect of a light config in its
// device folder; the step files lie beside the config.
class CustomEffects {
 public:
  explicit CustomEffects(int select, std::string_view light_config = kTwoEffects)
      : profile_(R"({ "LightInfo" : { "SelectItem" : )" + std::to_string(select) + " } }") {
    profile_.data.SetLightConfigPath(profile_.folder.Write("device/drumo_light.config", light_config));
    profile_.data.LoadLightConfig();
  }

  void WriteStepFile(std::string_view name, std::string_view steps) {
    profile_.folder.Write(std::string("device/") + std::string(name), steps);
  }
  void Select(int effect) {
    LightSetting light = profile_.data.GetLight();
    light.select_item = static_cast<std::uint8_t>(effect);
    profile_.data.SetLight(light);
  }
  CBasicProfiledata& Data() { return profile_.data; }
  std::filesystem::path Folder() const { return profile_.folder.path(); }

 private:
  LoadedProfile profile_;
};

TEST(CustomEffectSteps, TheSelectedEffectsStepFileDecodes) {
  CustomEffects effects(1);
  effects.WriteStepFile("first.light", kFirstSteps);
  effects.WriteStepFile("{6F9619FF-8B86-D011-B42D-00C04FC964FF}.light", kSecondSteps);
  const std::vector<LightStep> steps = effects.Data().GetCustomEffectSteps();
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0], (LightStep{3, 4, 2, 1, 1, 255, 128, 7, {}, 100000, -1}));
  EXPECT_EQ(steps[1], LightStep{});  // an element that is no object
}

TEST(CustomEffectSteps, AMissingStepFileGivesNoStepsThoughTheEffectHasAName) {
  const ScratchFolder no_factory_data;
  CustomEffects effects(0);
  effects.WriteStepFile("first.light", kFirstSteps);
  LightNameLists lists;
  LoadLightNames(0, effects.Folder() / "device", lists, no_factory_data.path());
  EXPECT_EQ(lists.custom_effects, (std::vector<std::string>{"First", "Second"}));

  EXPECT_EQ(effects.Data().GetCustomEffectSteps().size(), 1u);
  effects.Select(1);
  EXPECT_TRUE(effects.Data().GetCustomEffectSteps().empty());
  effects.Select(2);  // past the list
  EXPECT_TRUE(effects.Data().GetCustomEffectSteps().empty());
}

TEST(CustomEffectSteps, WithoutALightConfigTheLastStepsStay) {
  CustomEffects effects(0);
  effects.WriteStepFile("first.light", kFirstSteps);
  const std::vector<LightStep> first = effects.Data().GetCustomEffectSteps();
  ASSERT_EQ(first.size(), 1u);

  std::filesystem::remove(effects.Folder() / "device/drumo_light.config");
  EXPECT_TRUE(effects.Data().LoadLightConfig().isNull());
  effects.Select(1);
  EXPECT_EQ(effects.Data().GetCustomEffectSteps(), first);

  CBasicProfiledata never_loaded;
  EXPECT_TRUE(never_loaded.GetCustomEffectSteps().empty());
}

TEST(CustomEffectSteps, AGuidThatIsNoPlainFileStemIsRefused) {
  const ScratchFolder folder;
  const ScratchFolder elsewhere;
  for (const char* name : {"device/first.light", "device/nested/first.light", "device/...light",
                           "device/..\\outside.light", "outside.light"})
    folder.Write(name, kFirstSteps);
  elsewhere.Write("outside.light", kFirstSteps);
  const struct {
    std::string guid;
    bool read;
  } cases[] = {
      {"first", true},
      {"../outside", false},
      {"nested/../../outside", false},
      {(elsewhere / "outside").string(), false},
      {"nested/first", false},
      {"..\\outside", false},
      {"..", true},  // "...light": a plain name of the folder
      {"", false},
      {std::string("first.light\0", 12), false},  // the name would end at the NUL
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guid);
    EXPECT_EQ(ReadLightSteps(folder / "device", c.guid).size(), c.read ? 1u : 0u);
  }
}

TEST(CustomEffectSteps, FilesOfTheWrongShapeGiveWhatFits) {
  const struct {
    const char* light_config;
    const char* steps;
    std::size_t count;
  } cases[] = {
      {R"({ "LightInfo" : { "0" : [ { "Guid" : "first" } ] } })", kFirstSteps, 0},
      {R"({ "LightInfo" : [ { "Guid" : "first" } ] })", kFirstSteps, 0},
      {R"({ "LightInfo" : [ [ { "Guid" : { "first" : 1 } } ] ] })", kFirstSteps, 0},
      {"[ [ [ { \"Guid\" : \"first\" } ] ] ]", kFirstSteps, 0},
      {kTwoEffects, R"({ "LEDEffectList" : { "0" : { "LEDREGMode" : 1 } } })", 0},
      {kTwoEffects, "[ { \"LEDEffectList\" : [ {} ] } ]", 0},
      {kTwoEffects, "", 0},
      {kTwoEffects, R"({ "LEDEffectList" : [ { "Time" : "12", "red" : [ 1 ], "Cyle" : 1e300 } ] })", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.light_config) + " / " + c.steps);
    CustomEffects effects(0, c.light_config);
    effects.WriteStepFile("first.light", c.steps);
    EXPECT_EQ(effects.Data().GetCustomEffectSteps().size(), c.count);
  }
}

}  // namespace
}  // namespace brontal
