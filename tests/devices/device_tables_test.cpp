#include "devices/device_tables.h"

#include <gtest/gtest.h>

#include "devices/slot_list.h"

namespace brontal {
namespace {

TEST(InterfaceTable, RowsAsDocumented) {
  // vendor, product, MI, col, type, role, usage page, usage, paired, partner
  const std::uint16_t rows[23][10] = {
      {0x0000, 0x0000, 1, 4, 1, 0, 0xFF1C, 0x92, 1, 2},    {0x0000, 0x0000, 1, 3, 1, 255, 0x000C, 0x01, 1, 3},
      {0x320F, 0x0000, 1, 4, 9, 0, 0xFF1C, 0x92, 1, 0},    {0x320F, 0x0000, 1, 3, 9, 255, 0x000C, 0x01, 1, 1},
      {0x320F, 0x2003, 1, 4, 2, 0, 0xFF1C, 0x92, 1, 6},    {0x320F, 0x2003, 1, 3, 2, 255, 0x000C, 0x01, 1, 7},
      {0x320F, 0x221D, 1, 4, 6, 0, 0xFF1C, 0x92, 1, 4},    {0x320F, 0x221D, 1, 3, 6, 255, 0x000C, 0x01, 1, 5},
      {0x320F, 0x1004, 1, 4, 3, 0, 0xFF1C, 0x92, 0, 0},    {0x320F, 0x1004, 1, 3, 3, 255, 0x000C, 0x01, 0, 0},
      {0x0C76, 0x1630, 3, 0, 7, 0, 0x000C, 0x01, 0, 0},    {0x320F, 0x50EB, 1, 4, 1, 0, 0xFF1C, 0x92, 1, 13},
      {0x320F, 0x50EB, 1, 3, 1, 255, 0x000C, 0x01, 1, 14}, {0x320F, 0x50EC, 1, 4, 9, 0, 0xFF1C, 0x92, 1, 11},
      {0x320F, 0x50EC, 1, 3, 9, 255, 0x000C, 0x01, 1, 12}, {0x320F, 0x5100, 1, 4, 1, 0, 0xFF1C, 0x92, 1, 17},
      {0x320F, 0x5100, 1, 3, 1, 255, 0x000C, 0x01, 1, 18}, {0x320F, 0x5103, 1, 4, 9, 0, 0xFF1C, 0x92, 1, 15},
      {0x320F, 0x5103, 1, 3, 9, 255, 0x000C, 0x01, 1, 16}, {0x320F, 0x5101, 1, 4, 1, 0, 0xFF1C, 0x92, 1, 21},
      {0x320F, 0x5101, 1, 3, 1, 255, 0x000C, 0x01, 1, 22}, {0x320F, 0x5104, 1, 4, 9, 0, 0xFF1C, 0x92, 1, 19},
      {0x320F, 0x5104, 1, 3, 9, 255, 0x000C, 0x01, 1, 20},
  };
  for (std::size_t i = 0; i < 23; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const InterfaceRow& r = kInterfaceTable[i];
    const std::uint16_t cells[10] = {r.vendor_id,
                                     r.product_id,
                                     r.interface_number,
                                     r.collection_number,
                                     static_cast<std::uint16_t>(r.type),
                                     static_cast<std::uint16_t>(r.role),
                                     r.usage_page,
                                     r.usage,
                                     r.paired,
                                     r.partner};
    for (int c = 0; c < 10; ++c) EXPECT_EQ(cells[c], rows[i][c]) << "column " << c;
  }
}

TEST(DeviceEntryTable, RowsAsDocumented) {
  struct Row {
    const char* kind;
    int index, icon, power_style, kind_code;
    std::uint16_t vendor, product;
    int type, role;
  };
  const Row rows[] = {
      {"mouse", 0, 0, 0, 1, 0x320F, 0x2003, 2, 0},     {"keyboard", 1, 1, -1, 0, 0x0000, 0x0000, 1, 0},
      {"MousePad", 2, 2, 1, 2, 0x320F, 0x1004, 3, 0},  {"HD", 3, 3, -1, 3, 0x0C76, 0x1630, 7, 0},
      {"keyboard", 4, 4, -1, 0, 0x320F, 0x50EB, 1, 0}, {"keyboard", 5, 5, -1, 0, 0x320F, 0x5100, 1, 0},
      {"keyboard", 6, 6, -1, 0, 0x320F, 0x5101, 1, 0},
  };
  ASSERT_EQ(kDeviceEntryTable.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const DeviceEntryRow& r = kDeviceEntryTable[i];
    EXPECT_EQ(r.entry_layout, "XML\\CustomControlXML\\DeviceOption.xml");
    EXPECT_EQ(r.tab_header_name, "tab_header_device");
    EXPECT_EQ(r.power_switch_name, "device_power_switch");
    EXPECT_EQ(r.kind_name, rows[i].kind);
    EXPECT_EQ(r.entry_index, rows[i].index);
    EXPECT_EQ(r.icon_index, rows[i].icon);
    EXPECT_EQ(r.power_style, rows[i].power_style);
    EXPECT_EQ(static_cast<int>(r.kind), rows[i].kind_code);
    EXPECT_EQ(r.vendor_id, rows[i].vendor);
    EXPECT_EQ(r.product_id, rows[i].product);
    EXPECT_EQ(static_cast<int>(r.type), rows[i].type);
    EXPECT_EQ(static_cast<int>(r.role), rows[i].role);
  }
}

TEST(DeviceLayoutTable, RowsAsDocumented) {
  struct Row {
    int positions, key_list;
    bool battery;
    const char* page;
  };
  const Row rows[] = {
      {15, 11, true, "XML\\DeviceXml\\mousedevice.xml"},      {170, 170, true, "XML\\DeviceXml\\keyboarddevice.xml"},
      {15, 0, false, "XML\\DeviceXml\\mousepaddevice.xml"},   {13, 0, false, "XML\\DeviceXml\\zu6533device.xml"},
      {170, 170, true, "XML\\DeviceXml\\keyboarddevice.xml"}, {126, 126, true, "XML\\DeviceXml\\keyboarddevice.xml"},
      {126, 126, true, "XML\\DeviceXml\\keyboarddevice.xml"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const DeviceLayoutRow& r = kDeviceLayoutTable[i];
    EXPECT_EQ(r.position_count, rows[i].positions);
    EXPECT_EQ(r.key_list_size, rows[i].key_list);
    EXPECT_EQ(r.has_battery, rows[i].battery);
    EXPECT_EQ(r.reserved, -1);
    EXPECT_EQ(r.page_layout, rows[i].page);
    EXPECT_EQ(r.lighting_page, "drumo_light");
  }
}

TEST(ProductTable, RowsAsDocumented) {
  struct Row {
    int category;
    const char *model, *product, *short_name, *version;
  };
  const Row rows[] = {
      {1, "KX410", "MS", "MS", ""},     {1, "KX420", "KB", "KB", ""},
      {2, "KX430_1", "M27", "M27", ""}, {2, "KX430_1", "M27", "M27", ""},
      {2, "KX440", "KX340", "R7", ""},  {2, "KX440", "KX320", "KX320", ""},
      {2, "KX440", "KX330", "T4", ""},  {0, "ALL", "Brontal Driver", "AP", "KX500"},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    const ProductRow& r = kProductTable[i];
    EXPECT_EQ(r.category, rows[i].category);
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.brand, "DRUMO");
    EXPECT_EQ(r.model_id, rows[i].model);
    EXPECT_EQ(r.product_name, rows[i].product);
    EXPECT_EQ(r.short_name, rows[i].short_name);
    EXPECT_EQ(r.version, rows[i].version);
  }
}

TEST(DeviceTables, LookupsUseTheExactTuple) {
  EXPECT_EQ(FindInterfaceRow(0x320F, 0x5103, DeviceType::kKeyboardReceiver, CollectionRole::kEvent), 18);
  EXPECT_EQ(FindInterfaceRow(0x320F, 0x5103, DeviceType::kKeyboardWired, CollectionRole::kCommand), -1);
  EXPECT_EQ(FindEntryRow(0x320F, 0x5100, DeviceType::kKeyboardWired, CollectionRole::kCommand), 5);
  EXPECT_EQ(FindEntryRow(0x320F, 0x5103, DeviceType::kKeyboardReceiver, CollectionRole::kCommand), -1);
  EXPECT_EQ(IconForProduct(0x5101).name_shown, "T4");
  EXPECT_EQ(IconForProduct(0x2003).normal_image, "common/device_ico/unknow_device_normal.png");
}

TEST(SlotList, PartnerPresenceNeedsBothDirectionsAndAPath) {
  SlotList slots;
  EXPECT_FALSE(slots.PartnerPresent(15));
  slots[17].present = true;
  EXPECT_FALSE(slots.PartnerPresent(15));  // present without a path
  slots[17].path = "p";
  EXPECT_TRUE(slots.PartnerPresent(15));
  EXPECT_FALSE(slots.PartnerPresent(8));  // the pad has no partner
  // Placeholder rows 0 and 2 point at each other; row 2 absent.
  EXPECT_FALSE(slots.PartnerPresent(0));
}

}  // namespace
}  // namespace brontal
