#include "device_access/hid_path.h"

#include <gtest/gtest.h>

#include "device_access/hid_linux.h"

namespace brontal {
namespace {

struct PathCase {
  const char* path;
  std::uint16_t vendor, product, interface_number, collection;
};

TEST(HidPath, TheInterfaceNumberOfAPhysString) {
  const std::pair<const char*, std::optional<std::uint16_t>> cases[] = {
      {"usb-0000:00:14.0-2/input1", 1},
      {"usb-0000:00:14.0-1.4/input0", 0},
      {"usb-0000:00:14.0-2/input12", 12},
      {"usb-0000:00:14.0-2", std::nullopt},
      {"usb-0000:00:14.0-2/input", std::nullopt},
      {"usb-0000:00:14.0-2/input1x", std::nullopt},
      {"usb-0000:00:14.0-2/input999", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [phys, number] : cases) EXPECT_EQ(InterfaceNumberOfPhys(phys), number) << phys;
}

TEST(HidPath, ReadsTheFourIdentityFields) {
  const PathCase cases[] = {
      {R"(\\?\hid#vid_320f&pid_5100&mi_01&col04#/dev/hidraw3#x)", 0x320F, 0x5100, 1, 4},
      {R"(\\?\HID#VID_320F&PID_5100&MI_01&COL04#{guid})", 0x320F, 0x5100, 1, 4},
      {R"(\\?\hid#vid_0c76&pid_1630#node)", 0x0C76, 0x1630, 0, 0},             // no interface or collection marker
      {R"(\\?\hid#vid_320f&pid_2003&mi_0a&col0B#n)", 0x320F, 0x2003, 10, 11},  // hexadecimal digits
      {"no markers at all", 0, 0, 0, 0},
      {"vid_", 0, 0, 0, 0},  // marker without digits
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ParseVendorId(c.path), c.vendor);
    EXPECT_EQ(ParseProductId(c.path), c.product);
    EXPECT_EQ(ParseInterfaceNumber(c.path), c.interface_number);
    EXPECT_EQ(ParseCollectionNumber(c.path), c.collection);
  }
}

TEST(HidPath, MadePathsReadBackAndSplitIntoNodeAndInstance) {
  const std::string path = MakeHidPath({0x320F, 0x5103, 1, 4, "/dev/hidraw12", "0003:320F:5103.0042"});
  EXPECT_EQ(path, R"(\\?\hid#vid_320f&pid_5103&mi_01&col04#/dev/hidraw12#0003:320F:5103.0042)");
  EXPECT_EQ(ParseProductId(path), 0x5103);
  EXPECT_EQ(ParseCollectionNumber(path), 4);
  std::string node, instance;
  ASSERT_TRUE(SplitHidPath(path, node, instance));
  EXPECT_EQ(node, "/dev/hidraw12");
  EXPECT_EQ(instance, "0003:320F:5103.0042");

  // A lone collection carries no collection marker.
  const std::string headset = MakeHidPath({0x0C76, 0x1630, 3, 0, "sim:bus1/7", "7"});
  EXPECT_EQ(headset, R"(\\?\hid#vid_0c76&pid_1630&mi_03#sim:bus1/7#7)");
  EXPECT_EQ(ParseCollectionNumber(headset), 0);

  EXPECT_FALSE(SplitHidPath("/dev/hidraw0", node, instance));
  EXPECT_FALSE(SplitHidPath(R"(\\?\hid#vid_1&pid_2)", node, instance));
}

}  // namespace
}  // namespace brontal
