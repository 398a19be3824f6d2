// The update-check date, the language list and choice, and main.ini.
#include <gtest/gtest.h>

#include "profiles/json_document.h"
#include "profiles/language_settings.h"
#include "profiles/scratch_folder.h"
#include "profiles/skin_image_setting.h"
#include "profiles/update_check_date.h"

namespace brontal {
namespace {

using testing::ScratchFolder;
using namespace std::chrono;

TEST(UpdateCheckDate, WrittenWithoutLeadingZerosAndReadBack) {
  ScratchFolder folder;
  EXPECT_EQ(ReadUpdateCheckDate(folder.Folders()), "");
  ASSERT_TRUE(WriteUpdateCheckDate(2019y / May / 7d, folder.Folders()));
  EXPECT_EQ(ReadJsonDocument(folder / "user" / "updatetime.config")["updatelasttime"]["value"].asString(), "2019-5-7");
  EXPECT_EQ(ReadUpdateCheckDate(folder.Folders()), "2019-5-7");
  folder.Write("user/updatetime.config", R"({ "updatelasttime" : [ "2019-5-7" ] })");
  EXPECT_EQ(ReadUpdateCheckDate(folder.Folders()), "");
}

TEST(LanguageSettings, TheListComesFromTheDefaultDataInItsOrder) {
  ScratchFolder folder;
  EXPECT_TRUE(ReadLanguageList(folder.Folders()).empty());
  folder.Write("factory/Language.config", R"({ "Language" : [
      { "Language_name" : "English", "Language_file" : "lang/en.xml", "Language_text" : "English", "Language_ID" : 1033 },
      "not an entry",
      { "Language_name" : "简体中文", "Language_ID" : "2052" } ] })");
  const std::vector<LanguageEntry> list = ReadLanguageList(folder.Folders());
  ASSERT_EQ(list.size(), 3u);  // positions are what the settings window selects by
  EXPECT_EQ(list[0], (LanguageEntry{"English", "lang/en.xml", "English", 1033}));
  EXPECT_EQ(list[1], LanguageEntry{});
  EXPECT_EQ(list[2], (LanguageEntry{"简体中文", "", "", 0}));
}

TEST(LanguageSettings, TheChoiceIsAPerUserValue) {
  ScratchFolder folder;
  EXPECT_EQ(ReadLanguageChoice(folder.Folders()), std::nullopt);
  ASSERT_TRUE(WriteLanguageChoice(2052, folder.Folders()));
  EXPECT_EQ(ReadLanguageChoice(folder.Folders()), 2052u);
  EXPECT_EQ(folder.Read("config/settings.ini"), "LANGUAGE=2052\n");
  ASSERT_TRUE(WriteLanguageChoice(1033, folder.Folders()));
  EXPECT_EQ(ReadLanguageChoice(folder.Folders()), 1033u);

  for (const char* store : {"LANGUAGE=\n", "LANGUAGE=abc\n", "LANGUAGE=-1\n", "LANGUAGE=4294967296\n", "\x01\xFF"}) {
    SCOPED_TRACE(store);
    folder.Write("config/settings.ini", store);
    EXPECT_EQ(ReadLanguageChoice(folder.Folders()), std::nullopt);
  }
  folder.Write("config/settings.ini", "OTHER=5\nlanguage = 2052\n");
  EXPECT_EQ(ReadLanguageChoice(folder.Folders()), 2052u);
  ASSERT_TRUE(WriteLanguageChoice(7, folder.Folders()));
  EXPECT_EQ(folder.Read("config/settings.ini"), "OTHER=5\nlanguage=7\n");
}

TEST(LanguageSettings, TheStartLanguageIsTheChoiceElseTheDesktopsElseTheFirst) {
  const std::vector<LanguageEntry> list = {{"简体中文", "lang/zh_CN.xml", "", 2052},
                                           {"繁體中文", "lang/zh_TW.xml", "", 1028},
                                           {"English", "lang/en.xml", "", 1033},
                                           {"Broken", "", "", 7}};
  struct Case {
    std::optional<std::uint32_t> chosen;
    std::string_view locale;
    int expected;
  };
  const Case cases[] = {
      {2052, "en_US.UTF-8", 0},  // a stored choice wins over the desktop
      {1033, "zh_CN.UTF-8", 2},
      {7, "zh_CN", 3},                   // even an entry without a file
      {9999, "zh_TW.UTF-8", 1},          // a choice no longer listed: the desktop's
      {std::nullopt, "zh_TW.Big5", 1},   // the exact region before another of the language
      {std::nullopt, "zh_HK.UTF-8", 0},  // no such region: the language's first
      {std::nullopt, "en_GB.UTF-8@euro", 2},
      {std::nullopt, "C.UTF-8", 2},  // the C locale speaks English
      {std::nullopt, "POSIX", 2},
      {std::nullopt, "", 2},
      {std::nullopt, "de_DE.UTF-8", 0},  // not listed: the first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " chosen " + (c.chosen ? std::to_string(*c.chosen) : "none"));
    EXPECT_EQ(StartLanguageIndex(list, c.chosen, c.locale), c.expected);
  }
  EXPECT_EQ(StartLanguageIndex({}, 2052, "zh_CN"), 0);
}

TEST(SkinImageSetting, ImageChoicesAreKeptInMainIni) {
  ScratchFolder folder;
  EXPECT_EQ(ReadSkinImage(folder.Folders()), std::nullopt);
  ASSERT_TRUE(WriteSkinImage({true, "common/skin3.png"}, folder.Folders()));
  EXPECT_EQ(folder.Read("user/main.ini"), "[SKINIMAGE]\nFLAGS=1\nIMAGE=common/skin3.png\n");
  ASSERT_TRUE(WriteSkinImage({false, "common/background.png"}, folder.Folders()));
  EXPECT_EQ(ReadSkinImage(folder.Folders()), (SkinImageChoice{false, "common/background.png"}));

  folder.Write("user/main.ini", "[Window]\nx=1\n[skinimage]\nimage=/home/u/my pic.png\n");
  EXPECT_EQ(ReadSkinImage(folder.Folders()), (SkinImageChoice{false, "/home/u/my pic.png"}));
  EXPECT_FALSE(WriteSkinImage({true, "a\n[SKINIMAGE]\nIMAGE=b"}, folder.Folders()));
  EXPECT_EQ(folder.Read("user/main.ini"), "[Window]\nx=1\n[skinimage]\nimage=/home/u/my pic.png\n");
}

}  // namespace
}  // namespace brontal
