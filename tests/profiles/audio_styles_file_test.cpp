#include "profiles/audio_styles_file.h"

#include <gtest/gtest.h>

#include "profiles/json_document.h"
#include "profiles/scratch_folder.h"

namespace brontal {
namespace {

using testing::ScratchFolder;

constexpr const char* kFactory = R"({ "Device" : { "AudioLightInfo" : {
  "nAudioStyle" : 1, "nStyleName1" : "第一组", "nStyleName2" : "B", "nStyleName3" : "C", "nStyleName4" : "D",
  "nStyleR0" : 9, "nStyleG0" : 0, "nStyleB0" : 1, "nStyleR1" : 2, "nStyleG1" : 3, "nStyleB1" : 4,
  "nStyleR2" : 5, "nStyleG2" : 6, "nStyleB2" : 7, "nStyleR3" : 8, "nStyleG3" : 9, "nStyleB3" : 0 } } })";

AudioStyles FactoryStyles() { return {1, {"第一组", "B", "C", "D"}, {9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}}; }

TEST(AudioStylesFile, AFileWithoutADeviceObjectIsReplacedByTheFactoryCopy) {
  for (const char* user :
       std::initializer_list<const char*>{nullptr, "", "{", "[]", R"({ "Device" : "x" })", R"({ "Device" : null })"}) {
    SCOPED_TRACE(user ? user : "missing");
    ScratchFolder folder;
    folder.Write("factory/AudioFile.json", kFactory);
    if (user) folder.Write("user/AudioFile.json", user);
    EXPECT_EQ(LoadAudioStyles(folder.Folders()), FactoryStyles());
    EXPECT_EQ(ReadJsonDocument(folder / "user" / "AudioFile.json"),
              ReadJsonDocument(folder / "factory" / "AudioFile.json"));
  }
}

TEST(AudioStylesFile, MissingMembersGiveZeroAndEmptyNames) {
  ScratchFolder folder;
  folder.Write("factory/AudioFile.json", kFactory);
  folder.Write("user/AudioFile.json", R"({ "Device" : { "AudioLightInfo" : { "nStyleR3" : 4, "nStyleName2" : 5 } } })");
  AudioStyles expected;
  expected.names[1] = "5";
  expected.levels[9] = 4;
  EXPECT_EQ(LoadAudioStyles(folder.Folders()), expected);
}

TEST(AudioStylesFile, SavingRewritesTheStylesAndKeepsTheRest) {
  ScratchFolder folder;
  folder.Write("user/AudioFile.json", R"({ "Device" : { "Other" : 1, "AudioLightInfo" : { "extra" : 2 } } })");
  const AudioStyles styles = {3, {"a", "b", "c", "d"}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3}};
  ASSERT_TRUE(SaveAudioStyles(styles, folder.Folders()));
  EXPECT_EQ(LoadAudioStyles(folder.Folders()), styles);
  const Json::Value stored = ReadJsonDocument(folder / "user" / "AudioFile.json");
  EXPECT_EQ(stored["Device"]["Other"].asInt(), 1);
  EXPECT_EQ(stored["Device"]["AudioLightInfo"]["extra"].asInt(), 2);
  EXPECT_EQ(stored["Device"]["AudioLightInfo"]["nStyleB2"].asInt(), 9);
}

TEST(AudioStylesFile, ResetTakesTheFactoryCopyWhenThereIsOne) {
  ScratchFolder folder;
  const AudioStyles own = {2, {"a", "b", "c", "d"}, {}};
  ASSERT_TRUE(SaveAudioStyles(own, folder.Folders()));
  EXPECT_EQ(ResetAudioStyles(folder.Folders()), own);  // no factory copy: nothing to reset to
  folder.Write("factory/AudioFile.json", kFactory);
  EXPECT_EQ(ResetAudioStyles(folder.Folders()), FactoryStyles());
  EXPECT_EQ(LoadAudioStyles(folder.Folders()), FactoryStyles());
}

// Another program's numbers beyond the ranges would pick levels of no style.
TEST(AudioStylesFile, NumbersBeyondTheirRangesReadAsTheNearestThatFits) {
  ScratchFolder folder;
  folder.Write("user/AudioFile.json", R"({ "Device" : { "AudioLightInfo" : {
    "nAudioStyle" : 4, "nStyleR0" : 10, "nStyleG0" : -3, "nStyleB0" : 300, "nStyleR3" : 9 } } })");
  const AudioStyles styles = LoadAudioStyles(folder.Folders());
  EXPECT_EQ(styles.selected, 0);
  EXPECT_EQ(styles.levels[0], 9);
  EXPECT_EQ(styles.levels[1], 0);
  EXPECT_EQ(styles.levels[2], 9);
  EXPECT_EQ(styles.levels[9], 9);
}

TEST(AudioStylesFile, AnEmptyNameTakesTheDefaultOfItsPosition) {
  const std::pair<std::size_t, const char*> defaults[] = {{0, "第一组"}, {1, "第二组"}, {2, "第三组"}, {3, "第四组"}};
  for (const auto& [style, name] : defaults) {
    EXPECT_EQ(StyleNameOrDefault("", style), name);
    EXPECT_EQ(StyleNameOrDefault(" ", style), " ");  // only nothing at all is empty
    EXPECT_EQ(StyleNameOrDefault("Bass", style), "Bass");
  }
}

TEST(AudioStylesFile, NothingUsableAnywhereWritesNothing) {
  ScratchFolder folder;
  EXPECT_EQ(LoadAudioStyles(folder.Folders()), AudioStyles{});
  EXPECT_FALSE(folder.Exists("user/AudioFile.json"));
}

}  // namespace
}  // namespace brontal
