// Macro files and the macro index on disk: what they hold, how they come
// back, and how broken or hostile files are taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "macros/macro_index.h"
#include "profiles/json_document.h"

namespace brontal {
namespace {

class MacroFiles : public ::testing::Test {
 protected:
  std::filesystem::path Write(std::string_view name, std::string_view text) const {
    const std::filesystem::path path = folder_.path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  Json::Value Stored(std::string_view name) const { return ReadJsonDocument(folder_.path() / name); }

  test::TemporaryFolder folder_{"brontal_macros"};
};

TEST_F(MacroFiles, IntegerAndTextDelaysLoadAlikeAndSaveBackAsText) {
  Write("g.mac", R"({"MacroName": "Old", "Guid": "g", "Version": 64, "Events": [
      {"Type": 10, "Button": 4, "Action": "down", "Delay": 0},
      {"Type": 10, "Button": 4, "Action": "up", "Delay": "50"},
      {"Type": 4, "Button": 20, "Action": "down", "Delay": "65536"}]})");
  const std::vector<MacroEvent> events = LoadMacroEvents(folder_.path(), "g");
  // A delay past 16 bits is kept: the device takes its low bits, not 65535.
  const std::vector<MacroEvent> expected = {{10, 4, true, 0}, {10, 4, false, 50}, {4, 20, true, 65536}};
  EXPECT_EQ(events, expected);

  ASSERT_TRUE(SaveMacroFile(folder_.path(), "g", "New", events));
  EXPECT_EQ(LoadMacroEvents(folder_.path(), "g"), expected);
  const Json::Value stored = Stored("g.mac");
  EXPECT_EQ(stored.getMemberNames(), (std::vector<std::string>{"Events", "Guid", "MacroName", "Version"}));
  EXPECT_EQ(stored["MacroName"], "New");
  EXPECT_EQ(stored["Guid"], "g");
  EXPECT_EQ(stored["Version"], 64);
  for (const char* delay : {"0", "50", "65536"}) {
    SCOPED_TRACE(delay);
    EXPECT_TRUE(std::ranges::any_of(stored["Events"], [&](const Json::Value& e) { return e["Delay"] == delay; }));
  }
}

TEST_F(MacroFiles, AnUnusableFileIsAMacroWithoutEvents) {
  const struct {
    const char* text;
    std::size_t events;
  } cases[] = {
      {"", 0},
      {"{\"Events\": [", 0},
      {"[]", 0},
      {R"({"Events": "text"})", 0},
      {R"({"Events": {"a": {"Type": 10, "Button": 4}}})", 0},
      {R"({"Events": [null, 5, "x", [], {"Type": 10, "Button": 4}]})", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Write("g.mac", c.text);
    EXPECT_EQ(LoadMacroEvents(folder_.path(), "g").size(), c.events);
  }
  EXPECT_TRUE(LoadMacroEvents(folder_.path(), "missing").empty());
}

TEST_F(MacroFiles, AGuidThatCannotNameAFileOfTheFolderIsRefused) {
  const std::filesystem::path inside = folder_.path() / "inside";
  std::filesystem::create_directory(inside);
  Write("outside.mac", R"({"Events": [{"Type": 10, "Button": 4}]})");
  for (const char* guid : {"", "../outside", "/tmp/outside", "a\\b", "sub/x"}) {
    SCOPED_TRACE(guid);
    EXPECT_FALSE(MacroFilePath(inside, guid));
    EXPECT_TRUE(LoadMacroEvents(inside, guid).empty());
    EXPECT_FALSE(SaveMacroFile(inside, guid, "m", {}));
  }
  EXPECT_FALSE(MacroFilePath(inside, std::string_view("a\0b", 3)));
  EXPECT_EQ(MacroFilePath(inside, ".."), inside / "...mac");  // a plain file name
  EXPECT_TRUE(std::filesystem::is_empty(inside));
}

TEST_F(MacroFiles, AFailedSaveIsReported) {
  std::filesystem::create_directory(folder_.path() / "g.mac");
  EXPECT_FALSE(SaveMacroFile(folder_.path(), "g", "m", {}));
  EXPECT_FALSE(SaveMacroFile(folder_.path() / "no folder", "g", "m", {}));
}

TEST_F(MacroFiles, TheIndexListsNamesAndGuidsInMacroIndexOrder) {
  MacroIndex index;
  EXPECT_EQ(index.Count(), 0u);
  index.Append("macro_1", "2024_03_07_14_05_09_042");
  index.Append("Combo", "2024_03_07_14_05_09_043");
  index.Append("Last", "2024_03_07_14_05_09_044");
  index.Rename(1, "Combo two");
  index.Rename(7, "ignored");
  ASSERT_TRUE(index.Write(folder_.path()));

  const Json::Value stored = Stored("macro.config");
  EXPECT_EQ(stored.getMemberNames(), std::vector<std::string>{"MacroInfo"});
  EXPECT_EQ(stored["MacroInfo"][1].getMemberNames(), (std::vector<std::string>{"Guid", "MacroName"}));

  MacroIndex read = MacroIndex::Read(folder_.path());
  EXPECT_EQ(read.Count(), 3u);
  EXPECT_EQ(read.Name(1), "Combo two");
  read.Remove(0);
  read.Remove(9);
  EXPECT_EQ(read.Count(), 2u);
  EXPECT_EQ(read.Name(0), "Combo two");
  EXPECT_EQ(read.Guid(1), "2024_03_07_14_05_09_044");
  EXPECT_EQ(read.Name(2), "");
  EXPECT_EQ(read.Guid(2), "");
}

TEST_F(MacroFiles, AnUnusableIndexHoldsNoMacrosAndTakesNewOnes) {
  for (const char* text :
       {"", "{\"MacroInfo\": [", "[1, 2]", "\"x\"", R"({"MacroInfo": {"0": {}}})", R"({"MacroInfo": 5, "Other": 1})"}) {
    SCOPED_TRACE(text);
    Write("macro.config", text);
    MacroIndex index = MacroIndex::Read(folder_.path());
    EXPECT_EQ(index.Count(), 0u);
    EXPECT_EQ(index.NewMacroName(), "macro_1");
    index.Append("macro_1", "g1");
    ASSERT_TRUE(index.Write(folder_.path()));
    EXPECT_EQ(MacroIndex::Read(folder_.path()).Guid(0), "g1");
  }
}

TEST_F(MacroFiles, EntriesWithUnusableGuidsKeepTheirPlaceButNameNoFile) {
  Write("macro.config", R"({"MacroInfo": [
      {"MacroName": "a", "Guid": "g1"},
      {"MacroName": "b", "Guid": "../../etc/passwd"},
      {"MacroName": 7, "Guid": 12},
      "not an entry",
      {"MacroName": "e", "Guid": "g1"},
      {"MacroName": "f", "Guid": "g6"}]})");
  const MacroIndex index = MacroIndex::Read(folder_.path());
  ASSERT_EQ(index.Count(), 6u);
  const char* guids[] = {"g1", "", "", "", "", "g6"};
  const char* names[] = {"a", "b", "", "", "e", "f"};
  for (std::size_t i = 0; i < index.Count(); ++i) {
    EXPECT_EQ(index.Guid(i), guids[i]) << "entry " << i;
    EXPECT_EQ(index.Name(i), names[i]) << "entry " << i;
  }
}

TEST_F(MacroFiles, NewNamesSkipEveryNameTakenInAnyCase) {
  const struct {
    std::vector<const char*> names;
    const char* stem;
    const char* new_name;
    const char* import_name;
  } cases[] = {
      {{}, "Combo", "macro_1", "Combo"},
      {{"macro_1", "MACRO_2"}, "Combo", "macro_3", "Combo"},
      {{"Macro_2"}, "combo", "macro_1", "combo"},
      {{"combo", "COMBO_1"}, "Combo", "macro_1", "Combo_1_2"},
      {{"Combo", "Combo_2"}, "Combo", "macro_1", "Combo_1"},
      {{"macro_1"}, " ", "macro_2", "macro_2"},
      {{}, "", "macro_1", "macro_1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stem);
    MacroIndex index;
    for (const char* name : c.names) index.Append(name, name);
    EXPECT_EQ(index.NewMacroName(), c.new_name);
    EXPECT_EQ(index.ImportName(c.stem), c.import_name);
  }
}

TEST_F(MacroFiles, NameLookupCanLeaveOneEntryOut) {
  MacroIndex index;
  index.Append("Jump", "g1");
  EXPECT_TRUE(index.HasName("JUMP"));
  EXPECT_FALSE(index.HasName("JUMP", 0));
  EXPECT_TRUE(index.HasGuid("g1"));
  EXPECT_FALSE(index.HasGuid("G1"));
}

}  // namespace
}  // namespace brontal
