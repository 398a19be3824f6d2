#include <gtest/gtest.h>

#include "ui/toolkit/attribute_values.h"

namespace brontal {
namespace {

TEST(AttributeValuesTest, Colors) {
  EXPECT_EQ(ParseColorAttribute("#FF0080C0"), 0xFF0080C0u);
  EXPECT_EQ(ParseColorAttribute("0x800080C0"), 0x800080C0u);
  EXPECT_EQ(ParseColorAttribute("0080c0"), 0xFF0080C0u);  // six digits are opaque
  for (const char* bad : {"", "#", "#FF0080C", "#GG0080C0", "#FF0080C0FF", "red"}) {
    EXPECT_EQ(ParseColorAttribute(bad), std::nullopt) << bad;
  }
}

TEST(AttributeValuesTest, NumbersAndLists) {
  EXPECT_EQ(ParseIntAttribute(" -12 "), -12);
  EXPECT_EQ(ParseRectAttribute("1, 2,3 ,4"), (Rect{1, 2, 3, 4}));
  EXPECT_EQ(ParseSizeAttribute("800,572"), (Size{800, 572}));
  EXPECT_EQ(ParseBoolAttribute("false"), false);
  for (const char* bad : {"", "12px", "1.5", "99999999999"}) EXPECT_EQ(ParseIntAttribute(bad), std::nullopt) << bad;
  for (const char* bad : {"1,2,3", "1,2,3,4,5", "1,,3,4", "a,b,c,d"}) {
    EXPECT_EQ(ParseRectAttribute(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseSizeAttribute("800"), std::nullopt);
  EXPECT_EQ(ParseBoolAttribute("1"), std::nullopt);
}

}  // namespace
}  // namespace brontal
