#include "profiles/colour_options.h"

#include <gtest/gtest.h>

#include "profiles/json_document.h"
#include "profiles/scratch_folder.h"

namespace brontal {
namespace {

using testing::ScratchFolder;

constexpr const char* kFactory = R"({
  "coloroptioninfo" : {
    "palletDialogcoloroption" : [ { "color" : "FF00FF80" }, {}, { "color" : "not hex" } ],
    "palletDialogcoloroption_selectitem" : 2,
    "palletDialogcollectcoloroption" : [ { "color" : "FF123456", "UserData" : "1" }, { "color" : "FFFFFFFF", "UserData" : "" } ],
    "palletDialogcollectcoloroption_selectitem" : 0
  }
})";

TEST(ColourOptions, ColourTextIsHexadecimalOfThirtyTwoBits) {
  const struct {
    const char* text;
    std::optional<std::uint32_t> value;
  } cases[] = {
      {"FF00FF80", 0xFF00FF80}, {"ff00ff80", 0xFF00FF80}, {"80", 0x80},         {"FFFFFFFF", 0xFFFFFFFF},
      {"1FFFFFFFF", std::nullopt}, {"", std::nullopt},    {"0x80", std::nullopt}, {"-1", std::nullopt},
      {" 80", std::nullopt},    {"80 ", std::nullopt},    {"GG", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseColourText(c.text), c.value);
  }
  EXPECT_EQ(FormatColourText(0xFF00FF80), "FF00FF80");
  EXPECT_EQ(FormatColourText(0x80), "00000080");
}

TEST(ColourOptions, AFirstStartTakesTheFactoryCopyAndStoresIt) {
  ScratchFolder folder;
  folder.Write("factory/color_option_info.config", kFactory);
  const ColourOptions options = LoadColourOptions(folder.Folders());
  EXPECT_EQ(options.fixed[0], 0xFF00FF80u);
  EXPECT_EQ(options.fixed[1], std::nullopt);  // no colour: the skin's stays
  EXPECT_EQ(options.fixed[2], std::nullopt);
  EXPECT_EQ(options.fixed[19], std::nullopt);
  EXPECT_EQ(options.fixed_selected, 2);
  EXPECT_EQ(options.collected[0], (CollectedSwatch{0xFF123456, true}));
  EXPECT_EQ(options.collected[1], (CollectedSwatch{0xFFFFFFFF, false}));
  EXPECT_EQ(options.collected_selected, 0);
  EXPECT_EQ(ReadJsonDocument(folder / "user" / "color_option_info.config"),
            ReadJsonDocument(folder / "factory" / "color_option_info.config"));
}

TEST(ColourOptions, AnUnusableUserFileIsReplacedByTheFactoryCopy) {
  for (const char* user : {"", "{ \"coloroptioninfo\" : ", "[1, 2]", "\"text\""}) {
    SCOPED_TRACE(user);
    ScratchFolder folder;
    folder.Write("factory/color_option_info.config", kFactory);
    folder.Write("user/color_option_info.config", user);
    EXPECT_EQ(LoadColourOptions(folder.Folders()).fixed[0], 0xFF00FF80u);
    EXPECT_TRUE(ReadJsonDocument(folder / "user" / "color_option_info.config").isObject());
  }
}

TEST(ColourOptions, NothingUsableAnywhereGivesNoColoursAndWritesNothing) {
  ScratchFolder folder;
  folder.Write("factory/color_option_info.config", "corrupt");
  EXPECT_EQ(LoadColourOptions(folder.Folders()), ColourOptions{});
  EXPECT_FALSE(folder.Exists("user/color_option_info.config"));
}

TEST(ColourOptions, SavedOptionsReadBackAndForeignMembersStay) {
  ScratchFolder folder;
  folder.Write("user/color_option_info.config", R"({ "other" : 1, "coloroptioninfo" : { "mine" : 2 } })");
  ColourOptions options;
  options.fixed[3] = 0xFF0000FF;
  options.fixed_selected = 3;
  options.collected[19] = {0xFFABCDEF, true};
  options.collected_selected = 19;
  ASSERT_TRUE(SaveColourOptions(options, folder.Folders()));
  EXPECT_EQ(LoadColourOptions(folder.Folders()), options);
  const Json::Value stored = ReadJsonDocument(folder / "user" / "color_option_info.config");
  EXPECT_EQ(stored["other"].asInt(), 1);
  EXPECT_EQ(stored["coloroptioninfo"]["mine"].asInt(), 2);
  EXPECT_EQ(stored["coloroptioninfo"]["palletDialogcoloroption"][3]["color"].asString(), "FF0000FF");
  EXPECT_EQ(stored["coloroptioninfo"]["palletDialogcollectcoloroption"][19]["UserData"].asString(), "1");
}

}  // namespace
}  // namespace brontal
