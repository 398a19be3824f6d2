#include "models/product_catalog.h"

#include <gtest/gtest.h>

#include <set>

#include "sim/descriptor_walk.h"
#include "devices/interface_table.h"
#include "models/report_descriptors.h"

namespace brontal::sim {
namespace {

using testing::DescriptorWalk;
using testing::MainKind;
using testing::WalkDescriptor;

TEST(ProductCatalogTest, OffersEveryRealProductOfTheInterfaceTableWithItsPairing) {
  std::size_t command_rows = 0;
  for (const InterfaceRow& row : kInterfaceTable) {
    if (!IsRealProduct(row) || row.role != CollectionRole::kCommand) continue;
    ++command_rows;
    const ProductSpec* product = FindProduct(row.vendor_id, row.product_id);
    ASSERT_NE(product, nullptr) << std::hex << row.product_id;
    EXPECT_EQ(product->interface_number, row.interface_number);
    const bool receiver = row.type == DeviceType::kKeyboardReceiver || row.type == DeviceType::kMouseReceiver;
    EXPECT_EQ(product->receiver, receiver);
    if (receiver) {
      EXPECT_EQ(product->cabled_product_id, kInterfaceTable[row.partner].product_id);
      EXPECT_EQ(ReceiverOf(CabledProductOf(*product)), product);
    } else {
      EXPECT_EQ(product->cabled_product_id, product->product_id);
      EXPECT_EQ(&CabledProductOf(*product), product);
    }
  }
  EXPECT_EQ(Products().size(), command_rows);
  EXPECT_EQ(ReceiverOf(*FindProduct(0x320F, 0x1004)), nullptr);
  EXPECT_EQ(FindProduct(0x320F, 0x0000), nullptr);
  EXPECT_EQ(FindProduct(0x0C76, 0x5100), nullptr);
}

TEST(ProductCatalogTest, InterfaceVersionsAndKindsOfTheDocumentedProducts) {
  EXPECT_EQ(FindProduct(0x0C76, 0x1630)->interface_number, 3);
  EXPECT_EQ(FindProduct(0x320F, 0x5100)->interface_number, 1);
  EXPECT_EQ(FindProduct(0x320F, 0x5104)->kind, ModelKind::kKeyboard);
  EXPECT_EQ(FindProduct(0x320F, 0x221D)->kind, ModelKind::kMouse);
  EXPECT_EQ(FindProduct(0x320F, 0x1004)->kind, ModelKind::kMousePad);
  EXPECT_EQ(FindProduct(0x0C76, 0x1630)->kind, ModelKind::kHeadset);
  // 0x5101 prompts for a firmware update below 0x0110.
  EXPECT_GE(FindProduct(0x320F, 0x5101)->version, 0x0110);
}

// Discovery matches each row's collection number (1-based; 0 for an interface
// with a single collection) and the usage page and usage found there.
TEST(ProductCatalogTest, DescriptorsPlaceEveryTableCollectionWhereDiscoveryLooks) {
  for (const InterfaceRow& row : kInterfaceTable) {
    if (!IsRealProduct(row)) continue;
    const ProductSpec* product = FindProduct(row.vendor_id, row.product_id);
    ASSERT_NE(product, nullptr);
    const DescriptorWalk walk = WalkDescriptor(product->report_descriptor);
    ASSERT_EQ(walk.error, "") << std::hex << row.product_id;
    if (row.collection_number == 0) {
      ASSERT_EQ(walk.collections.size(), 1u);
    } else {
      ASSERT_GE(walk.collections.size(), row.collection_number);
    }
    const std::size_t index = row.collection_number == 0 ? 0 : row.collection_number - 1;
    EXPECT_EQ(walk.collections[index].usage_page, row.usage_page) << std::hex << row.product_id;
    EXPECT_EQ(walk.collections[index].usage, row.usage) << std::hex << row.product_id;
  }
}

TEST(ProductCatalogTest, DescriptorsCarryTheCommandEventAndLightReports) {
  for (const ProductSpec& product : Products()) {
    const DescriptorWalk walk = WalkDescriptor(product.report_descriptor);
    ASSERT_EQ(walk.error, "");
    std::set<std::uint8_t> ids_seen;
    std::map<std::pair<MainKind, std::uint8_t>, std::uint32_t> bits;
    for (const auto& collection : walk.collections) {
      std::set<std::uint8_t> own;
      for (const auto& [key, count] : collection.report_bits) {
        own.insert(key.second);
        bits[key] = count;
      }
      for (std::uint8_t id : own) EXPECT_TRUE(ids_seen.insert(id).second) << "report id shared: " << int{id};
    }
    EXPECT_FALSE(ids_seen.contains(0)) << "every report needs an id";
    // 63 data bytes plus the id: the 64-byte command frame, both ways.
    EXPECT_EQ((bits[{MainKind::kInput, kCommandReportId}]), 63u * 8);
    EXPECT_EQ((bits[{MainKind::kOutput, kCommandReportId}]), 63u * 8);
    EXPECT_EQ((bits[{MainKind::kInput, product.event_report_id}]), 16u);
    if (product.kind == ModelKind::kHeadset) {
      EXPECT_EQ((bits[{MainKind::kOutput, kHeadsetLightReportId}]), 16u * 8);
    }
  }
}

// The walker itself must notice what it is there to notice.
TEST(ProductCatalogTest, DescriptorWalkRejectsMalformedDescriptors) {
  const std::vector<std::uint8_t> unbalanced = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01};
  const std::vector<std::uint8_t> no_size = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x81, 0x00, 0xC0};
  const std::vector<std::uint8_t> truncated = {0x05, 0x0C, 0x26, 0xFF};
  EXPECT_EQ(WalkDescriptor(unbalanced).error, "unbalanced collections");
  EXPECT_EQ(WalkDescriptor(no_size).error, "main item without size");
  EXPECT_NE(WalkDescriptor(truncated).error, "");
}

}  // namespace
}  // namespace brontal::sim
