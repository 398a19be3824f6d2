// The shoot files of a device folder: shots read and stored, the factory
// copies, and what an import takes.
#include "macros/shoot_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "macros/shoot_image.h"
#include "profiles/data_folders.h"
#include "profiles/json_document.h"

namespace brontal {
namespace {

namespace fs = std::filesystem;
using Events = std::vector<MacroEvent>;
using namespace macro_event_type;

std::string Text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

// A document of `events` downward pulls, with a member of its own and delays as text.
std::string PatternText(std::size_t events) {
  std::string text = R"({"Name": "mine", "Events": [)";
  for (std::size_t i = 0; i < events; ++i)
    text += std::string(i ? "," : "") + R"({"Action": "up", "Button": 2, "Delay": "7", "Type": 5})";
  return text + "]}";
}

class ShootFilesTest : public ::testing::Test {
 protected:
  ShootFilesTest() {
    for (std::size_t gun = 0; gun < 3; ++gun) Write(factory_.path() / ShootFileName(gun), Factory(gun));
  }
  static std::string Factory(std::size_t gun) {
    return R"({"Events": [{"Action": "down", "Button": 1, "Delay": )" + std::to_string(gun) + R"(, "Type": 1}]})";
  }
  Json::Value Document(std::size_t gun) { return ReadJsonDocument(files_.Path(gun)); }

  test::TemporaryFolder folder_{"brontal_shoot"};
  test::TemporaryFolder factory_{"brontal_shoot_factory"};
  ShootFiles files_{folder_.path(), factory_.path()};
};

TEST_F(ShootFilesTest, AStoredShotIsSixEventsWithNumericDelaysAndReadsBack) {
  const Shot shot = {.x = 3, .left = true, .y = 7, .up = false, .pause = 30};
  ASSERT_TRUE(files_.StoreShot(1, 0, shot));
  EXPECT_EQ(files_.Path(1).filename(), "ShootData_1.Shoot");
  EXPECT_EQ(MacroEventsOf(Document(1)), (Events{{kMouseButton, 0x01, true, 10},
                                                {kMouseButton, 0x01, false, 0},
                                                {kHorizontalMove, 3, true, 5},
                                                {kVerticalMove, 7, false, 30},
                                                {kHorizontalMove, 0, true, 0},
                                                {kVerticalMove, 0, false, 0}}));
  for (const Json::Value& event : Document(1)["Events"]) EXPECT_TRUE(event["Delay"].isInt()) << event;
  EXPECT_EQ(files_.ReadShot(1, 0), shot);
  EXPECT_EQ(files_.ReadShot(0, 0), Shot{});  // the other guns' files stay as they were
  EXPECT_FALSE(fs::exists(files_.Path(0)));
}

TEST_F(ShootFilesTest, AShortPatternIsFilledWithZeroShotsAndKeepsWhatItHeld) {
  // Shot 0 and two events of shot 1.
  Write(files_.Path(0), PatternText(8));
  const Json::Value before = Document(0);
  const Shot stored = {.x = 9, .left = false, .y = 4, .up = true, .pause = 70};
  ASSERT_TRUE(files_.StoreShot(0, 3, stored));

  const Json::Value after = Document(0);
  EXPECT_EQ(after["Name"], "mine");
  ASSERT_EQ(after["Events"].size(), 24U);
  for (Json::ArrayIndex i = 0; i < 8; ++i) EXPECT_EQ(after["Events"][i], before["Events"][i]) << i;
  const auto zero = ShotEvents({});
  for (std::size_t at = 8; at < 18; ++at)
    EXPECT_EQ(MacroEventFromJson(after["Events"][static_cast<Json::ArrayIndex>(at)]), zero[at % kShotEvents]) << at;
  EXPECT_EQ(files_.ReadShot(0, 2), Shot{});
  EXPECT_EQ(files_.ReadShot(0, 3), stored);
  // Past the panel's shots nothing is written.
  EXPECT_FALSE(files_.StoreShot(0, kShotCount, stored));
  EXPECT_EQ(Document(0)["Events"].size(), 24U);
}

TEST_F(ShootFilesTest, WhatHoldsNoShotReadsAsZeros) {
  for (const char* text : {"", "not json", "[1, 2]", "{}", R"({"Events": 5})", R"({"Events": [{}, {}, {}]})"}) {
    SCOPED_TRACE(text);
    Write(files_.Path(2), text);
    EXPECT_EQ(files_.ReadShot(2, 0), Shot{});
  }
  fs::remove(files_.Path(2));
  EXPECT_EQ(files_.ReadShot(2, 29), Shot{});
}

TEST_F(ShootFilesTest, SetUpCopiesTheFactoryFileForEachGunWithoutJson) {
  Write(files_.Path(1), "{ broken");
  Write(files_.Path(2), R"({"Events": []})");
  files_.SetUp();
  EXPECT_EQ(Text(files_.Path(0)), Factory(0));  // missing
  EXPECT_EQ(Text(files_.Path(1)), Factory(1));  // not JSON: replaced, the old text kept aside
  EXPECT_EQ(Text(files_.Path(2)), R"({"Events": []})");
  EXPECT_FALSE(fs::exists(files_.Path(3)));  // no factory copy
  std::vector<std::string> kept;
  for (const auto& entry : fs::directory_iterator(folder_.path()))
    if (entry.path().filename().string().starts_with("ShootData_1.Shoot.unreadable")) kept.push_back(Text(entry));
  EXPECT_EQ(kept, std::vector<std::string>{"{ broken"});
}

TEST_F(ShootFilesTest, ResetTakesTheFactoryCopyWhenThereIsOne) {
  ASSERT_TRUE(files_.StoreShot(1, 0, {.x = 1}));
  ASSERT_TRUE(files_.StoreShot(3, 0, {.x = 1}));
  const std::string own = Text(files_.Path(3));
  EXPECT_TRUE(files_.Reset(1));
  EXPECT_EQ(Text(files_.Path(1)), Factory(1));
  EXPECT_FALSE(files_.Reset(3));
  EXPECT_EQ(Text(files_.Path(3)), own);
}

TEST_F(ShootFilesTest, ImportRefusesWhatIsNotAPatternAndLeavesTheGunsFile) {
  const test::TemporaryFolder outside("brontal_shoot_import");
  const auto event = [](const std::string& members) { return R"({"Events": [)" + members + "]}"; };
  const std::string valid = R"("Action": "down", "Button": 4, "Type": 10)";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"not JSON", "{\"Events\": ["},
      {"an array", "[]"},
      {"no Events", R"({"Guid": "x"})"},
      {"Events not a list", R"({"Events": {"0": {}}})"},
      {"an element not an object", event("5")},
      {"an invalid event after a valid one", event("{" + valid + R"(, "Delay": 0}, {)" + valid + "}")},
      {"larger than 1 MiB", PatternText(1) + std::string(kLargestShootImport, ' ')},
  };
  ASSERT_TRUE(files_.StoreShot(0, 0, {.x = 5}));
  const std::string own = Text(files_.Path(0));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write(outside.path() / "in.shoot", c.text);
    const ShootImport import = files_.Import(0, outside.path() / "in.shoot", kLargestShootImage);
    EXPECT_FALSE(import.imported);
    EXPECT_FALSE(import.problem.empty());
    EXPECT_EQ(Text(files_.Path(0)), own);
  }
  EXPECT_FALSE(files_.Import(0, outside.path(), kLargestShootImage).imported);  // a folder
}

TEST_F(ShootFilesTest, ImportCopiesTheTextOrCutsThePatternToTheMemory) {
  const test::TemporaryFolder outside("brontal_shoot_import");
  const fs::path source = outside.path() / "in.shoot";
  // Comments and the "Delay" text of other writers are taken as they are.
  const std::string fits = "// mine\n" + PatternText(119) + "\n";
  Write(source, fits);
  ShootImport import = files_.Import(2, source, 2048);  // 120 events a gun
  EXPECT_TRUE(import.imported);
  EXPECT_EQ(import.left_out, 0U);
  EXPECT_EQ(Text(files_.Path(2)), fits);

  Write(source, PatternText(180));
  import = files_.Import(2, source, 2048);
  EXPECT_TRUE(import.imported);
  EXPECT_EQ(import.left_out, 60U);
  EXPECT_EQ(Document(2)["Events"].size(), 120U);
  EXPECT_EQ(Document(2)["Name"], "mine");

  // Memory for no pattern at all: nothing is imported but an empty one.
  import = files_.Import(2, source, 0);
  EXPECT_FALSE(import.imported);
  EXPECT_EQ(Document(2)["Events"].size(), 120U);
  Write(source, PatternText(0));
  EXPECT_TRUE(files_.Import(2, source, 0).imported);
}

TEST_F(ShootFilesTest, ExportCopiesTheGunsFile) {
  const test::TemporaryFolder outside("brontal_shoot_export");
  EXPECT_FALSE(files_.Export(1, outside.path() / "out.shoot"));  // nothing to copy yet
  files_.SetUp();
  ASSERT_TRUE(files_.Export(1, outside.path() / "out.shoot"));
  EXPECT_EQ(Text(outside.path() / "out.shoot"), Factory(1));
}

TEST(FactoryShootFiles, AreThirtyWholeShotsOfSmallPullsThatTogetherTake2920Bytes) {
  const test::TemporaryFolder folder("brontal_shoot_factory");
  const ShootFiles files(folder.path(), DefaultDataFolder());
  files.SetUp();
  const ShootPatterns patterns = files.Patterns();
  for (std::size_t gun = 0; gun < kGunCount; ++gun) {
    ASSERT_EQ(patterns[gun].size(), kShotCount * kShotEvents) << gun;
    for (std::size_t b = 0; b < kShotCount; ++b) {
      SCOPED_TRACE("gun " + std::to_string(gun) + " shot " + std::to_string(b));
      const Shot shot = files.ReadShot(gun, b);
      const auto expected = ShotEvents(shot);
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), patterns[gun].begin() + b * kShotEvents));
      EXPECT_LE(shot.x, 3);
      EXPECT_FALSE(shot.up);
      EXPECT_GE(shot.y, 2);
      EXPECT_LE(shot.y, 8);
      EXPECT_GE(shot.pause, 60);
      EXPECT_LE(shot.pause, 120);
    }
  }
  const ShootImageBuild image = BuildShootImage(patterns);
  ASSERT_TRUE(std::holds_alternative<std::vector<std::uint8_t>>(image));
  EXPECT_EQ(std::get<std::vector<std::uint8_t>>(image).size(), 2920U);
}

}  // namespace
}  // namespace brontal
