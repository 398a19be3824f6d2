#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "helpers/temporary_folder.h"
#include "profiles/data_folders.h"
#include "profiles/file_contents.h"
#include "profiles/json_document.h"
#include "profiles/profile_list_file.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/test_window.h"

namespace brontal::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using RenameResult = CDeviceProfileUI::RenameResult;

const fs::path kDefaultProfile = CONTROLS_TEST_DATA "/device_profile_default.json";

std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute, int second,
                                                int millisecond) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(millisecond);
}

Json::Value DefaultEntry() { return ReadJsonDocument(kDefaultProfile)["Device"][0]; }

class DeviceProfileWindow : public WindowFixture {
 public:
  DeviceProfileWindow() : WindowFixture(CONTROLS_TEST_DATA "/device_profile.xml") {
    toolkit.Factory().Register("CDeviceProfileUI", [] { return std::make_unique<CDeviceProfileUI>(); });
    if (!window.Create(nullptr, "Profiles")) throw std::runtime_error(window.GetCreateError());
    loop.RunUntilIdle();
  }
};

// The panel on a device folder of its own (below the temporary folder, so
// that nothing may land beside it) with a clock that stands still.
class DeviceProfileTest : public DeviceProfileWindow {
 public:
  DeviceProfileTest() {
    fs::create_directory(device);
    panel.SetPaths(device, kDefaultProfile);
    panel.SetClock([this] { return now; });
  }

  void TearDown() override { EXPECT_EQ(panel.ListDocument(), ListFile()) << "the list in memory is not the file's"; }

  fs::path ListPath() const { return device / "ProfileList.ini"; }
  Json::Value ListFile() const { return ReadJsonDocument(ListPath()); }
  fs::path ProfilePath(const std::string& uuid) const { return device / (uuid + ".Json"); }
  Json::Value ProfileAt(int index) const { return ReadJsonDocument(panel.ProfileFilePath(index)); }

  // A folder that earlier runs left: profiles "p0", "p1", ... whose device
  // entries carry their index as "Mark".
  void MakeProfiles(const std::vector<std::string>& names) {
    Json::Value list(Json::objectValue);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string uuid = "p" + std::to_string(i);
      Json::Value entry;
      entry["profilename"] = names[i];
      entry["profileUUID"] = uuid;
      entry["profileislink"] = 0;
      entry["profilelinkmame"] = "";
      list["profilelist"].append(entry);
      Json::Value profile;
      profile["Device"][0]["Mark"] = static_cast<int>(i);
      profile["profilename"] = names[i];
      profile["profileUUID"] = uuid;
      WriteJsonDocument(ProfilePath(uuid), profile);
    }
    list["profileselect"] = 0;
    WriteJsonDocument(ListPath(), list);
  }

  std::vector<std::string> ComboNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < combo.GetCount(); ++i) names.push_back(combo.GetItemAt(i)->GetText());
    return names;
  }
  // The file's usable entries, as the program reads them.
  std::vector<std::string> ListNames() const {
    const ProfileList list(ListFile());
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.Count(); ++i) names.push_back(list.Name(i));
    return names;
  }
  std::vector<std::string> ListUuids() const {
    const ProfileList list(ListFile());
    std::vector<std::string> uuids;
    for (std::size_t i = 0; i < list.Count(); ++i) uuids.push_back(list.Uuid(i));
    return uuids;
  }
  std::set<std::string> Files() const {
    std::set<std::string> files;
    for (const auto& file : fs::directory_iterator(device)) files.insert(file.path().filename().string());
    return files;
  }
  std::set<std::string> ListedFiles() const {
    std::set<std::string> files{"ProfileList.ini"};
    for (const std::string& uuid : ListUuids()) files.insert(uuid + ".Json");
    return files;
  }

  test::TemporaryFolder folder;
  const fs::path device = folder.path() / "keyboard";
  std::chrono::system_clock::time_point now = LocalTime(2019, 5, 7, 13, 4, 59, 31);
  CDeviceProfileUI& panel = Find<CDeviceProfileUI>("profile_panel");
  CComboUI& combo = Find<CComboUI>("device_profile_combo");
};

TEST_F(DeviceProfileTest, NewFolderStartsWithFourProfilesTheFirstSelected) {
  ASSERT_TRUE(panel.Initialise());

  EXPECT_THAT(ComboNames(), ElementsAre("profile1", "profile2", "profile3", "profile4"));
  EXPECT_EQ(ListNames(), ComboNames());
  EXPECT_EQ(combo.GetItemAt(3)->GetToolTip(), "profile4");
  EXPECT_EQ(combo.GetItemAt(3)->GetFixedHeight(), 30);
  EXPECT_EQ(panel.SelectedIndex(), 0);
  EXPECT_EQ(panel.NameEditText(), "profile1");
  EXPECT_EQ(panel.SelectedUUID(), ListUuids()[0]);
  EXPECT_EQ(ListFile()["profileselect"], 0);
  EXPECT_EQ(panel.ProfileCount(), 4);
  EXPECT_EQ(Files(), ListedFiles());
  EXPECT_EQ(Files().size(), 5u);
  for (int i = 0; i < 4; ++i) {
    const Json::Value profile = ProfileAt(i);
    EXPECT_EQ(profile["Device"][0], DefaultEntry());
    EXPECT_EQ(profile["profilename"], ListNames()[i]);
    EXPECT_EQ(profile["profileUUID"], ListUuids()[i]);
  }
}

TEST_F(DeviceProfileTest, ProfilesMadeInOneMillisecondGetFreeIdentifiers) {
  now = LocalTime(2019, 5, 7, 13, 4, 59, 998);
  // A profile file that a lost list no longer names.
  const Json::Value orphan = ParseJsonDocument(R"({"profilename": "lost", "Device": [{"Mark": 9}]})");
  WriteJsonDocument(ProfilePath("2019_05_07_13_04_59_998"), orphan);

  ASSERT_TRUE(panel.Initialise());

  EXPECT_THAT(ListUuids(), ElementsAre("2019_05_07_13_04_59_999", "2019_05_07_13_05_00_000", "2019_05_07_13_05_00_001",
                                       "2019_05_07_13_05_00_002"));
  EXPECT_EQ(ReadJsonDocument(ProfilePath("2019_05_07_13_04_59_998")), orphan);
}

struct CorruptListCase {
  const char* name;
  const char* text;
  bool kept;  // the file gave no list at all, so it goes aside
  friend void PrintTo(const CorruptListCase& c, std::ostream* out) { *out << c.name; }
};

class CorruptListTest : public DeviceProfileTest, public ::testing::WithParamInterface<CorruptListCase> {};

TEST_P(CorruptListTest, StartsAfreshWithoutCrashing) {
  ASSERT_TRUE(ReplaceFileContents(ListPath(), GetParam().text));

  ASSERT_TRUE(panel.Initialise());

  EXPECT_THAT(ComboNames(), ElementsAre("profile1", "profile2", "profile3", "profile4"));
  EXPECT_EQ(ListNames(), ComboNames());
  std::set<std::string> files = ListedFiles();
  const std::string kept = "ProfileList.ini.unreadable-20190507-130459";
  if (GetParam().kept) files.insert(kept);
  EXPECT_EQ(Files(), files);
  if (GetParam().kept) {
    EXPECT_EQ(ReadFileContents(device / kept), GetParam().text);
  }
  EXPECT_EQ(panel.SelectedIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorruptListTest,
    ::testing::Values(CorruptListCase{"Empty", "", false}, CorruptListCase{"NotJson", R"({"profilelist": [)", true},
                      CorruptListCase{"Array", R"([{"profilename": "a", "profileUUID": "a"}])", true},
                      CorruptListCase{"ListIsText", R"({"profilelist": "profile1", "profileselect": 0})", true},
                      CorruptListCase{"EntriesOfTheWrongKind",
                                      R"({"profilelist": [1, "p", null, [], {"profilename": "x"},
                                            {"profilename": "y", "profileUUID": 7}],
                            "profileselect": "first"})",
                                      false},
                      CorruptListCase{"UnusableIdentifiers",
                                      R"({"profilelist": [{"profilename": "x", "profileUUID": "../x"},
                                                                   {"profilename": "y", "profileUUID": ""}]})",
                                      false}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DeviceProfileTest, AnUnreadableListIsKeptAsideAndMadeAgainFromTheProfileFiles) {
  const auto profile = [this](const std::string& file, const std::string& name, const std::string& uuid) {
    Json::Value document;
    document["Device"][0]["Mark"] = 1;
    document["profilename"] = name;
    document["profileUUID"] = uuid;
    WriteJsonDocument(device / file, document);
  };
  profile("2019_05_07_10_00_00_002.Json", "Work", "2019_05_07_10_00_00_002");
  profile("2018_01_01_00_00_00_000.Json", "Games", "2018_01_01_00_00_00_000");
  profile("2019_05_07_10_00_00_001.Json", "", "2019_05_07_10_00_00_001");
  profile("other.Json", "Not its file", "2017_01_01_00_00_00_000");  // names another file: passed over
  ASSERT_TRUE(ReplaceFileContents(device / "notes.Json", R"({"profilename": "no identifier"})"));
  const std::string corrupt = R"({"profilelist": [{"profilename": "Work", "profileUUID": "2019_05)";
  ASSERT_TRUE(ReplaceFileContents(ListPath(), corrupt));
  const std::set<std::string> before = Files();
  std::vector<std::string> heard;
  panel.SetNoticeHandler([&heard](const std::string& text) { heard.push_back(text); });

  ASSERT_TRUE(panel.Initialise());
  ASSERT_TRUE(panel.Initialise());

  EXPECT_THAT(ComboNames(), ElementsAre("Games", "2019_05_07_10_00_00_001", "Work"));
  EXPECT_EQ(ListNames(), ComboNames());
  EXPECT_EQ(panel.SelectedIndex(), 0);
  const std::string kept = "ProfileList.ini.unreadable-20190507-130459";
  EXPECT_EQ(ReadFileContents(device / kept), corrupt);
  std::set<std::string> expected = before;
  expected.insert(kept);
  EXPECT_EQ(Files(), expected) << "no new profile files";
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_THAT(heard[0], ::testing::HasSubstr(kept));
  EXPECT_EQ(panel.Notices(), heard);
}

TEST_F(DeviceProfileTest, AnEarlierKeptListIsNeverReplaced) {
  const std::string earlier = "ProfileList.ini.unreadable-20190507-130459";
  ASSERT_TRUE(ReplaceFileContents(device / earlier, "first"));
  ASSERT_TRUE(ReplaceFileContents(ListPath(), "second"));

  ASSERT_TRUE(panel.Initialise());

  EXPECT_EQ(ReadFileContents(device / earlier), "first");
  EXPECT_EQ(ReadFileContents(device / (earlier + "-2")), "second");
  EXPECT_THAT(ComboNames(), ElementsAre("profile1", "profile2", "profile3", "profile4"));
  EXPECT_EQ(panel.Notices().size(), 1u);
}

TEST_F(DeviceProfileTest, AFirstRunSaysNothing) {
  ASSERT_TRUE(panel.Initialise());
  EXPECT_THAT(ComboNames(), ElementsAre("profile1", "profile2", "profile3", "profile4"));
  EXPECT_TRUE(panel.Notices().empty());
}

TEST_F(DeviceProfileWindow, ADeviceFolderThatIsAFileFailsCleanlyAndIsSaidOnce) {
  test::TemporaryFolder folder;
  const fs::path device = folder.path() / "keyboard";
  ASSERT_TRUE(ReplaceFileContents(device, "not a folder"));
  std::vector<std::string> heard;
  SetFolderNoticeHandler([&heard, &device](const std::string& text) {
    if (text.find(device.string()) != std::string::npos) heard.push_back(text);
  });
  auto& panel = Find<CDeviceProfileUI>("profile_panel");
  panel.SetPaths(device, kDefaultProfile);

  EXPECT_FALSE(panel.Initialise());
  EXPECT_FALSE(panel.Initialise());
  EXPECT_FALSE(panel.AddProfile());
  EXPECT_EQ(panel.ProfileCount(), 0);
  SetFolderNoticeHandler(nullptr);

  ASSERT_EQ(heard.size(), 1u);
  EXPECT_THAT(heard[0], ::testing::HasSubstr("not a folder"));
  EXPECT_EQ(ReadFileContents(device), "not a folder");
  EXPECT_EQ(Find<CComboUI>("device_profile_combo").GetCount(), 0);
}

TEST_F(DeviceProfileTest, EntriesThatCannotNameTheirOwnFileArePassedOverButStayInTheFile) {
  ASSERT_TRUE(ReplaceFileContents(ListPath(), R"({"profilelist": [
      {"profilename": "A", "profileUUID": "a"},
      {"profilename": "B", "profileUUID": "../b"},
      {"profilename": "C", "profileUUID": "a"},
      {"profilename": {}, "profileUUID": "c"},
      {"profilename": "D", "profileUUID": "d"}], "profileselect": 0})"));
  const Json::Value written = ListFile();

  ASSERT_TRUE(panel.Initialise());
  EXPECT_THAT(ComboNames(), ElementsAre("A", "", "D"));
  EXPECT_THAT(ListUuids(), ElementsAre("a", "c", "d"));
  EXPECT_EQ(ListFile()["profilelist"], written["profilelist"]);

  // The selection counts every entry of the file, as other readers do.
  ASSERT_TRUE(panel.Select(2));
  EXPECT_EQ(ListFile()["profileselect"], 4);
  ASSERT_EQ(panel.RenameProfile("E"), CDeviceProfileUI::RenameResult::kRenamed);
  EXPECT_EQ(ListFile()["profilelist"][4]["profilename"], "E");
  EXPECT_EQ(ListFile()["profilelist"][1], written["profilelist"][1]);

  ASSERT_TRUE(panel.ResetProfiles());
  EXPECT_FALSE(fs::exists(folder.path() / "b.Json"));
  EXPECT_EQ(Files(), ListedFiles());
}

struct AddCase {
  const char* name;
  std::vector<std::string> existing;
  std::string added;
  friend void PrintTo(const AddCase& c, std::ostream* out) { *out << c.name; }
};

class AddNameTest : public DeviceProfileTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddNameTest, TakesTheFirstFreeNumberAndTheDefaults) {
  MakeProfiles(GetParam().existing);
  ASSERT_TRUE(panel.Initialise());

  ASSERT_TRUE(panel.AddProfile());

  std::vector<std::string> names = GetParam().existing;
  names.push_back(GetParam().added);
  EXPECT_EQ(ComboNames(), names);
  EXPECT_EQ(ListNames(), names);
  const int added = static_cast<int>(names.size()) - 1;
  EXPECT_EQ(panel.SelectedIndex(), 0);
  EXPECT_EQ(ListFile()["profileselect"], added);
  EXPECT_EQ(ProfileAt(added)["Device"][0], DefaultEntry());
  EXPECT_EQ(ProfileAt(added)["profilename"], GetParam().added);
  EXPECT_EQ(ProfileAt(added)["profileUUID"], ListUuids()[added]);
}

INSTANTIATE_TEST_SUITE_P(Names, AddNameTest,
                         ::testing::Values(AddCase{"FillsAGap", {"profile1", "profile3"}, "profile2"},
                                           AddCase{"IgnoresLetterCase", {"PROFILE1", "Profile2"}, "profile3"},
                                           AddCase{"OtherNamesLeaveOneFree", {"Game"}, "profile1"}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DeviceProfileTest, AddKeepsAProfileThatAnotherPageAddedMeanwhile) {
  MakeProfiles({"profile1"});
  ASSERT_TRUE(panel.Initialise());
  // Another device of the model shares the folder and adds a profile.
  Json::Value list = ListFile();
  Json::Value& other = list["profilelist"].append(list["profilelist"][0]);
  other["profilename"] = "other";
  other["profileUUID"] = "q";
  WriteJsonDocument(ListPath(), list);

  ASSERT_TRUE(panel.AddProfile());

  EXPECT_THAT(ListNames(), ElementsAre("profile1", "other", "profile2"));
  EXPECT_EQ(ComboNames(), ListNames());
}

TEST_F(DeviceProfileTest, AddStopsAtFiftyProfilesButCopyDoesNot) {
  std::vector<std::string> names;
  for (int i = 0; i < 50; ++i) names.push_back("n" + std::to_string(i));
  MakeProfiles(names);
  ASSERT_TRUE(panel.Initialise());

  EXPECT_FALSE(panel.AddProfile());
  EXPECT_EQ(panel.ProfileCount(), 50);

  EXPECT_TRUE(panel.CopyProfile());
  EXPECT_EQ(panel.ProfileCount(), 51);
}

TEST_F(DeviceProfileTest, CopyTakesTheSelectedProfileUnderAFreeName) {
  MakeProfiles({"B", "A", "a COPY"});
  ASSERT_TRUE(panel.Initialise());
  ASSERT_TRUE(panel.Select(1));

  ASSERT_TRUE(panel.CopyProfile());

  EXPECT_THAT(ComboNames(), ElementsAre("B", "A", "a COPY", "A copy copy"));
  EXPECT_EQ(ListNames(), ComboNames());
  EXPECT_EQ(panel.SelectedIndex(), 1);
  EXPECT_EQ(ListFile()["profileselect"], 1);
  const Json::Value copy = ProfileAt(3);
  EXPECT_EQ(copy["Device"][0]["Mark"], 1);
  EXPECT_EQ(copy["profilename"], "A copy copy");
  EXPECT_EQ(copy["profileUUID"], ListUuids()[3]);
  EXPECT_EQ(ProfileAt(1)["profilename"], "A");
}

TEST_F(DeviceProfileTest, ImportNamesByTheFileAndNeverRepeatsAName) {
  test::TemporaryFolder outside;
  const fs::path game = outside.path() / "Game.json";
  WriteJsonDocument(
      game, ParseJsonDocument(R"({"profilename": "Inner", "profileUUID": "foreign", "Device": [{"Mark": 42}]})"));
  MakeProfiles({"profile1"});
  ASSERT_TRUE(panel.Initialise());

  for (int i = 0; i < 3; ++i) ASSERT_TRUE(panel.ImportProfile(game));

  EXPECT_THAT(ComboNames(), ElementsAre("profile1", "Game", "Game(1)", "Game(1)(2)"));
  EXPECT_EQ(ListNames(), ComboNames());
  EXPECT_EQ(ListFile()["profileselect"], 0);
  for (int i = 1; i < 4; ++i) {
    const Json::Value imported = ProfileAt(i);
    EXPECT_EQ(imported["Device"], ParseJsonDocument(R"([{"Mark": 42}])"));
    EXPECT_EQ(imported["profilename"], ListNames()[i]);
    EXPECT_EQ(imported["profileUUID"], ListUuids()[i]);
  }
  EXPECT_EQ(Files(), ListedFiles());
}

struct RefusedImportCase {
  const char* name;
  std::optional<std::string> text;  // nullopt: no file
  friend void PrintTo(const RefusedImportCase& c, std::ostream* out) { *out << c.name; }
};

class RefusedImportTest : public DeviceProfileTest, public ::testing::WithParamInterface<RefusedImportCase> {};

TEST_P(RefusedImportTest, ChangesNothing) {
  test::TemporaryFolder outside;
  const fs::path file = outside.path() / "Game.json";
  if (GetParam().text) {
    ASSERT_TRUE(ReplaceFileContents(file, *GetParam().text));
  }
  MakeProfiles({"profile1"});
  ASSERT_TRUE(panel.Initialise());
  const std::set<std::string> files = Files();

  EXPECT_FALSE(panel.ImportProfile(file));

  EXPECT_THAT(ComboNames(), ElementsAre("profile1"));
  EXPECT_EQ(Files(), files);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedImportTest,
                         ::testing::Values(RefusedImportCase{"Missing", std::nullopt}, RefusedImportCase{"Empty", ""},
                                           RefusedImportCase{"NotJson", R"({"profilename": )"},
                                           RefusedImportCase{"Array", R"([{"profilename": "x", "profileUUID": "x"}])"},
                                           RefusedImportCase{"WithoutName", R"({"profileUUID": "x", "Device": []})"},
                                           RefusedImportCase{"WithoutIdentifier",
                                                             R"({"profilename": "x", "Device": []})"}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

struct RenameCase {
  const char* name;
  std::string new_name;
  RenameResult result;
  std::string stored;
  friend void PrintTo(const RenameCase& c, std::ostream* out) { *out << c.name; }
};

class RenameTest : public DeviceProfileTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(RenameTest, RenamesTheSelectedProfileEverywhereOrNowhere) {
  MakeProfiles({"profile1", "profile2"});
  ASSERT_TRUE(panel.Initialise());

  EXPECT_EQ(panel.RenameProfile(GetParam().new_name), GetParam().result);

  const std::string& stored = GetParam().stored;
  EXPECT_THAT(ListNames(), ElementsAre(stored, "profile2"));
  EXPECT_THAT(ComboNames(), ElementsAre(stored, "profile2"));
  EXPECT_EQ(combo.GetItemAt(0)->GetToolTip(), stored);
  EXPECT_EQ(panel.NameEditText(), stored);
  EXPECT_EQ(ProfileAt(0)["profilename"], stored);
  EXPECT_EQ(ProfileAt(0)["Device"][0]["Mark"], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RenameTest,
    ::testing::Values(RenameCase{"NewName", "Game", RenameResult::kRenamed, "Game"},
                      RenameCase{"OwnNameInOtherCase", "PROFILE1", RenameResult::kRenamed, "PROFILE1"},
                      RenameCase{"WhiteSpaceKept", " Game ", RenameResult::kRenamed, " Game "},
                      RenameCase{"OtherProfilesNameInOtherCase", "Profile2", RenameResult::kNameTaken, "profile1"},
                      RenameCase{"ThreeSpaces", "   ", RenameResult::kBlankName, "profile1"},
                      RenameCase{"Empty", "", RenameResult::kBlankName, "profile1"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct DeleteCase {
  const char* name;
  int selected;
  int next;
  std::vector<std::string> left;
  friend void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }
};

class DeleteTest : public DeviceProfileTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, RemovesTheSelectedProfileAndItsFile) {
  MakeProfiles({"A", "B", "C"});
  ASSERT_TRUE(panel.Initialise());
  ASSERT_TRUE(panel.Select(GetParam().selected));
  const fs::path file = panel.ProfileFilePath(GetParam().selected);

  ASSERT_EQ(panel.DeleteProfile(), GetParam().next);

  EXPECT_EQ(ListNames(), GetParam().left);
  EXPECT_EQ(ComboNames(), GetParam().left);
  EXPECT_EQ(ListFile()["profileselect"], GetParam().next);
  EXPECT_EQ(panel.SelectedIndex(), -1);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(Files(), ListedFiles());

  ASSERT_TRUE(panel.Select(GetParam().next));
  EXPECT_EQ(panel.NameEditText(), GetParam().left[GetParam().next]);
}

INSTANTIATE_TEST_SUITE_P(Selections, DeleteTest,
                         ::testing::Values(DeleteCase{"First", 0, 0, {"B", "C"}},
                                           DeleteCase{"Middle", 1, 0, {"A", "C"}},
                                           DeleteCase{"Last", 2, 1, {"A", "B"}}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DeviceProfileTest, DeleteKeepsTheLastProfile) {
  MakeProfiles({"A"});
  ASSERT_TRUE(panel.Initialise());

  EXPECT_EQ(panel.DeleteProfile(), -1);

  EXPECT_THAT(ComboNames(), ElementsAre("A"));
  EXPECT_EQ(panel.SelectedIndex(), 0);
  EXPECT_TRUE(fs::exists(ProfilePath("p0")));
}

TEST_F(DeviceProfileTest, OperationsOnTheSelectionNeedOne) {
  MakeProfiles({"A", "B"});
  ASSERT_TRUE(panel.Initialise());
  combo.SelectItem(-1, false);
  const std::set<std::string> files = Files();

  EXPECT_EQ(panel.DeleteProfile(), -1);
  EXPECT_FALSE(panel.CopyProfile());
  EXPECT_EQ(panel.RenameProfile("C"), RenameResult::kNotRenamed);
  EXPECT_FALSE(panel.ExportProfile(folder.path() / "out.json"));

  EXPECT_THAT(ListNames(), ElementsAre("A", "B"));
  EXPECT_EQ(Files(), files);
  EXPECT_FALSE(fs::exists(folder.path() / "out.json"));
}

TEST_F(DeviceProfileTest, SelectStoresTheChoiceAndRefusesAnIndexOutOfRange) {
  MakeProfiles({"A", "B"});
  ASSERT_TRUE(panel.Initialise());

  ASSERT_TRUE(panel.Select(1));
  EXPECT_EQ(panel.SelectedIndex(), 1);
  EXPECT_EQ(panel.NameEditText(), "B");
  EXPECT_EQ(panel.SelectedUUID(), "p1");
  EXPECT_EQ(ListFile()["profileselect"], 1);

  EXPECT_FALSE(panel.Select(2));
  EXPECT_FALSE(panel.Select(-1));
  EXPECT_EQ(panel.SelectedIndex(), 1);
  EXPECT_EQ(panel.SelectedUUID(), "p1");
  EXPECT_EQ(ListFile()["profileselect"], 1);
}

TEST_F(DeviceProfileTest, ExportWritesTheSelectedProfile) {
  MakeProfiles({"A", "B"});
  ASSERT_TRUE(panel.Initialise());
  ASSERT_TRUE(panel.Select(1));
  const fs::path exported = folder.path() / "B.json";

  ASSERT_TRUE(panel.ExportProfile(exported));

  EXPECT_EQ(ReadJsonDocument(exported), ReadJsonDocument(ProfilePath("p1")));
}

struct ResetCase {
  const char* name;
  int kind;
  std::vector<std::string> profiles;
  bool keeps_custom_eq;
  friend void PrintTo(const ResetCase& c, std::ostream* out) { *out << c.name; }
};

class ResetTest : public DeviceProfileTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetTest, RewritesTheFirstFourProfilesThatExist) {
  const std::vector<std::string>& names = GetParam().profiles;
  MakeProfiles(names);
  const Json::Value users_eq = ParseJsonDocument(
      R"({"CustomEQNameInfo": [{"Name": "Mine"}], "CustomEQHzValueInfo": [[{"value": 5}, {"value": 6}]]})");
  for (std::size_t i = 0; i < names.size(); ++i) {
    Json::Value profile = ReadJsonDocument(ProfilePath("p" + std::to_string(i)));
    for (const char* member : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
      profile["Device"][0][member] = users_eq[member];
    }
    WriteJsonDocument(ProfilePath("p" + std::to_string(i)), profile);
  }
  panel.SetDeviceKind(GetParam().kind);
  ASSERT_TRUE(panel.Initialise());

  ASSERT_TRUE(panel.ResetProfiles());

  Json::Value reset_entry = DefaultEntry();
  if (GetParam().keeps_custom_eq) {
    for (const char* member : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) reset_entry[member] = users_eq[member];
  }
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    const Json::Value profile = ProfileAt(i);
    if (i < 4) {
      EXPECT_EQ(profile["Device"][0], reset_entry) << names[i];
    } else {
      EXPECT_EQ(profile["Device"][0]["Mark"], i) << names[i];
    }
    EXPECT_EQ(profile["profilename"], names[i]);
    EXPECT_EQ(profile["profileUUID"], "p" + std::to_string(i));
  }
  EXPECT_EQ(Files(), ListedFiles());
}

INSTANTIATE_TEST_SUITE_P(Kinds, ResetTest,
                         ::testing::Values(ResetCase{"KeyboardTwoProfiles", 1, {"A", "B"}, false},
                                           ResetCase{"HeadsetTwoProfiles", 7, {"A", "B"}, true},
                                           ResetCase{"KeyboardFiveProfiles", 1, {"A", "B", "C", "D", "E"}, false}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DeviceProfileTest, ResetWithoutADefaultProfileKeepsTheProfiles) {
  MakeProfiles({"A"});
  panel.SetPaths(device, folder.path() / "missing.Json");
  ASSERT_TRUE(panel.Initialise());

  EXPECT_FALSE(panel.ResetProfiles());

  EXPECT_EQ(ProfileAt(0)["Device"][0]["Mark"], 0);
}

TEST_F(DeviceProfileTest, WithoutTheDropDownListNothingHappens) {
  ASSERT_TRUE(panel.Initialise());
  const std::set<std::string> files = Files();
  ASSERT_TRUE(panel.Remove(&combo));  // after the panel has found and kept it

  EXPECT_FALSE(panel.Initialise());
  EXPECT_EQ(panel.SelectedIndex(), -1);
  EXPECT_EQ(panel.ProfileCount(), 0);
  EXPECT_FALSE(panel.AddProfile());
  EXPECT_FALSE(panel.Select(1));
  EXPECT_EQ(panel.DeleteProfile(), -1);
  EXPECT_EQ(Files(), files);
}

const std::set<std::string> kSkinTabs = {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab"};
const std::vector<std::string> kAllTabs = {"key_Op_tab",    "deng_Op_tab",       "system_Op_tab", "macro_Op_tab",
                                           "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab",  "Virtual7.1_Op_tab"};

struct TabCase {
  const char* name;
  int value;
  std::set<std::string> tabs;
  friend void PrintTo(const TabCase& c, std::ostream* out) { *out << c.name; }
};

class TabVisibilityTest : public DeviceProfileTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabVisibilityTest, ShowsTheTabsOfTheDeviceKind) {
  panel.SetDeviceKind(GetParam().value);
  ASSERT_TRUE(panel.Initialise());
  panel.ApplyTabVisibility();

  std::set<std::string> visible;
  for (const std::string& tab : kAllTabs) {
    if (Find<COptionUI>(tab).IsVisible()) visible.insert(tab);
  }
  EXPECT_EQ(visible, GetParam().tabs);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TabVisibilityTest,
    ::testing::Values(TabCase{"Keyboard", 1, {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab"}},
                      TabCase{"Mouse", 2, kSkinTabs}, TabCase{"MousePad", 3, {"deng_Op_tab"}},
                      TabCase{"Kind4", 4, {"deng_Op_tab"}}, TabCase{"Kind5", 5, {"deng_Op_tab", "system_Op_tab"}},
                      TabCase{"MouseReceiver", 6, kSkinTabs},
                      TabCase{"Headset", 7, {"deng_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}},
                      TabCase{"UnknownKind", 0, kSkinTabs}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

// The tab strip is one for every device page: showing a keyboard after a
// headset must bring back the keyboard's tabs and leave no hidden tab selected.
TEST_F(DeviceProfileTest, TheTabsFollowTheDeviceShownAfterAnother) {
  panel.SetDeviceKind(7);
  ASSERT_TRUE(panel.Initialise());
  panel.ApplyTabVisibility();
  panel.SelectTab(6);  // the headset's audio tab
  panel.SetDeviceKind(1);
  panel.ApplyTabVisibility();
  std::set<std::string> visible;
  for (const std::string& tab : kAllTabs) {
    if (Find<COptionUI>(tab).IsVisible()) visible.insert(tab);
  }
  EXPECT_EQ(visible, (std::set<std::string>{"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab"}));
  EXPECT_TRUE(Find<COptionUI>("deng_Op_tab").IsSelected());
}

class SelectTabTest : public DeviceProfileTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(SelectTabTest, SelectsOneTabOrNone) {
  panel.SelectTab(GetParam().value);

  std::set<std::string> selected;
  for (const std::string& tab : kAllTabs) {
    if (Find<COptionUI>(tab).IsSelected()) selected.insert(tab);
  }
  EXPECT_EQ(selected, GetParam().tabs);
}

INSTANTIATE_TEST_SUITE_P(Numbers, SelectTabTest,
                         ::testing::Values(TabCase{"First", 1, {"key_Op_tab"}}, TabCase{"Second", 2, {"deng_Op_tab"}},
                                           TabCase{"Last", 8, {"Virtual7.1_Op_tab"}}, TabCase{"Zero", 0, {}},
                                           TabCase{"PastTheLast", 9, {}}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

}  // namespace
}  // namespace brontal::testing
