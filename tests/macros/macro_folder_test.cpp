// Adding, importing and removing macros keeps every index entry backed by its
// file, also when a write fails.
#include "macros/macro_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "profiles/json_document.h"
#include "profiles/profile_list_file.h"

namespace brontal {
namespace {

using std::chrono::system_clock;

class MacroFolderTest : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::filesystem::path& path, std::string_view text) const {
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  // The index file turned into a folder: every write of it fails.
  void BreakIndex() const {
    std::filesystem::remove(folder_.path() / kMacroIndexFileName);
    std::filesystem::create_directory(folder_.path() / kMacroIndexFileName);
  }

  test::TemporaryFolder folder_{"brontal_macros"};
  test::TemporaryFolder elsewhere_{"brontal_import"};
  MacroFolder macros_{folder_.path()};
  const system_clock::time_point now_ = system_clock::now();
};

TEST_F(MacroFolderTest, AddedMacrosAreListedWithAnEmptyFileAndDistinctGuids) {
  ASSERT_EQ(macros_.Add(now_), 0u);
  ASSERT_EQ(macros_.Add(now_), 1u);  // the same millisecond
  const MacroIndex index = macros_.Index();
  ASSERT_EQ(index.Count(), 2u);
  EXPECT_EQ(index.Name(0), "macro_1");
  EXPECT_EQ(index.Name(1), "macro_2");
  EXPECT_EQ(index.Guid(0), FormatProfileIdentifier(now_));
  EXPECT_NE(index.Guid(1), index.Guid(0));
  for (std::size_t i = 0; i < 2; ++i) {
    const Json::Value file = ReadJsonDocument(*MacroFilePath(folder_.path(), index.Guid(i)));
    EXPECT_EQ(file["MacroName"], index.Name(i));
    EXPECT_EQ(file["Guid"], index.Guid(i));
    EXPECT_EQ(file["Events"], Json::Value(Json::arrayValue));
    EXPECT_EQ(file["Version"], kMacroFileVersion);
  }
}

TEST_F(MacroFolderTest, AGuidIsNotReusedWhileAnUnlistedFileHasIt) {
  Write(*MacroFilePath(folder_.path(), FormatProfileIdentifier(now_)), "{\"Events\": [{\"Type\": 10}]}");
  ASSERT_EQ(macros_.Add(now_), 0u);
  EXPECT_NE(macros_.Index().Guid(0), FormatProfileIdentifier(now_));
  EXPECT_TRUE(LoadMacroEvents(folder_.path(), macros_.Index().Guid(0)).empty());
}

TEST_F(MacroFolderTest, ImportCopiesTheFileTextAndNamesTheMacroAfterIt) {
  const std::string text =
      "{ \"Events\" : [ { \"Type\" : 10, \"Button\" : 4, \"Delay\" : 0 } ], "
      "\"MacroName\" : \"Theirs\", \"Guid\" : \"theirs\" }";
  const std::filesystem::path source = Write(elsewhere_.path() / "Combo.mac", text);
  ASSERT_EQ(macros_.Import(source, now_).index, 0u);
  ASSERT_EQ(macros_.Import(source, now_).index, 1u);
  const MacroIndex index = macros_.Index();
  EXPECT_EQ(index.Name(0), "Combo");
  EXPECT_EQ(index.Name(1), "Combo_1");
  std::ifstream copy(*MacroFilePath(folder_.path(), index.Guid(1)), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), text);
  EXPECT_EQ(LoadMacroEvents(folder_.path(), index.Guid(1)).size(), 1u);
}

TEST_F(MacroFolderTest, NothingIsListedWithoutItsFile) {
  const std::filesystem::path empty = Write(elsewhere_.path() / "empty.mac", "");
  EXPECT_EQ(macros_.Import(elsewhere_.path() / "missing.mac", now_).index, std::nullopt);
  EXPECT_EQ(macros_.Import(empty, now_).index, std::nullopt);
  EXPECT_EQ(macros_.Import(elsewhere_.path(), now_).index, std::nullopt);
  EXPECT_TRUE(Names().empty());

  const MacroFolder unwritable(folder_.path() / "no folder");
  EXPECT_EQ(unwritable.Add(now_), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(unwritable.Path()));
}

TEST_F(MacroFolderTest, AFailedIndexWriteTakesTheNewFileBackAndReportsIt) {
  BreakIndex();
  const std::filesystem::path source = Write(elsewhere_.path() / "Combo.mac", "{}");
  EXPECT_EQ(macros_.Add(now_), std::nullopt);
  EXPECT_EQ(macros_.Import(source, now_).index, std::nullopt);
  EXPECT_EQ(Names(), std::set<std::string>{std::string(kMacroIndexFileName)});
}

TEST_F(MacroFolderTest, RemoveDropsTheEntryAndItsFileAndMovesLaterMacrosDown) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(macros_.Add(now_));
  const MacroIndex before = macros_.Index();
  EXPECT_FALSE(macros_.Remove(3));
  ASSERT_TRUE(macros_.Remove(1));
  const MacroIndex after = macros_.Index();
  ASSERT_EQ(after.Count(), 2u);
  EXPECT_EQ(after.Name(1), "macro_3");
  EXPECT_EQ(after.Guid(1), before.Guid(2));
  EXPECT_FALSE(std::filesystem::exists(*MacroFilePath(folder_.path(), before.Guid(1))));
  EXPECT_TRUE(std::filesystem::exists(*MacroFilePath(folder_.path(), before.Guid(2))));
}

TEST_F(MacroFolderTest, AFailedRemovalKeepsTheMacroWithItsEvents) {
  ASSERT_TRUE(macros_.Add(now_));
  const std::string guid = macros_.Index().Guid(0);
  ASSERT_TRUE(SaveMacroFile(folder_.path(), guid, "macro_1", std::vector<MacroEvent>{{10, 4, true, 5}}));
  const Json::Value index = ReadJsonDocument(folder_.path() / kMacroIndexFileName);
  BreakIndex();
  EXPECT_FALSE(macros_.Remove(0));
  EXPECT_EQ(LoadMacroEvents(folder_.path(), guid).size(), 1u);
  std::filesystem::remove(folder_.path() / kMacroIndexFileName);
  ASSERT_TRUE(WriteJsonDocument(folder_.path() / kMacroIndexFileName, index));
  EXPECT_EQ(macros_.Index().Guid(0), guid);
}

TEST_F(MacroFolderTest, RemovingAnEntryThatSharesAGuidLeavesTheOtherMacrosFile) {
  Write(folder_.path() / kMacroIndexFileName,
        R"({"MacroInfo": [{"MacroName": "a", "Guid": "g"}, {"MacroName": "b", "Guid": "g"},
                          {"MacroName": "c", "Guid": "../g"}]})");
  Write(folder_.path() / "g.mac", "{}");
  Write(elsewhere_.path() / "g.mac", "{}");
  ASSERT_TRUE(macros_.Remove(2));
  ASSERT_TRUE(macros_.Remove(1));
  EXPECT_TRUE(std::filesystem::exists(folder_.path() / "g.mac"));
  EXPECT_TRUE(std::filesystem::exists(elsewhere_.path() / "g.mac"));
  EXPECT_EQ(macros_.Index().Count(), 1u);
}

TEST_F(MacroFolderTest, NoMoreThanTheLimit) {
  for (std::size_t i = 0; i < kMacroLimit; ++i) ASSERT_EQ(macros_.Add(now_), i);
  const std::filesystem::path source = Write(elsewhere_.path() / "Combo.mac", "{}");
  EXPECT_EQ(macros_.Add(now_), std::nullopt);
  EXPECT_EQ(macros_.Import(source, now_).index, std::nullopt);
  EXPECT_EQ(Names().size(), kMacroLimit + 1);
}

TEST_F(MacroFolderTest, RenameRefusesBlankAndTakenNamesInEitherCase) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(macros_.Add(now_));
  ASSERT_EQ(macros_.Rename(2, "Combo"), MacroRename::kRenamed);
  struct Case {
    std::size_t index;
    std::string_view name;
    MacroRename result;
    std::string_view stored;  // the name of macro `index` afterwards
  };
  const Case cases[] = {
      {1, "MACRO_2", MacroRename::kNameTaken, "macro_2"},  // its own name counts too
      {1, "combo", MacroRename::kNameTaken, "macro_2"},   {1, " \t ", MacroRename::kBlankName, "macro_2"},
      {1, "  Fire  ", MacroRename::kRenamed, "Fire"},     {0, "fire ", MacroRename::kNameTaken, "macro_1"},
      {3, "Spare", MacroRename::kNoSuchMacro, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(macros_.Rename(c.index, c.name), c.result) << c.name;
    EXPECT_EQ(macros_.Index().Name(c.index), c.stored) << c.name;
  }
  // The file keeps the name it was saved under.
  EXPECT_EQ(ReadJsonDocument(*MacroFilePath(folder_.path(), macros_.Index().Guid(1)))["MacroName"], "macro_2");
}

TEST_F(MacroFolderTest, ExportCopiesTheFileTextUnchanged) {
  const std::string text = "{ \"Events\" : [ { \"Type\" : 10, \"Button\" : 4 } ], \"Guid\" : \"theirs\" }";
  ASSERT_EQ(macros_.Import(Write(elsewhere_.path() / "Combo.mac", text), now_).index, 0u);
  ASSERT_TRUE(macros_.Export(0, elsewhere_.path() / "copy"));
  std::ifstream copy(elsewhere_.path() / "copy", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}), text);

  EXPECT_FALSE(macros_.Export(1, elsewhere_.path() / "none"));
  EXPECT_FALSE(macros_.Export(0, elsewhere_.path() / "no folder" / "copy"));
  EXPECT_FALSE(std::filesystem::exists(elsewhere_.path() / "none"));
}

// A file of `events` events, padded with blanks to `bytes` when that is more.
std::string MacroText(std::size_t events, std::size_t bytes = 0) {
  std::string text = R"({"Events": [)";
  for (std::size_t i = 0; i < events; ++i)
    text += std::string(i ? "," : "") + R"({"Type": 10, "Button": 4, "Action": "down", "Delay": "1"})";
  text += "]}";
  if (text.size() < bytes) text.insert(text.size() - 1, bytes - text.size(), ' ');
  return text;
}

TEST_F(MacroFolderTest, ImportRefusesFilesBeyondTheEventAndSizeLimits) {
  struct Case {
    std::string_view what;
    std::string text;
    std::string_view problem;  // empty: imported
  };
  const Case cases[] = {
      {"the most events", MacroText(kMacroEventLimit), ""},
      {"one event more", MacroText(kMacroEventLimit + 1), "holds 4001 events; a macro takes at most 4000"},
      {"the largest file", MacroText(1, kLargestMacroImport), ""},
      {"one byte more", MacroText(1, kLargestMacroImport + 1), "is larger than 1048576 bytes"},
  };
  for (const Case& c : cases) {
    const std::size_t before = macros_.Index().Count();
    const MacroImport imported = macros_.Import(Write(elsewhere_.path() / "Combo.mac", c.text), now_);
    EXPECT_EQ(imported.problem, c.problem) << c.what;
    EXPECT_EQ(imported.index.has_value(), c.problem.empty()) << c.what;
    EXPECT_EQ(macros_.Index().Count(), before + (c.problem.empty() ? 1 : 0)) << c.what;
  }
  EXPECT_EQ(Names().size(), 3u);  // the index and the two imported files
}

TEST_F(MacroFolderTest, AMacroOfTheMostEventsComesBackThroughExportAndImport) {
  ASSERT_EQ(macros_.Add(now_), 0u);
  const std::vector<MacroEvent> events(kMacroEventLimit, MacroEvent{10, 0x04, true, 65535});
  ASSERT_TRUE(SaveMacroFile(folder_.path(), macros_.Index().Guid(0), "macro_1", events));
  ASSERT_TRUE(macros_.Export(0, elsewhere_.path() / "Long.mac"));
  const MacroImport imported = macros_.Import(elsewhere_.path() / "Long.mac", now_);
  ASSERT_EQ(imported.index, 1u) << imported.problem;
  EXPECT_EQ(LoadMacroEvents(folder_.path(), macros_.Index().Guid(1)), events);
}

}  // namespace
}  // namespace brontal
