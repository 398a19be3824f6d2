#include "app/lighting_page_rules.h"

#include <gtest/gtest.h>

namespace brontal {
namespace {

TEST(LightingPageRules, SlidersSnapToTheirLevelsAndAPositionPastTheEndKeepsTheLevel) {
  struct Case {
    int value;
    std::optional<std::uint8_t> level;
    int snapped;
  };
  const Case cases[] = {{0, 0, 0},   {5, 0, 0},   {6, 1, 10},           {15, 1, 10}, {16, 2, 20},
                        {17, 2, 20}, {25, 2, 20}, {26, 3, 30},          {35, 3, 30}, {36, 4, 39},
                        {38, 4, 39}, {39, 4, 39}, {40, std::nullopt, 0}};
  for (const Case& c : cases) {
    const SliderLevel level = LevelFromSlider(c.value);
    EXPECT_EQ(level.level, c.level) << c.value;
    EXPECT_EQ(level.snapped, c.snapped) << c.value;
    // A level shown on the slider reads back as the same level.
    if (c.level) {
      EXPECT_EQ(LevelFromSlider(SliderPositionOf(*c.level)).level, c.level) << c.value;
    }
  }
}

TEST(LightingPageRules, ColourEditsTakeAByteAndShowWhatWasTaken) {
  struct Case {
    std::string_view text;
    std::uint8_t value;
    std::optional<std::string> rewrite;
  };
  const Case cases[] = {{"128", 128, std::nullopt},
                        {"255", 255, std::nullopt},
                        {"300", 255, "255"},
                        {"", 0, "0"},
                        {"99999999999999999999", 255, "255"},
                        {"12a", 0, "0"},
                        {"-5", 0, "0"},
                        {"007", 7, "7"}};
  for (const Case& c : cases) {
    const EditedComponent edited = ComponentFromEdit(c.text);
    EXPECT_EQ(edited.value, c.value) << c.text;
    EXPECT_EQ(edited.rewrite, c.rewrite) << c.text;
  }
}

TEST(LightingPageRules, GameEventsReturnToModeOneFromOffListModes) {
  EXPECT_EQ(ModeToRestore(0), 1);
  EXPECT_EQ(ModeToRestore(5), 5);
  EXPECT_EQ(ModeToRestore(20), 20);
  EXPECT_EQ(ModeToRestore(21), 1);
  EXPECT_EQ(OpaqueColour(255, 0, 128), 0xFFFF0080u);
}

}  // namespace
}  // namespace brontal
