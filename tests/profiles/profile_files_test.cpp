// Loading and saving profile files: creation from the default profile, merging
// into the file, and what happens to files of every broken kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profiles/basic_profile_data.h"
#include "profiles/family_profile_data.h"
#include "profiles/json_document.h"
#include "profiles/scratch_folder.h"

namespace brontal {
namespace {

using testing::ScratchFolder;

constexpr const char* kDefault = R"({ "Device" : [ { "LightInfo" : { "Light" : 3 } } ] })";

class ProfileFiles : public ::testing::Test {
 protected:
  ProfileFiles() {
    profile_.SetDefaultProfilePath(folder_.Write("DefaultData/keyboard.Json", kDefault));
    profile_.SetProfilePath(folder_ / "p.Json");
  }
  Json::Value Stored(std::string_view name = "p.Json") const { return ReadJsonDocument(folder_ / name); }

  ScratchFolder folder_;
  CKeyboardProfiledata profile_;
};

TEST_F(ProfileFiles, AMissingProfileIsMadeFromTheDefaultEntryWithoutNameOrId) {
  const Json::Value& entry = profile_.Load(profile_.ProfilePath());
  EXPECT_EQ(entry["LightInfo"]["Light"].asInt(), 3);
  EXPECT_EQ(Stored(), ReadJsonDocument(folder_ / "DefaultData/keyboard.Json"));
  EXPECT_FALSE(Stored().isMember("profilename"));
  EXPECT_FALSE(Stored().isMember("profileUUID"));
}

TEST_F(ProfileFiles, AFileWithoutAUsableEntryTakesTheDefaultEntryAndKeepsItsName) {
  const struct {
    const char* text;
    bool keeps_name;
  } cases[] = {
      {"", false},
      {"{ \"Device\" : [ { \"Light", false},
      {"[ { \"LightInfo\" : {} } ]", false},
      {"\"Device\"", false},
      {R"({ "profilename" : "Mine", "profileUUID" : "2019_05_07" })", true},
      {R"({ "profilename" : "Mine", "profileUUID" : "2019_05_07", "Device" : [] })", true},
      {R"({ "profilename" : "Mine", "profileUUID" : "2019_05_07", "Device" : "text" })", true},
      {R"({ "profilename" : "Mine", "profileUUID" : "2019_05_07", "Device" : [ null ] })", true},
      {R"({ "profilename" : "Mine", "profileUUID" : "2019_05_07", "Device" : [ 5 ] })", true},
      {R"({ "profilename" : "Mine", "profileUUID" : "2019_05_07", "Device" : { "0" : {} } })", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    folder_.Write("p.Json", c.text);
    EXPECT_EQ(profile_.Load(profile_.ProfilePath())["LightInfo"]["Light"].asInt(), 3);
    EXPECT_EQ(Stored()["Device"][0]["LightInfo"]["Light"].asInt(), 3);
    EXPECT_EQ(Stored()["profilename"].asString(), c.keeps_name ? "Mine" : "");
    EXPECT_EQ(Stored()["profileUUID"].asString(), c.keeps_name ? "2019_05_07" : "");
  }
}

TEST_F(ProfileFiles, AnEmptyEntryIsASettingsEntryAndStays) {
  folder_.Write("p.Json", R"({ "Device" : [ {} ] })");
  EXPECT_EQ(profile_.Load(profile_.ProfilePath()), Json::Value(Json::objectValue));
  EXPECT_EQ(profile_.GetLight(), LightSetting{});
}

TEST_F(ProfileFiles, WithoutAUsableDefaultABrokenProfileIsLeftAlone) {
  folder_.Write("DefaultData/keyboard.Json", R"({ "Device" : [ "no entry" ] })");
  folder_.Write("p.Json", "{ \"Device\" : [ { \"half");
  EXPECT_TRUE(profile_.Load(profile_.ProfilePath()).isNull());
  EXPECT_EQ(folder_.Read("p.Json"), "{ \"Device\" : [ { \"half");
  EXPECT_TRUE(profile_.Load(folder_ / "other.Json").isNull());
  EXPECT_FALSE(folder_.Exists("other.Json"));
}

TEST_F(ProfileFiles, SavingReplacesOnlyTheEntry) {
  folder_.Write("p.Json", R"({ "profilename" : "Game", "profileUUID" : "2019_05_07_13_04_59_031", "extra" : [1],
                              "Device" : [ { "LightInfo" : { "Light" : 1 } } ] })");
  profile_.Load(profile_.ProfilePath());
  LightSetting light;
  light.light = 2;
  profile_.SetLight(light);
  EXPECT_EQ(Stored()["Device"][0]["LightInfo"]["Light"].asInt(), 1);  // setters do not save
  ASSERT_TRUE(profile_.Save());
  EXPECT_EQ(Stored()["Device"][0]["LightInfo"]["Light"].asInt(), 2);
  EXPECT_EQ(Stored()["profilename"].asString(), "Game");
  EXPECT_EQ(Stored()["profileUUID"].asString(), "2019_05_07_13_04_59_031");
  EXPECT_EQ(Stored()["extra"][0].asInt(), 1);
}

TEST_F(ProfileFiles, SavingIntoAFileThatTurnedCorruptWritesAWholeProfile) {
  profile_.Load(profile_.ProfilePath());
  folder_.Write("p.Json", "garbage");
  ASSERT_TRUE(profile_.Save());
  EXPECT_EQ(Stored()["Device"][0], profile_.Document());
}

// Loading and saving both replace a file that gives no profile; it goes aside first.
TEST_F(ProfileFiles, ACorruptProfileIsKeptAsideBeforeItIsReplaced) {
  const struct {
    const char* name;
    bool save;
  } cases[] = {{"load", false}, {"save", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    CKeyboardProfiledata profile;
    profile.SetDefaultProfilePath(folder.Write("keyboard.Json", kDefault));
    profile.SetProfilePath(folder / "p.Json");
    if (c.save) profile.Load(profile.ProfilePath());
    folder.Write("p.Json", "{ \"Device\" : [ { \"Light");
    c.save ? (void)profile.Save() : (void)profile.Load(profile.ProfilePath());
    std::vector<std::string> kept;
    for (const std::string& name : folder.Names()) {
      if (name.starts_with("p.Json.unreadable-")) kept.push_back(name);
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(folder.Read(kept[0]), "{ \"Device\" : [ { \"Light");
    EXPECT_EQ(ReadJsonDocument(folder / "p.Json")["Device"][0]["LightInfo"]["Light"].asInt(), 3);
  }
}

TEST_F(ProfileFiles, AFailedSaveKeepsTheFileAndReportsIt) {
  profile_.Load(profile_.ProfilePath());
  const std::string before = folder_.Read("p.Json");
  profile_.SetProfilePath(folder_ / "gone" / "p.Json");
  EXPECT_FALSE(profile_.Save());
  EXPECT_EQ(folder_.Read("p.Json"), before);
  CBasicProfiledata never_given_a_path;
  EXPECT_FALSE(never_given_a_path.Save());
}

TEST_F(ProfileFiles, EmptyPathsAreIgnored) {
  profile_.SetProfilePath("");
  profile_.SetDefaultProfilePath("");
  EXPECT_EQ(profile_.ProfilePath(), folder_ / "p.Json");
  EXPECT_EQ(profile_.Load(profile_.ProfilePath())["LightInfo"]["Light"].asInt(), 3);
}

TEST_F(ProfileFiles, TheSecondaryProfileIsLoadedAndSavedOnItsOwn) {
  folder_.Write("other.Json",
                R"({ "profilename" : "Other", "Device" : [ { "KeyList" : [ { "Assignment" : 2097156 } ] } ] })");
  profile_.Load(profile_.ProfilePath());
  profile_.LoadSecondary(folder_ / "other.Json");
  ASSERT_EQ(profile_.GetSecondaryKeyList().size(), 1u);
  EXPECT_EQ(profile_.GetSecondaryKeyList()[0].assignment, (KeyAction{0x20, 0x00, 0x04}));
  EXPECT_TRUE(profile_.GetKeyList().empty());

  ASSERT_TRUE(profile_.SaveSecondary(folder_ / "copy.Json"));
  EXPECT_EQ(Stored("copy.Json")["Device"][0]["KeyList"][0]["Assignment"].asInt(), 2097156);
  EXPECT_FALSE(Stored("copy.Json").isMember("profilename"));
}

TEST_F(ProfileFiles, SaveIntoMergesAndWriteDocumentWritesAsItIs) {
  folder_.Write("q.Json", R"({ "profilename" : "Q", "Device" : [ {} ] })");
  Json::Value entry;
  entry["LightInfo"]["Light"] = 4;
  ASSERT_TRUE(profile_.SaveInto(entry, folder_ / "q.Json"));
  EXPECT_EQ(Stored("q.Json")["profilename"].asString(), "Q");
  EXPECT_EQ(Stored("q.Json")["Device"][0], entry);
  ASSERT_TRUE(profile_.WriteDocument(entry, folder_ / "q.Json"));
  EXPECT_EQ(Stored("q.Json"), entry);
}

}  // namespace
}  // namespace brontal
