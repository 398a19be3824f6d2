#include <gtest/gtest.h>

#include "device_access/descriptor_fixtures.h"
#include "device_access/hid_data_item.h"
#include "device_access/report_decoder.h"

namespace brontal {
namespace {

TopLevelCollection Collection(const std::string& file, std::size_t index) {
  ReportDescriptor parsed;
  std::string error;
  EXPECT_TRUE(ParseReportDescriptor(test::LoadDescriptor(file), parsed, error)) << error;
  return parsed.collections.at(index);
}

// The consumer-control collection of a receiver: report 3, two 16-bit usage slots.
class ConsumerControlReport : public ::testing::Test {
 protected:
  TopLevelCollection consumer = Collection("hidapi_046d_c52f_if1_receiver", 0);
  std::vector<HidDataItem> items = BuildItemList(consumer, ReportType::kInput);
};

TEST_F(ConsumerControlReport, OneButtonItemCoversTheUsageArray) {
  ASSERT_EQ(items.size(), 1u);
  EXPECT_TRUE(items[0].IsButtonData);
  EXPECT_EQ(items[0].UsagePage, 0x0C);
  EXPECT_EQ(items[0].ReportID, 3);
  EXPECT_EQ(items[0].UsageMin, 1);
  EXPECT_EQ(items[0].UsageMax, 0x28C);
  EXPECT_EQ(items[0].MaxUsageLength, 2u);
  EXPECT_EQ(items[0].Status, HidStatus::kSuccess);
}

TEST_F(ConsumerControlReport, PressedUsagesArePackedAndEndWithZero) {
  struct Case {
    std::vector<std::uint8_t> report;
    std::vector<std::uint16_t> usages;
  };
  const Case cases[] = {
      {{0x03, 0xE9, 0x00, 0x00, 0x00}, {0xE9, 0}},      // volume up
      {{0x03, 0x00, 0x00, 0xCD, 0x00}, {0xCD, 0}},      // empty first slot: nothing before play/pause
      {{0x03, 0xE9, 0x00, 0xEA, 0x00}, {0xE9, 0xEA}},   // both slots: the list is full, no terminator
      // Release: only the entry after the last kept usage is cleared; readers stop at it.
      {{0x03, 0x00, 0x00, 0x00, 0x00}, {0, 0x7777}},
      {{0x03, 0xFF, 0xFF, 0x00, 0x00}, {0, 0x7777}},    // outside the logical range: no usage
  };
  for (const Case& c : cases) {
    items[0].Usages.assign(2, 0x7777);
    ASSERT_TRUE(UnpackReport(c.report, ReportType::kInput, items, consumer));
    EXPECT_TRUE(items[0].IsDataSet);
    EXPECT_EQ(items[0].Usages, c.usages);
  }
}

TEST_F(ConsumerControlReport, ReportOfAnotherIdChangesNothing) {
  const std::vector<std::uint8_t> report = {0x10, 0xE9, 0, 0, 0};
  EXPECT_TRUE(UnpackReport(report, ReportType::kInput, items, consumer));
  EXPECT_FALSE(items[0].IsDataSet);
  EXPECT_EQ(items[0].Usages, (std::vector<std::uint16_t>{0, 0}));
}

TEST_F(ConsumerControlReport, ShortReportNeverReadsPastItsEnd) {
  const std::vector<std::uint8_t> report = {0x03, 0xE9};
  EXPECT_TRUE(UnpackReport(report, ReportType::kInput, items, consumer));  // buttons only record their status
  EXPECT_EQ(items[0].Status, HidStatus::kInvalidReportLength);
}

TEST(UnpackReport, ButtonGroupsKeepOnlyUsagesInsideTheirRange) {
  // Report 1 of this headset: volume up (E9), volume down (EA) and mute (E2),
  // each a one-bit button of its own on the consumer page.
  const TopLevelCollection headset = Collection("hidapi_046d_0a37_if3_headset", 0);
  std::vector<HidDataItem> items = BuildItemList(headset, ReportType::kInput);
  auto item_for = [&](std::uint16_t usage) {
    return std::find_if(items.begin(), items.end(), [&](const HidDataItem& i) {
      return i.IsButtonData && i.UsageMin == usage && i.ReportID == 1;
    });
  };
  ASSERT_NE(item_for(0xE9), items.end());
  ASSERT_NE(item_for(0xE2), items.end());
  const std::vector<std::uint8_t> report = {0x01, 0b0000'0101, 0x00};  // E9 and E2 on
  ASSERT_TRUE(UnpackReport(report, ReportType::kInput, items, headset));
  // The parser reports E9 and E2 for the page; each group keeps its own.
  EXPECT_EQ(item_for(0xE9)->Usages[0], 0xE9);
  EXPECT_EQ(item_for(0xE9)->Usages[1], 0);
  EXPECT_EQ(item_for(0xEA)->Usages[0], 0);
  EXPECT_EQ(item_for(0xE2)->Usages[0], 0xE2);
  EXPECT_EQ(item_for(0xE2)->Usages[1], 0);
}

TEST(UnpackReport, ValueItemsCarryRawAndScaledValues) {
  // Relative X, Y and wheel of a mouse: signed 8-bit values on the generic desktop page.
  const TopLevelCollection mouse = Collection("hidapi_046d_c077_mouse", 0);
  std::vector<HidDataItem> items = BuildItemList(mouse, ReportType::kInput);
  std::vector<std::uint16_t> value_usages;
  for (const HidDataItem& item : items)
    if (!item.IsButtonData) value_usages.push_back(item.Usage);
  EXPECT_EQ(value_usages, (std::vector<std::uint16_t>{0x30, 0x31, 0x38}));

  const std::vector<std::uint8_t> report = {0x00, 0x01, 0x05, 0xFB, 0x81};
  ASSERT_TRUE(UnpackReport(report, ReportType::kInput, items, mouse));
  const HidDataItem& x = items[1];
  const HidDataItem& y = items[2];
  const HidDataItem& wheel = items[3];
  EXPECT_EQ(x.Value, 5u);
  EXPECT_EQ(x.ScaledValue, 5);
  EXPECT_EQ(y.Value, 0xFBu);  // raw bits
  EXPECT_EQ(y.ScaledValue, -5);
  EXPECT_EQ(wheel.ScaledValue, -127);
  EXPECT_EQ(items[0].Usages[0], 1);  // left button
}

TEST(UnpackReport, AValueRangeGivesOneItemPerUsage) {
  // X..Z as one usage range over three 8-bit values.
  const std::vector<std::uint8_t> bytes = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x19, 0x30, 0x29, 0x32, 0x15, 0x00,
                                           0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0};
  ReportDescriptor parsed;
  std::string error;
  ASSERT_TRUE(ParseReportDescriptor(bytes, parsed, error)) << error;
  std::vector<HidDataItem> items = BuildItemList(parsed.collections[0], ReportType::kInput);
  ASSERT_EQ(items.size(), 3u);
  const std::vector<std::uint8_t> report = {0x00, 10, 20, 30};
  ASSERT_TRUE(UnpackReport(report, ReportType::kInput, items, parsed.collections[0]));
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(items[i].Usage, 0x30 + i);
    EXPECT_EQ(items[i].Value, 10 * (i + 1));
  }
}

TEST(UnpackReport, AValueThatCannotBeReadFailsTheDecode) {
  const TopLevelCollection mouse = Collection("hidapi_046d_c077_mouse", 0);
  std::vector<HidDataItem> items = BuildItemList(mouse, ReportType::kInput);
  const std::vector<std::uint8_t> report = {0x00, 0x01, 0x05};  // Y and wheel missing
  EXPECT_FALSE(UnpackReport(report, ReportType::kInput, items, mouse));
  EXPECT_EQ(items[1].Value, 5u);  // decoded before the failure
  EXPECT_EQ(items[2].Status, HidStatus::kInvalidReportLength);
}

TEST(ReportDecoder, ScaledValuesUseThePhysicalRange) {
  // Hat switch: logical 0..7 onto 0..315 degrees, with a null state.
  const TopLevelCollection pad = Collection("hidapi_045e_02ff_gamepad", 0);
  std::vector<std::uint8_t> report(16, 0);
  report[13] = 0x03;  // after 80 bits of axes and 16 buttons
  const ScaledUsageValue east = GetScaledUsageValue(pad, ReportType::kInput, 0x01, 0x39, report);
  // Logical 1..8 onto 0..4155 with the raw value 3.
  EXPECT_EQ(east.status, HidStatus::kSuccess);
  EXPECT_EQ(east.value, (3 - 1) * 4155 / 7);
  std::vector<std::uint8_t> released = report;
  released[13] = 0x00;  // 0 lies outside 1..8: the null state
  EXPECT_EQ(GetScaledUsageValue(pad, ReportType::kInput, 0x01, 0x39, released).status, HidStatus::kNull);
  EXPECT_EQ(GetUsageValue(pad, ReportType::kInput, 0x01, 0x99, report).status, HidStatus::kUsageNotFound);
}

}  // namespace
}  // namespace brontal
