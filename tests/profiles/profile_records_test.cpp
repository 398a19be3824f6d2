// Decoding the members of a device entry into records and writing them back.
#include <gtest/gtest.h>

#include "profiles/eq_members.h"
#include "profiles/profile_fixture.h"

namespace brontal {
namespace {

using testing::LoadedProfile;

TEST(ProfileRecords, AnEntryWithoutMembersDecodesToZeros) {
  LoadedProfile p("{}");
  EXPECT_EQ(p.data.GetLight(), LightSetting{});
  EXPECT_EQ(p.data.GetAudioLight(), AudioLightSetting{});
  EXPECT_TRUE(p.data.GetLightList().empty());
  EXPECT_TRUE(p.data.GetKeyList().empty());
  EXPECT_TRUE(p.data.GetKeyFnList().empty());
  EXPECT_EQ(p.data.GetKeyboardSystem(), KeyboardSystem{});
  EXPECT_EQ(p.data.GetCustomGroup(), 0);
  EXPECT_EQ(p.data.GetMouseSystem(), MouseSystem{});
  EXPECT_TRUE(p.data.GetDpiStages().empty());
  EXPECT_EQ(p.data.GetActiveStage(), 0);
  EXPECT_TRUE(p.data.GetCorrections().empty());
  EXPECT_EQ(p.data.GetHeadsetSystem(), HeadsetSystem{});
  EXPECT_TRUE(p.data.GetCustomEqNames().empty());
  EXPECT_EQ(p.Entry(), Json::Value(Json::objectValue));  // none of these getters writes
}

TEST(ProfileRecords, LightingDecodesFlagsAsBooleansAndStoresNoWorkingBytes) {
  LoadedProfile p(R"({
    "LightInfo" : { "SelectItem" : 20, "Light" : 4, "Speed" : 1, "Fx" : 1, "MultiColor" : 7, "Red" : 255,
                    "Green" : 300, "Blue" : -4, "ZZCCLedMode" : 2, "CustomGroup" : 3, "OldLedmode" : 6, "Extra" : 1 },
    "AudioLightInfo" : { "AudioMode" : 2, "BkColorR" : 1, "BkColorG" : 2, "BkColorB" : 3, "FgColorR" : 4,
                         "FgColorG" : 5, "FgColorB" : 6, "7ColorFlags" : 2, "ColorTypeFlags" : true } })");
  LightSetting light = p.data.GetLight();
  EXPECT_EQ(light, (LightSetting{20, 4, 1, 1, 1, 255, 255, 0, {}, 2, 3, 6}));
  EXPECT_EQ(p.data.GetAudioLight(), (AudioLightSetting{2, 1, 2, 3, 4, 5, 6, 1, 1}));

  light.working = {9, 9, 9};
  light.multi_color = 5;
  p.data.SetLight(light);
  const Json::Value saved = p.Saved()["LightInfo"];
  EXPECT_EQ(saved.size(), 11u);  // a fresh object: "Extra" is gone, the working bytes never stored
  EXPECT_EQ(saved["MultiColor"].asInt(), 1);
  light.working = {};
  light.multi_color = 1;
  EXPECT_EQ(p.data.GetLight(), light);

  const AudioLightSetting audio{1, 10, 20, 30, 40, 50, 60, 0, 1};
  p.data.SetAudioLight(audio);
  EXPECT_EQ(p.data.GetAudioLight(), audio);
}

TEST(ProfileRecords, LightListMarksWhichElementsWereObjects) {
  LoadedProfile p(R"({ "LightList" : [ null, { "LEDREGMode" : 2, "LEDBrightness" : 3, "LEDSpeed" : 4,
      "LEDDirection" : 9, "LEDMultiColor" : 0, "red" : 5, "green" : 6, "blue" : 7, "Red" : 99 }, 12 ] })");
  const std::vector<LedEffect> effects = p.data.GetLightList();
  ASSERT_EQ(effects.size(), 3u);
  EXPECT_EQ(effects[0], LedEffect{});
  EXPECT_EQ(effects[1], (LedEffect{2, 3, 4, 1, 0, 5, 6, 7, {}, 1}));
  EXPECT_EQ(effects[2], LedEffect{});
}

TEST(ProfileRecords, SystemSettingsOfEachFamilyRoundTrip) {
  LoadedProfile keyboard(R"({ "SystemStages" : { "Repeat" : 20, "RepeatDelay" : 3, "Key6Flag" : 1,
      "PollingRate" : 2, "WFlag" : 1, "WinFlag" : 1, "OSMode" : 1 } })");
  EXPECT_EQ(keyboard.data.GetKeyboardSystem(), (KeyboardSystem{20, 3, 1, 2, 1, 1, 1}));
  keyboard.data.SetKeyboardSystem({5, 0, 0, 3, 0, 0, 2});
  EXPECT_EQ(keyboard.Saved()["SystemStages"]["PollingRate"].asInt(), 3);
  EXPECT_EQ(keyboard.data.GetKeyboardSystem(), (KeyboardSystem{5, 0, 0, 3, 0, 0, 2}));

  LoadedProfile mouse(R"({ "SystemStages" : { "DoubleClickTime" : 500, "MouseSpeed" : 10, "PointerPrecision" : 1,
      "ScorllPage" : 1, "WheelScorlllinse" : 3 }, "ReportStages" : { "StageActive" : 4 } })");
  EXPECT_EQ(mouse.data.GetMouseSystem(), (MouseSystem{500, 10, 1, 1, 3, 4}));
  mouse.data.SetMouseSystem({400, 5, 0, 0, 7, 2});
  const Json::Value saved = mouse.Saved();
  EXPECT_EQ(saved["ReportStages"]["StageActive"].asInt(), 2);
  EXPECT_FALSE(saved["SystemStages"].isMember("StageActive"));
  EXPECT_EQ(mouse.data.GetMouseSystem(), (MouseSystem{400, 5, 0, 0, 7, 2}));

  LoadedProfile headset(R"({ "SystemSetStages" : { "MagicEnable" : 1, "MagicType" : 3, "EqType" : 13,
      "CustomEqSeletIndex" : 2, "MicInSelect" : 1, "MicInValue" : 80, "MicMoniterSelect" : 0, "MicMoniterValue" : -5 } })");
  EXPECT_EQ(headset.data.GetHeadsetSystem(), (HeadsetSystem{1, 3, 13, 2, 1, 80, 0, -5}));
  headset.data.SetHeadsetSystem({0, 1, 5, 0, 0, 100, 1, 50});
  EXPECT_EQ(headset.Saved()["SystemSetStages"]["MicInValue"].asInt(), 100);
  EXPECT_EQ(headset.data.GetHeadsetSystem(), (HeadsetSystem{0, 1, 5, 0, 0, 100, 1, 50}));
}

TEST(ProfileRecords, MissingCustomColoursAreWrittenAsZeros) {
  LoadedProfile p(R"({ "CustomLightMode" : { "CustomLightModeGroupIndex" : 1, "LightColorInfo" : [
      [ { "Red" : 1, "Green" : 2, "Blue" : 3, "Alpha" : 4 }, 7 ] ] } })");
  EXPECT_EQ(p.data.GetCustomGroup(), 1);

  const std::vector<CustomColour> group0 = p.data.GetCustomColors(0, 3);
  EXPECT_EQ(group0, (std::vector<CustomColour>{{1, 2, 3, 4}, {}, {}}));
  EXPECT_EQ(p.Entry()["CustomLightMode"]["LightColorInfo"][0][1]["Alpha"], Json::Value(0));  // 7 replaced
  EXPECT_EQ(p.Entry()["CustomLightMode"]["LightColorInfo"][0].size(), 3u);

  EXPECT_EQ(p.data.GetCustomColors(2, 2), (std::vector<CustomColour>(2)));  // a missing group is made
  EXPECT_EQ(p.Entry()["CustomLightMode"]["LightColorInfo"][2].size(), 2u);
  EXPECT_TRUE(p.data.GetCustomColors(5, 0).empty());
  EXPECT_EQ(p.Entry()["CustomLightMode"]["LightColorInfo"].size(), 3u);

  p.data.SetCustomColors(0, std::vector<CustomColour>{{9, 9, 9, 255}});
  p.data.SetCustomGroup(2);
  const Json::Value saved = p.Saved()["CustomLightMode"];
  EXPECT_EQ(saved["CustomLightModeGroupIndex"].asInt(), 2);
  EXPECT_EQ(saved["LightColorInfo"][0].size(), 3u);  // the tail stays
  EXPECT_EQ(p.data.GetCustomColors(0, 1), (std::vector<CustomColour>{{9, 9, 9, 255}}));
}

TEST(ProfileRecords, DpiStagesAreLaidOverTheLastListWhichNeverShrinks) {
  const char* six_stages = R"({ "DPIStages" : { "StageActive" : 2, "StageDPIs" : [
      { "StageActive" : 1, "StageXY" : 0, "StageDPIX" : 3, "StageDPIY" : 3, "StageColorR" : 255 },
      { "StageActive" : 1, "StageDPIX" : 7, "StageDPIY" : 7 }, { "StageDPIX" : 15 }, { "StageDPIX" : 31 },
      { "StageDPIX" : 55 }, { "StageDPIX" : 70000 } ] } })";
  LoadedProfile p(six_stages);
  std::vector<DpiStage> stages = p.data.GetDpiStages();
  ASSERT_EQ(stages.size(), 6u);
  EXPECT_EQ(stages[0], (DpiStage{1, 0, 3, 3, 255, 0, 0}));
  EXPECT_EQ(stages[5].dpi_x, 65535);
  EXPECT_EQ(p.data.GetActiveStage(), 2);

  // Four stages set over six: stages 5 and 6 stay in the file.
  stages.resize(4);
  stages[0].dpi_x = 4;
  p.data.SetDpiStages(stages);
  const Json::Value saved = p.Saved()["DPIStages"];
  ASSERT_EQ(saved["StageDPIs"].size(), 6u);
  EXPECT_EQ(saved["StageDPIs"][0]["StageDPIX"].asInt(), 4);
  EXPECT_EQ(saved["StageDPIs"][4]["StageDPIX"].asInt(), 55);
  EXPECT_EQ(saved["StageActive"].asInt(), 2);

  // A profile with fewer stages is laid over the six of the last call.
  p.folder.Write("three.Json", R"({ "Device" : [ { "DPIStages" : { "StageActive" : 1, "StageDPIs" : [ {}, {}, {} ] } } ] })");
  p.data.GetDpiStages();
  p.data.Load(p.folder / "three.Json");
  stages = p.data.GetDpiStages();
  ASSERT_EQ(stages.size(), 6u);
  EXPECT_EQ(stages[0], DpiStage{});
  EXPECT_EQ(stages[4].dpi_x, 55);

  // Without "DPIStages" the last list and the last active stage stay.
  p.folder.Write("none.Json", R"({ "Device" : [ { "DPIStages" : [ 1, 2 ] } ] })");
  p.data.Load(p.folder / "none.Json");
  EXPECT_EQ(p.data.GetDpiStages().size(), 6u);
  EXPECT_EQ(p.data.GetActiveStage(), 1);
  p.data.SetActiveStage(4);
  EXPECT_EQ(p.data.GetActiveStage(), 4);
  EXPECT_EQ(p.Entry()["DPIStages"]["StageActive"].asInt(), 4);
}

TEST(ProfileRecords, CorrectionsCarryTheirNames) {
  LoadedProfile p(R"({ "CorrectInfo" : [ { "CorrectPixThresh" : 4, "CorrectMinSq" : 2, "CorrectSelect" : 1,
      "CorrectName" : "Cloth" }, { "CorrectName" : 5 }, "x" ] })");
  EXPECT_EQ(p.data.GetCorrections(), (std::vector<SurfaceCorrection>{{4, 2, 1, "Cloth"}, {0, 0, 0, "5"}, {}}));
}

TEST(ProfileRecords, EqPresetsMapToTheirElements) {
  LoadedProfile p(R"({ "EQHzValueInfo" : [ [], [ {"value":1},{"value":2},{"value":3},{"value":4},{"value":5},
      {"value":6},{"value":7},{"value":8},{"value":9},{"value":10} ], [], [ {"value":-3} ] ] })");
  const EqBands preset1 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  for (int preset : {0, 1, 14, 100, -1}) {
    SCOPED_TRACE(preset);
    EXPECT_EQ(p.data.GetEqBands(preset), preset1);
  }
  EXPECT_EQ(p.data.GetEqBands(13), std::nullopt);
  EXPECT_EQ(p.data.GetEqBands(3), (EqBands{-3}));
  EXPECT_EQ(p.Entry()["EQHzValueInfo"][3].size(), 10u);  // missing bands written as 0
  EXPECT_EQ(p.Entry()["EQHzValueInfo"][3][9]["value"].asInt(), 0);
  EXPECT_EQ(p.Entry()["EQHzValueInfo"].size(), 4u);  // nothing for 13

  p.data.SetEqBands(13, preset1);
  EXPECT_EQ(p.Entry()["EQHzValueInfo"].size(), 4u);
  p.data.SetEqBands(12, preset1);
  p.data.SetEqBands(0, EqBands{});
  const Json::Value saved = p.Saved()["EQHzValueInfo"];
  EXPECT_EQ(saved.size(), 13u);
  EXPECT_EQ(saved[12][9]["value"].asInt(), 10);
  EXPECT_EQ(saved[1][0]["value"].asInt(), 0);
}

TEST(ProfileRecords, CustomEqCurvesAndNames) {
  LoadedProfile p(R"({ "CustomEQHzValueInfo" : [ [ {"value":5}, {"value":"x"}, 7 ] ],
                      "CustomEQNameInfo" : [ { "Name" : "Bass" }, { "Name" : "流行" }, {} ] })");
  EXPECT_EQ(p.data.GetCustomEqBands(0), (EqBands{5}));
  EXPECT_EQ(p.Entry()["CustomEQHzValueInfo"][0][1]["value"].asString(), "x");  // present, though unreadable
  EXPECT_EQ(p.Entry()["CustomEQHzValueInfo"][0][2]["value"].asInt(), 0);        // 7 was not a band
  EXPECT_EQ(p.data.GetCustomEqNames(), (std::vector<std::string>{"Bass", "流行", ""}));

  // A wild curve index (from the profile's own "CustomEqSeletIndex") must not grow the file.
  EXPECT_EQ(p.data.GetCustomEqBands(2000000000), EqBands{});
  p.data.SetCustomEqBands(kMaxCustomEqCurves, EqBands{1});
  EXPECT_EQ(p.Entry()["CustomEQHzValueInfo"].size(), 1u);

  p.data.SetCustomEqBands(1, EqBands{1, 2});
  p.data.SetCustomEqNames(std::vector<std::string>{"One", "Two"});
  EXPECT_EQ(p.Saved()["CustomEQNameInfo"].size(), 2u);
  EXPECT_EQ(p.data.GetCustomEqBands(1), (EqBands{1, 2}));
  EXPECT_EQ(p.data.GetCustomEqNames(), (std::vector<std::string>{"One", "Two"}));
}

}  // namespace
}  // namespace brontal
