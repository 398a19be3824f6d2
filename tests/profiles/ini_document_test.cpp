#include "profiles/ini_document.h"

#include <gtest/gtest.h>

namespace brontal {
namespace {

TEST(IniDocument, ReadsValuesWhateverTheLayout) {
  const IniDocument ini = IniDocument::Parse(
      "\xEF\xBB\xBF"
      "TOP = before any section\r\n"
      "; comment = not a key\r\n"
      "[SkinImage]\r\n"
      "  FLAGS =  1  \r\n"
      "IMAGE=common/a=b.png\r\n"
      "garbage line\r\n"
      "[ Other ]\n"
      "FLAGS=2\n"
      "[SKINIMAGE]\n"
      "FLAGS=3\n"
      "EMPTY=\n");
  EXPECT_EQ(ini.Get("", "top"), "before any section");
  EXPECT_EQ(ini.Get("SKINIMAGE", "flags"), "1");  // names ignore case; the first of twins wins
  EXPECT_EQ(ini.Get("SKINIMAGE", "IMAGE"), "common/a=b.png");
  EXPECT_EQ(ini.Get("Other", "FLAGS"), "2");
  EXPECT_EQ(ini.Get("SKINIMAGE", "EMPTY"), "");
  EXPECT_EQ(ini.Get("SKINIMAGE", "; comment"), std::nullopt);
  EXPECT_EQ(ini.Get("SKINIMAGE", "garbage line"), std::nullopt);
  EXPECT_EQ(ini.Get("Missing", "FLAGS"), std::nullopt);
  EXPECT_EQ(IniDocument::Parse("").Get("", "x"), std::nullopt);
  EXPECT_EQ(IniDocument::Parse("[unclosed\nx=1").Get("", "x"), "1");
}

TEST(IniDocument, SettingAValueKeepsEveryOtherLine) {
  IniDocument ini = IniDocument::Parse(
      "; kept\n"
      "[SKINIMAGE]\n"
      "FLAGS=1\n"
      "\n"
      "; about the next section\n"
      "[Other]\n"
      "x=1\n");
  EXPECT_TRUE(ini.Set("skinimage", "flags", "0"));
  EXPECT_TRUE(ini.Set("SKINIMAGE", "IMAGE", "common/background.png"));
  EXPECT_TRUE(ini.Set("New", "k", "v"));
  EXPECT_TRUE(ini.Set("", "LANGUAGE", "2052"));
  EXPECT_EQ(ini.Render(),
            "LANGUAGE=2052\n"
            "; kept\n"
            "[SKINIMAGE]\n"
            "FLAGS=0\n"
            "IMAGE=common/background.png\n"
            "\n"
            "; about the next section\n"
            "[Other]\n"
            "x=1\n"
            "[New]\n"
            "k=v\n");
  EXPECT_EQ(IniDocument::Parse(ini.Render()).Get("SKINIMAGE", "FLAGS"), "0");
}

TEST(IniDocument, RefusesNamesAndValuesThatWouldBreakTheFile) {
  IniDocument ini = IniDocument::Parse("[A]\nk=1\n");
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } refused[] = {
      {"A", "k", "line\nbreak"}, {"A", "k", "carriage\rreturn"}, {"A", "k=v", "1"},  {"A", "", "1"},
      {"A", "   ", "1"},         {"A]", "k", "1"},               {"A\n", "k", "1"}, {"A", ";k", "1"},
      {"A", "[k", "1"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(std::string(r.section) + "/" + r.key + "/" + r.value);
    EXPECT_FALSE(ini.Set(r.section, r.key, r.value));
  }
  EXPECT_EQ(ini.Render(), "[A]\nk=1\n");
}

}  // namespace
}  // namespace brontal
