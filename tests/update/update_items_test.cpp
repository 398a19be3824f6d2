#include <gtest/gtest.h>

#include <vector>

#include "update/update_item.h"

namespace brontal {
namespace {

TEST(UpdateItemsTest, TheProgramFirstThenEachConnectedProductOnceWithAVersion) {
  const std::vector<ConnectedProduct> connected = {
      {6, 0x0105},   // the keyboard 320F:5101
      {0, 0},        // no version read: nothing to compare
      {6, 0x0105},   // the same product twice: asked once
      {42, 0x0100},  // no such row
      {-1, 0x0100}, {2, 0x0203},
  };
  const std::vector<UpdateItem> items = UpdateItemsFor("1.0.5", connected);

  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(RowName(items[0]), "AP");
  EXPECT_FALSE(items[0].hexadecimal);
  EXPECT_EQ(items[0].installed_version, 105u);
  EXPECT_EQ(items[0].installed_dotted, "1.0.5");
  EXPECT_EQ(ApplicationKey(items[0].identity), "DRUMO_0_ALL_AP_0");

  EXPECT_EQ(RowName(items[1]), "KX330");
  EXPECT_TRUE(items[1].hexadecimal);
  EXPECT_EQ(items[1].installed_version, 0x0105u);
  EXPECT_EQ(ApplicationKey(items[1].identity), "DRUMO_2_KX440_T4_20737");
  EXPECT_EQ(ApplicationKey(items[2].identity), "DRUMO_2_KX430_1_M27_4100");
}

TEST(UpdateItemsTest, AProgramVersionThatIsNoNumberGivesNoProgramItem) {
  EXPECT_TRUE(UpdateItemsFor("dev", {}).empty());
}

}  // namespace
}  // namespace brontal
