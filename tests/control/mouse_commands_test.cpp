// brontalctl's mouse commands on the simulated mouse, as the owning program runs them.
#include <gtest/gtest.h>

#include "control/device_commands.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "devices/simulated_product_fixture.h"
#include "models/memory_layout.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

class MouseCommandsTest : public test::SimulatedProductFixture<CCorvaneMouseDevice> {
 protected:
  MouseCommandsTest() : SimulatedProductFixture(0x2003) {
    CCorvaneMouseDevice& mouse = Open();
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return mouse.ready(); }));
    Device().Journal().Clear();
  }

  DeviceReply Run(std::vector<std::string> args) {
    std::optional<DeviceReply> reply;
    RunDeviceRequest(roster_, {std::move(args), "test"}, [&](DeviceReply r) { reply = std::move(r); });
    EXPECT_TRUE(PumpUntil([&] { return reply.has_value(); }));
    return reply.value_or(DeviceReply{-1, "", "no reply"});
  }
  DeviceReply Set(std::vector<std::string> words) {
    words.insert(words.begin(), {"set", "mouse"});
    return Run(std::move(words));
  }
};

// One profile change and one record write however many names; DPI through
// the sensor's scale (5300 is stored as stage value 49).
TEST_F(MouseCommandsTest, SetWritesOneRecordWithEveryNameAndTheScreenSizeGiven) {
  ASSERT_EQ(Set({"dpi.1=5300", "dpi.2=800x1600", "dpi.2.color=102030", "dpi-active=2", "polling-rate=4", "brightness=2",
                 "--screen", "1280x1024"})
                .status,
            0);
  EXPECT_EQ(Requests(0x01).size(), 1u);
  EXPECT_EQ(BytesOf(0x06), mouse::kWrittenBytes);
  const std::vector<std::uint8_t> record = Memory(MemoryRegion::kParameters, 0, mouse::kRecordSize);
  EXPECT_EQ(record[2], 2);
  EXPECT_EQ(record[11], 4);
  EXPECT_EQ(record[12], 2);
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 23, record.begin() + 41),
            (std::vector<std::uint8_t>{1, 0, 49, 0, 49, 0, 0x00, 0xFF, 0x00, 1, 1, 7, 0, 15, 0, 0x10, 0x20, 0x30}));
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 60, record.begin() + 64),
            (std::vector<std::uint8_t>{0x00, 0x05, 0x00, 0x04}));
  const std::vector<DpiStage> stages = Product()->profile().GetDpiStages();
  EXPECT_EQ(stages[1].dpi_x, 49);
  EXPECT_EQ(Product()->profile().GetActiveStage(), 2);
}

TEST_F(MouseCommandsTest, PointerAndWheelValuesStayInTheProfile) {
  ASSERT_EQ(Set({"pointer-speed=15", "wheel-lines=7", "wheel-page=1", "double-click-time=300"}).status, 0);
  EXPECT_TRUE(Requests().empty());
  const MouseSystem system = Product()->profile().GetMouseSystem();
  EXPECT_EQ(system.mouse_speed, 15);
  EXPECT_EQ(system.wheel_scroll_lines, 7);
  EXPECT_EQ(system.scroll_page, 1);
  EXPECT_EQ(system.double_click_time, 300);
}

TEST_F(MouseCommandsTest, RefusalsWriteNothing) {
  const std::string before = Run({"show", "mouse", "--json"}).out;
  struct Case {
    std::vector<std::string> words;
    std::string err;
  };
  const Case cases[] = {
      {{"dpi.1=10900"}, "no dpi.1 '10900' (0-10800, or XxY)"},
      {{"dpi.5=800"}, "no setting 'dpi.5'"},
      {{"polling-rate=5"}, "no polling-rate '5'"},
      {{"dpi-active=5"}, "no dpi-active '5'"},
      {{"dpi.0.color=red"}, "no dpi.0.color 'red'"},
      {{"mode=12"}, "no mode '12'"},
      {{"brightness=2", "pointer-speed=21"}, "no pointer-speed '21'"},
      {{"brightness=2", "--screen", "0x1080"}, "--screen takes WIDTHxHEIGHT"},
  };
  for (const Case& c : cases) {
    const DeviceReply reply = Set(c.words);
    EXPECT_EQ(reply.status, 2) << c.err;
    EXPECT_NE(reply.err.find(c.err), std::string::npos) << reply.err;
  }
  EXPECT_TRUE(Requests().empty());
  EXPECT_EQ(Run({"show", "mouse", "--json"}).out, before);
}

}  // namespace
}  // namespace brontal
