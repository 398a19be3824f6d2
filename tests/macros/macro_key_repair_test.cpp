// After a macro leaves the index, the keys of every profile, on both layers,
// still play the macros they played.
#include "macros/macro_key_repair.h"

#include <gtest/gtest.h>

#include "helpers/temporary_folder.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/key_list_members.h"
#include "profiles/profile_document.h"
#include "profiles/profile_list_file.h"

namespace brontal {
namespace {

constexpr KeyAction kDefault{0x20, 0x00, 0x04};
constexpr std::size_t kRemoved = 1;  // of macros 0, 1 and 2

KeyAssignment Assigned(const KeyAction& action) { return {0, action, 0, 0, kDefault, 0}; }

std::vector<KeyAssignment> Assignments(std::initializer_list<KeyAction> actions) {
  std::vector<KeyAssignment> keys;
  for (const KeyAction& action : actions) keys.push_back(Assigned(action));
  return keys;
}

TEST(RenumberMacroActions, KeysOfTheRemovedMacroFallBackAndLaterOnesMoveDown) {
  struct Case {
    std::string_view what;
    KeyAction before, after;
  };
  const Case cases[] = {
      {"an earlier macro", {0x70, 0, 2}, {0x70, 0, 2}},
      {"the removed macro", {0x70, 1, 3}, kDefault},
      {"the removed macro repeated", {0x71, 1, 9}, kDefault},
      {"a later macro", {0x70, 2, 1}, {0x70, 1, 1}},
      {"a later macro repeated", {0x71, 2, 9}, {0x71, 1, 9}},
      {"the last possible macro", {0x71, 255, 0}, {0x71, 254, 0}},
      {"a gun key with the same b1", {0x72, 2, 0}, {0x72, 2, 0}},
      {"a macro key M2", {0xD0, 0xA2, 2}, {0xD0, 0xA2, 2}},
  };
  for (const Case& c : cases) {
    std::vector<KeyAssignment> keys = {Assigned(c.before)};
    EXPECT_EQ(RenumberMacroActions(keys, kRemoved), c.before != c.after) << c.what;
    EXPECT_EQ(keys[0].assignment, c.after) << c.what;
  }
}

// A device folder of profiles whose key lists are written and read back as
// the profile files hold them.
class StoredProfilesRepairTest : public ::testing::Test {
 protected:
  static Json::Value KeyList(std::initializer_list<KeyAction> actions) {
    Json::Value list(Json::arrayValue);
    for (const KeyAction& action : actions) {
      Json::Value& key = list.append(Json::Value(Json::objectValue));
      key["Assignment"] = static_cast<Json::Int64>(PackKeyAction(action));
      key["DefaultAssignment"] = static_cast<Json::Int64>(PackKeyAction(kDefault));
    }
    return list;
  }

  std::filesystem::path AddProfile(std::string_view name, const Json::Value& keys, const Json::Value& fn_keys) {
    const std::string uuid = "2024_01_01_00_00_00_00" + std::to_string(list_.Count());
    Json::Value entry(Json::objectValue);
    entry["KeyList"] = keys;
    entry["KeyFnList"] = fn_keys;
    entry["LightInfo"]["Light"] = 3;
    Json::Value profile(Json::objectValue);
    SetDeviceEntry(profile, 0, entry);
    EXPECT_TRUE(WriteProfileFile(folder_.path(), profile, name, uuid));
    list_.Append(name, uuid);
    EXPECT_TRUE(list_.Write(folder_.path()));
    return ProfileFilePath(folder_.path(), uuid);
  }

  static Json::Value Entry(const std::filesystem::path& profile) { return DeviceEntry(ReadJsonDocument(profile), 0); }
  static std::vector<KeyAction> Actions(const Json::Value& list) {
    std::vector<KeyAction> actions;
    for (const KeyAssignment& key : DecodeKeyList(list)) actions.push_back(key.assignment);
    return actions;
  }

  test::TemporaryFolder folder_{"brontal_macro_repair"};
  ProfileList list_{Json::Value(Json::objectValue)};
};

TEST_F(StoredProfilesRepairTest, BothLayersOfEveryOtherProfileAreMendedAndWritten) {
  const std::filesystem::path loaded = AddProfile("loaded", KeyList({{0x70, 2, 0}}), KeyList({{0x70, 1, 0}}));
  const std::filesystem::path both =
      AddProfile("both", KeyList({{0x70, 1, 0}, {0x71, 2, 5}, {0x70, 0, 1}, {0x20, 0, 0x05}}),
                 KeyList({{0x70, 2, 3}, {0x71, 1, 2}}));
  const std::filesystem::path fn_only = AddProfile("fn only", KeyList({{0x70, 0, 0}}), KeyList({{0x71, 2, 7}}));
  const std::filesystem::path none = AddProfile("none", KeyList({{0x70, 0, 0}}), KeyList({}));
  const std::string loaded_text = ReadFileContents(loaded);
  const std::string none_text = ReadFileContents(none);

  const StoredProfilesRepair repair = RenumberMacroActionsInProfiles(folder_.path(), kRemoved, loaded);
  EXPECT_EQ(repair.mended, (std::vector<std::string>{"both", "fn only"}));
  EXPECT_TRUE(repair.not_written.empty());

  const Json::Value mended = Entry(both);
  EXPECT_EQ(Actions(mended["KeyList"]),
            (std::vector<KeyAction>{kDefault, {0x71, 1, 5}, {0x70, 0, 1}, {0x20, 0, 0x05}}));
  EXPECT_EQ(Actions(mended["KeyFnList"]), (std::vector<KeyAction>{{0x70, 1, 3}, kDefault}));
  EXPECT_EQ(mended["LightInfo"]["Light"], 3);
  EXPECT_EQ(DecodeKeyList(mended["KeyList"])[0].default_action, kDefault);
  EXPECT_EQ(ReadJsonDocument(both)["profilename"], "both");
  EXPECT_EQ(Actions(Entry(fn_only)["KeyFnList"]), (std::vector<KeyAction>{{0x71, 1, 7}}));
  // The loaded profile is its device's to mend; an unchanged one is not rewritten.
  EXPECT_EQ(ReadFileContents(loaded), loaded_text);
  EXPECT_EQ(ReadFileContents(none), none_text);
}

TEST_F(StoredProfilesRepairTest, ProfilesBehindAnUnreadableListAreFoundByTheirFiles) {
  const std::filesystem::path profile = AddProfile("only", KeyList({{0x70, 2, 0}}), KeyList({}));
  ASSERT_TRUE(ReplaceFileContents(folder_.path() / kProfileListFileName, "not a list"));
  const StoredProfilesRepair repair = RenumberMacroActionsInProfiles(folder_.path(), kRemoved, {});
  EXPECT_EQ(repair.mended, std::vector<std::string>{"only"});
  EXPECT_EQ(Actions(Entry(profile)["KeyList"]), (std::vector<KeyAction>{{0x70, 1, 0}}));
}

TEST_F(StoredProfilesRepairTest, AProfileWithoutADeviceEntryIsLeftAsItIs) {
  const std::filesystem::path profile = AddProfile("broken", KeyList({}), KeyList({}));
  ASSERT_TRUE(ReplaceFileContents(profile, "{ broken"));
  EXPECT_TRUE(RenumberMacroActionsInProfiles(folder_.path(), kRemoved, {}).mended.empty());
  EXPECT_EQ(ReadFileContents(profile), "{ broken");
}

TEST(LoadedListsRepair, OnlyTheChangedLayerIsStoredInTheProfile) {
  CBasicProfiledata profile;
  std::vector<KeyAssignment> keys = Assignments({{0x70, 0, 0}});
  std::vector<KeyAssignment> fn_keys = Assignments({{0x71, 2, 4}});
  const LoadedListsRepair changed = RenumberMacroActions(profile, keys, fn_keys, kRemoved);
  EXPECT_FALSE(changed.keys);
  EXPECT_TRUE(changed.fn_keys);
  EXPECT_TRUE(profile.Document()["KeyList"].isNull());
  EXPECT_EQ(profile.GetKeyFnList()[0].assignment, (KeyAction{0x71, 1, 4}));
}

}  // namespace
}  // namespace brontal
