// brontalctl's mouse pad commands on the simulated pad, as the owning program runs them.
#include <gtest/gtest.h>

#include "control/device_command_fixture.h"
#include "control/device_commands.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"
#include "models/memory_layout.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

class PadCommandsTest : public test::DeviceCommandFixture<CCorvaneMousePadDevice> {
 protected:
  PadCommandsTest() : DeviceCommandFixture(0x1004) {}
};

TEST_F(PadCommandsTest, SetWritesTheWholeRecordOnceAndShowReadsItBack) {
  const DeviceReply set = Run({"set", "mousepad", "brightness=2", "speed=1", "color=102030", "mode=3"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(BytesOf(0x06), pad::kRecordSize);
  const std::vector<std::uint8_t> record = Memory(MemoryRegion::kParameters, 0, 9);
  EXPECT_EQ(record[1], Product()->ModeCodes()[3]);
  EXPECT_EQ(record[2], 2);
  EXPECT_EQ(record[3], 3);  // speed 1 goes as 3
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 6, record.end()), (std::vector<std::uint8_t>{0x10, 0x20, 0x30}));
  const std::string shown = Run({"show", "mousepad"}).out;
  EXPECT_NE(shown.find("  brightness = 2\n"), std::string::npos) << shown;
  EXPECT_NE(shown.find("  color = 102030\n"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("direction"), std::string::npos) << shown;
}

TEST_F(PadCommandsTest, RefusalsWriteNothing) {
  struct Case {
    std::vector<std::string> words;
    std::string err;
  };
  const Case cases[] = {
      {{"set", "mousepad", "direction=1"}, "the mouse pad has no setting 'direction'"},
      {{"set", "mousepad", "brightness=5"}, "no brightness '5'"},
      {{"set", "mousepad", "mode=99"}, "no mode '99'"},
      {{"keys", "mousepad"}, "a mouse pad has no keys or macros"},
      {{"macro", "mousepad", "list"}, "a mouse pad has no keys or macros"},
  };
  for (const Case& c : cases) {
    const DeviceReply reply = Run(c.words);
    EXPECT_EQ(reply.status, 2) << c.err;
    EXPECT_NE(reply.err.find(c.err), std::string::npos) << reply.err;
  }
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
}  // namespace brontal
