#include "device_access/report_descriptor.h"

#include <gtest/gtest.h>

#include "device_access/descriptor_fixtures.h"

namespace brontal {
namespace {

using Ids = std::vector<std::uint8_t>;

struct ExpectedCollection {
  std::uint16_t usage_page, usage;
  std::uint16_t input_length, output_length, feature_length;
  Ids input_ids, output_ids, feature_ids;
};

struct DeviceCase {
  const char* file;
  std::vector<ExpectedCollection> collections;
};

// Worked out by hand from the bytes of each descriptor.
const DeviceCase kDevices[] = {
    {"hidapi_046a_0011_keyboard", {{0x01, 0x06, 9, 2, 0, {0}, {0}, {}}}},
    {"hidapi_046d_c077_mouse", {{0x01, 0x02, 5, 0, 0, {0}, {}, {}}}},
    {"hidapi_046d_c52f_if1_receiver",
     {{0x0C, 0x01, 5, 0, 0, {0x03}, {}, {}},
      {0xFF00, 0x01, 7, 7, 0, {0x10}, {0x10}, {}},
      {0xFF00, 0x02, 20, 20, 0, {0x11}, {0x11}, {}}}},
    {"hidapi_046d_c534_if1_receiver",
     {{0x01, 0x02, 8, 0, 0, {0x02}, {}, {}},
      {0x0C, 0x01, 5, 0, 0, {0x03}, {}, {}},
      {0x01, 0x80, 2, 0, 0, {0x04}, {}, {}},
      {0xFF00, 0x01, 7, 7, 0, {0x10}, {0x10}, {}},
      {0xFF00, 0x02, 20, 20, 0, {0x11}, {0x11}, {}}}},
    {"hidapi_047f_c056_if3_headset",
     {{0x0C, 0x01, 33, 37, 0, {1, 2, 5, 7}, {4, 6}, {}},
      {0x0B, 0x05, 2, 2, 0, {8}, {9, 0x17, 0x18, 0x1E, 0x20, 0x2A}, {}},
      {0xFFA0, 0x03, 33, 33, 3, {3, 0x14, 0x15, 0x1F}, {3, 0x19, 0x1A}, {0x1B}}}},
    {"hidapi_17cc_1130_if4_controller",
     {{0xFF01, 0x00, 53, 95, 33, {1, 2}, {0x80, 0x81},
       {0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8, 0xD9, 0xF1, 0xF3}}}},
    // Push and Pop inside a collection.
    {"hidtools_egalax_0eef_7224_touch",
     {{0x0D, 0x04, 6, 0, 2, {4}, {}, {4}},
      {0x01, 0x01, 6, 0, 0, {1}, {}, {}},
      {0xFF00, 0x01, 64, 64, 0, {3}, {3}, {}},
      {0x0D, 0x04, 6, 0, 0, {2}, {}, {}},
      {0x0D, 0x0E, 0, 0, 3, {}, {}, {5}}}},
};

TEST(ReportDescriptor, RealDevicesGiveTheirCollectionsIdsAndLengths) {
  for (const DeviceCase& device : kDevices) {
    SCOPED_TRACE(device.file);
    ReportDescriptor parsed;
    std::string error;
    ASSERT_TRUE(ParseReportDescriptor(test::LoadDescriptor(device.file), parsed, error)) << error;
    ASSERT_EQ(parsed.collections.size(), device.collections.size());
    for (std::size_t i = 0; i < device.collections.size(); ++i) {
      SCOPED_TRACE("collection " + std::to_string(i + 1));
      const ExpectedCollection& want = device.collections[i];
      const TopLevelCollection& got = parsed.collections[i];
      EXPECT_EQ(got.usage_page, want.usage_page);
      EXPECT_EQ(got.usage, want.usage);
      EXPECT_EQ(got.report_byte_length[0], want.input_length);
      EXPECT_EQ(got.report_byte_length[1], want.output_length);
      EXPECT_EQ(got.report_byte_length[2], want.feature_length);
      EXPECT_EQ(got.report_ids[0], want.input_ids);
      EXPECT_EQ(got.report_ids[1], want.output_ids);
      EXPECT_EQ(got.report_ids[2], want.feature_ids);
    }
  }
}

TEST(ReportDescriptor, EveryRealDescriptorParses) {
  for (const char* name :
       {"hidapi_045e_02ff_gamepad", "hidapi_046d_0a37_if3_headset", "hidapi_046d_b010_bt_mouse",
        "hidapi_046d_c283_joystick", "hidapi_046d_c52f_if0_mouse", "hidapi_1532_00a3_if0_mouse",
        "hidbpf_mistel_04d9_0339_if1_keyboard", "hidbpf_thrustmaster_044f_0409_yoke",
        "hidtools_ite_06cb_2968_keyboard", "hidtools_ntrig_1b96_0c03_digitizer", "hidtools_sitronix_1403_5001_touch",
        "hidtools_synaptics_06cb_ce08_touchpad", "lenovo_17ef_6048_bt_keyboard"}) {
    ReportDescriptor parsed;
    std::string error;
    EXPECT_TRUE(ParseReportDescriptor(test::LoadDescriptor(name), parsed, error)) << name << ": " << error;
  }
}

TEST(ReportDescriptor, CapabilitiesFollowTheMainItems) {
  ReportDescriptor parsed;
  std::string error;
  ASSERT_TRUE(ParseReportDescriptor(test::LoadDescriptor("hidapi_046a_0011_keyboard"), parsed, error));
  const TopLevelCollection& kb = parsed.collections[0];
  // Modifier bits and the key array are buttons; the LEDs are output buttons.
  ASSERT_EQ(kb.button_caps.size(), 3u);
  EXPECT_EQ(kb.button_caps[0].usage_min, 0xE0);
  EXPECT_EQ(kb.button_caps[0].usage_max, 0xE7);
  EXPECT_EQ(kb.button_caps[1].usage_min, 0x00);
  EXPECT_EQ(kb.button_caps[1].usage_max, 0xDD);
  EXPECT_EQ(kb.button_caps[2].type, ReportType::kOutput);
  EXPECT_TRUE(kb.value_caps.empty());
  EXPECT_EQ(kb.MaxUsageListLength(ReportType::kInput, 0x07), 8u + 6u);

  // Four 4-bit values each named by its own usage: four value capabilities.
  ASSERT_TRUE(ParseReportDescriptor(test::LoadDescriptor("hidapi_17cc_1130_if4_controller"), parsed, error));
  const TopLevelCollection& controller = parsed.collections[0];
  EXPECT_EQ(controller.link_collection_nodes, 16);
  EXPECT_EQ(std::count_if(controller.value_caps.begin(), controller.value_caps.end(),
                          [](const ValueCapability& c) { return c.report_id == 1 && c.usage_min == 3; }),
            4);
}

TEST(ReportDescriptor, ExtendedUsagesCarryTheirOwnPage) {
  // Usage Page 1, then a 4-byte usage naming page 0x0C usage 0xE9.
  const std::vector<std::uint8_t> bytes = {0x05, 0x01, 0x0B, 0xE9, 0x00, 0x0C, 0x00, 0xA1, 0x01, 0x15, 0x00,
                                           0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};
  ReportDescriptor parsed;
  std::string error;
  ASSERT_TRUE(ParseReportDescriptor(bytes, parsed, error)) << error;
  EXPECT_EQ(parsed.collections[0].usage_page, 0x0C);
  EXPECT_EQ(parsed.collections[0].usage, 0xE9);
}

struct MalformedCase {
  std::vector<std::uint8_t> bytes;
  const char* reason;  // part of the message
};

TEST(ReportDescriptor, MalformedDescriptorsAreRejectedWithAReason) {
  const MalformedCase cases[] = {
      {{}, "no top-level collection"},
      {{0x05, 0x01, 0x09, 0x06, 0xA1}, "runs past the end"},
      {{0x05, 0x01, 0x26, 0xFF}, "runs past the end"},
      {{0xFE, 0x10, 0x00, 0x01}, "long item runs past the end"},
      {{0xC0}, "End Collection without an open collection"},
      {{0xA1, 0x01, 0xA1, 0x00, 0xC0}, "1 collection(s) not closed"},
      {{0xB4}, "Pop without a matching Push"},
      {{0x85, 0x00}, "Report ID 0 outside 1..255"},
      {{0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, "outside any collection"},
      {{0x19, 0x10, 0x29, 0x01}, "Usage Minimum above Usage Maximum"},
      {{0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02, 0xC0}, "without a Report ID"},
      {{0xA1, 0x01, 0x75, 0x08, 0x96, 0x01, 0x40, 0x81, 0x02, 0xC0}, "Report Count 16385 above"},
      {{0xA1, 0x01, 0x77, 0x00, 0x00, 0x01, 0x00, 0x95, 0x02, 0x81, 0x02, 0xC0}, "Report Size above 65535"},
      {{0xA1, 0x01, 0x75, 0xFF, 0x96, 0x10, 0x02, 0x81, 0x02, 0xC0}, "longer than 16384 bytes"},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.reason);
    ReportDescriptor parsed;
    std::string error;
    EXPECT_FALSE(ParseReportDescriptor(c.bytes, parsed, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_TRUE(parsed.collections.empty());
  }
}

TEST(ReportDescriptor, PushNestingIsBounded) {
  std::vector<std::uint8_t> bytes(33, 0xA4);
  ReportDescriptor parsed;
  std::string error;
  EXPECT_FALSE(ParseReportDescriptor(bytes, parsed, error));
  EXPECT_NE(error.find("Push nested deeper than 32"), std::string::npos) << error;
}

TEST(ReportDescriptor, EveryTruncationOfARealDescriptorEndsCleanly) {
  const std::vector<std::uint8_t> whole = test::LoadDescriptor("hidapi_047f_c056_if3_headset");
  for (std::size_t n = 0; n < whole.size(); ++n) {
    ReportDescriptor parsed;
    std::string error;
    const bool ok = ParseReportDescriptor(std::span(whole).first(n), parsed, error);
    EXPECT_EQ(ok, error.empty()) << n;
  }
}

}  // namespace
}  // namespace brontal
