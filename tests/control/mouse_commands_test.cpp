// brontalctl's mouse commands on the simulated mouse, as the owning program runs them.
#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>

#include "control/device_command_fixture.h"
#include "control/device_commands.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "models/memory_layout.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

constexpr std::size_t kTableStride = 0x180;     // one on-board index's key table
constexpr Json::ArrayIndex kMissingButton = 7;  // the simulated mouse has no DPI-cycle button

class MouseCommandsTest : public test::DeviceCommandFixture<CCorvaneMouseDevice> {
 protected:
  MouseCommandsTest() : DeviceCommandFixture(0x2003) {}
  DeviceReply Set(std::vector<std::string> words) {
    words.insert(words.begin(), {"set", "mouse"});
    return Run(std::move(words));
  }
  DeviceReply Assign(std::vector<std::string> words) {
    words.insert(words.begin(), {"assign", "mouse"});
    return Run(std::move(words));
  }
  // What on-board index `index` holds at a button's slot.
  std::vector<std::uint8_t> Held(int index, std::size_t button) {
    return Memory(MemoryRegion::kKeyTables, index * kTableStride + Product()->button_slots()[button] * 3u, 3);
  }
  KeyAction SavedAction(std::size_t button) {
    CMouseProfiledata saved;
    saved.Load(Product()->profile().ProfilePath());
    return saved.GetKeyList().at(button).assignment;
  }
  static std::vector<MacroEvent> Presses(std::size_t count) {
    return std::vector<MacroEvent>(count, MacroEvent{macro_event_type::kKey, 0x04, true, 1});
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

TEST_F(MouseCommandsTest, TheSurfaceIsChosenByNameOrPlaceAndSent) {
  ASSERT_EQ(Set({"surface=hard"}).status, 0);
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 64, 2), (std::vector<std::uint8_t>{4, 8}));
  ASSERT_EQ(Set({"surface=1"}).status, 0);
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 64, 2), (std::vector<std::uint8_t>{2, 4}));
  EXPECT_NE(Run({"show", "mouse"}).out.find("surface = Cloth"), std::string::npos);
  const DeviceReply refused = Set({"surface=glass"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("no surface 'glass'"), std::string::npos) << refused.err;
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
      {{"dpi-active=2", "dpi.2.enabled=0"}, "the active DPI stage cannot be switched off"},
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

// The mouse's own functions and a macro by its name, in one write after the
// macro download; the macro's number on the mouse is its slot in the image.
TEST_F(MouseCommandsTest, AssignDownloadsTheMacrosThenWritesEveryButtonInOneKeyTableWrite) {
  SaveMacros(Product()->UserDataFolder(), {Presses(1), Presses(2)});
  const DeviceReply reply =
      Assign({"2=gun_2", "3=macro:m1:mode=1", "4=mouse_key_dpi_loop", "0=media_play", "--index", "2"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x03, 0x01, 0x15, 0x02, 0x03, 0x01, 0x09, 0x02}));
  ASSERT_EQ(Requests(0x09).size(), 1u);
  EXPECT_EQ(Requests(0x09).front().address, 2 * kTableStride);
  EXPECT_EQ(Held(2, 2), (std::vector<std::uint8_t>{0x72, 0x01, 0x00}));
  EXPECT_EQ(Held(2, 3), (std::vector<std::uint8_t>{0x70, 0x00, 0x01}));
  EXPECT_EQ(Held(2, 4), (std::vector<std::uint8_t>{0x13, 0x03, 0x00}));
  EXPECT_EQ(Held(2, 0), (std::vector<std::uint8_t>{0x30, 0xCD, 0x00}));
  // The profile keeps the macro's index in the macro list.
  EXPECT_EQ(SavedAction(3), (KeyAction{0x70, 0x01, 0x01}));
  EXPECT_EQ(Product()->keys()[3].assignment, (KeyAction{0x70, 0x01, 0x01}));

  Json::Value rows;
  ASSERT_TRUE(Json::Reader().parse(Run({"keys", "mouse", "--json"}).out, rows));
  ASSERT_EQ(rows.size(), kMouseButtonCount);
  EXPECT_EQ(rows[2]["action"], "720100");
  EXPECT_EQ(rows[2]["default"], "100400");
  EXPECT_EQ(rows[3]["slot"].asUInt(), Product()->button_slots()[3]);
  EXPECT_TRUE(rows[kMissingButton]["slot"].isNull());
  const std::string text = Run({"keys", "mouse"}).out;
  EXPECT_NE(text.find("     7  none  130300  130300\n"), std::string::npos) << text;
}

// Another index than the profile's shows the profile that fills it, not the current one.
TEST_F(MouseCommandsTest, KeysOfAnotherIndexShowTheProfileAtThatPosition) {
  ASSERT_EQ(Assign({"1=media_play"}).status, 0);
  const int other = Product()->ProfilePosition() == 1 ? 2 : 1;
  Json::Value current, at_other;
  ASSERT_TRUE(Json::Reader().parse(Run({"keys", "mouse", "--json"}).out, current));
  ASSERT_TRUE(Json::Reader().parse(Run({"keys", "mouse", "--json", "--index", std::to_string(other)}).out, at_other));
  EXPECT_EQ(current[1]["action"], "30cd00");
  EXPECT_EQ(at_other[1]["action"], "100200");
}

TEST_F(MouseCommandsTest, RefusedButtonsAndActionsChangeNothing) {
  SaveMacros(Product()->UserDataFolder(), {Presses(1)});
  const auto written = std::filesystem::last_write_time(Product()->profile().ProfilePath());
  const std::vector<KeyAssignment> keys = Product()->keys();
  struct Case {
    std::vector<std::string> args;
    std::string_view reason;
  };
  const Case cases[] = {
      {{"assign", "mouse", "3=media_play", std::to_string(kMissingButton) + "=media_play"},
       "button 7 is not on this mouse"},
      {{"assign", "mouse", "11=media_play"}, "not a mouse button 0..10"},
      {{"assign", "mouse", "left=media_play"}, "not a mouse button"},
      {{"assign", "mouse", "3=media_plya"}, "not an action"},
      {{"assign", "mouse", "3"}, "not NAME=VALUE"},
      {{"assign", "mouse", "3=media_play", "4=macro:Nothing"}, "no macro is named 'Nothing'"},
      {{"assign", "mouse", "3=macro:m0:mode=4"}, "play mode is 0..3"},
      {{"assign", "mouse", "3=media_play", "--fn"}, "no Fn layer"},
      {{"assign", "mouse", "3=media_play", "--index", "4"}, "--index takes an on-board index 0..3"},
      {{"assign", "mouse"}, "nothing to assign"},
      {{"keys", "mouse", "--fn"}, "no Fn layer"},
      {{"keys", "mouse", "3"}, "unexpected argument"},
  };
  for (const Case& c : cases) {
    const DeviceReply reply = Run(c.args);
    EXPECT_EQ(reply.status, 2) << c.args.back();
    EXPECT_NE(reply.err.find(c.reason), std::string::npos) << reply.err;
  }
  EXPECT_TRUE(Requests().empty());
  EXPECT_EQ(std::filesystem::last_write_time(Product()->profile().ProfilePath()), written);
  EXPECT_EQ(Product()->keys(), keys);
}

// Macros past the mouse's macro memory: the key table is not written, as the
// keyboard's assign reports it, and the profile keeps the choice.
TEST_F(MouseCommandsTest, MacrosTheMouseCannotHoldLeaveItsKeyTableUnwritten) {
  SaveMacros(Product()->UserDataFolder(), {Presses(Product()->info().macro_memory_bytes() / 4)});
  const DeviceReply reply = Assign({"3=macro:m0", "2=media_play"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("do not fit the mouse's macro memory"), std::string::npos) << reply.err;
  EXPECT_NE(reply.err.find("the key table was not written (saved in the profile)"), std::string::npos) << reply.err;
  EXPECT_TRUE(Requests(0x09).empty());
  EXPECT_EQ(SavedAction(2), (KeyAction{0x30, 0xCD, 0x00}));
}

}  // namespace
}  // namespace brontal
