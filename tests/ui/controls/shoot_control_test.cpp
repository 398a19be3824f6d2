// The shipped shoot page in a window of its own, on a device folder of the
// test's: what a pick shows, how picks clamp, and what a store takes.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "profiles/json_document.h"
#include "ui/controls/shoot_control_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/test_window.h"

namespace brontal::testing {
namespace {

constexpr Shot kFirstShot = {.x = 3, .left = true, .y = 7, .up = false, .pause = 30};

class ShootPanelTest : public WindowFixture {
 public:
  ShootPanelTest() : WindowFixture(BRONTAL_SKIN_DIR "/XML/CustomControlXML/ShootControl.xml") {
    toolkit.Factory().Register("CShootControlUI", [] { return std::make_unique<CShootControlUI>(); });
    toolkit.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    std::string error;
    if (!toolkit.Resources().LoadLanguage("lang/en.xml", error)) throw std::runtime_error(error);
    if (!window.Create(nullptr, "Shoot")) throw std::runtime_error(window.GetCreateError());
    loop.RunUntilIdle();
    // The factory has gun 0 only: its first shot, then one of zero.
    ShootFiles factory(factory_.path(), factory_.path());
    if (!factory.StoreShot(0, 1, {}) || !factory.StoreShot(0, 0, kFirstShot)) throw std::runtime_error("no factory");
    Panel().ShowFiles(ShootFiles(folder_.path(), factory_.path()));
  }

  CShootControlUI& Panel() { return Find<CShootControlUI>(CShootControlUI::kItemName); }
  COptionUI& Option(std::string_view name) { return Find<COptionUI>(name); }
  std::string Text(std::string_view name) { return Find<CControlUI>(name).CControlUI::GetText(); }
  void Type(std::string_view field, std::string text) {
    ASSERT_TRUE(Find<CEditUI>(field).UserEditText(std::move(text))) << field;
  }
  Shot Stored(std::size_t gun, std::size_t shot) { return Panel().Files()->ReadShot(gun, shot); }

  test::TemporaryFolder folder_{"brontal_shoot_panel"};
  test::TemporaryFolder factory_{"brontal_shoot_panel_factory"};
};

TEST_F(ShootPanelTest, ShowsTheFirstShotOfGunZeroFromTheFactoryCopy) {
  EXPECT_TRUE(Panel().Usable());
  EXPECT_TRUE(Panel().IsEnabled());
  EXPECT_TRUE(Option("shoot_gun_op_0").IsSelected());
  EXPECT_TRUE(Option("bullet_op_0").IsSelected());
  EXPECT_EQ(Text("bullet_select_index"), "1");
  EXPECT_EQ(Text("bullet_x_eidt"), "3");
  EXPECT_EQ(Text("bullet_y_eidt"), "7");
  EXPECT_EQ(Text("bullet_delay_eidt"), "30");
  EXPECT_TRUE(Option("bullet_x_check").IsSelected());
  EXPECT_EQ(Text("bullet_x_check"), "mouse_move_to_left_text");
  EXPECT_FALSE(Option("bullet_y_check").IsSelected());
  EXPECT_EQ(Text("bullet_y_check"), "mouse_move_to_down_text");
  EXPECT_EQ(Find<CControlUI>("bullet_y_check").GetText(), "Move down");

  // A gun without a factory copy shows zeros.
  Panel().SelectGun(2);
  EXPECT_EQ(Find<CTabLayoutUI>("shoot_image_display_switch").GetCurSel(), 2);
  EXPECT_EQ(Text("bullet_x_eidt"), "0");
  EXPECT_EQ(Text("bullet_x_check"), "mouse_move_to_right_text");

  Panel().ShowFiles(std::nullopt);
  EXPECT_FALSE(Panel().IsEnabled());
}

TEST_F(ShootPanelTest, PicksStayWithinTheGunsAndShots) {
  struct Case {
    const char* what;
    void (*pick)(CShootControlUI&);
    std::size_t gun, shot;
  };
  const Case cases[] = {
      {"previous on shot 0",
       [](CShootControlUI& p) {
         p.SelectShot(0);
         p.StepShot(-1);
       },
       0, 0},
      {"next on shot 29",
       [](CShootControlUI& p) {
         p.SelectShot(29);
         p.StepShot(1);
       },
       0, 29},
      {"next on shot 28",
       [](CShootControlUI& p) {
         p.SelectShot(28);
         p.StepShot(1);
       },
       0, 29},
      {"shot 30", [](CShootControlUI& p) { p.SelectShot(30); }, 0, 29},
      {"shot -1", [](CShootControlUI& p) { p.SelectShot(-1); }, 0, 0},
      {"gun 4", [](CShootControlUI& p) { p.SelectGun(4); }, 3, 0},
      {"gun -1", [](CShootControlUI& p) { p.SelectGun(-1); }, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Panel().SelectGun(0);
    Panel().SelectShot(0);
    c.pick(Panel());
    EXPECT_EQ(Panel().gun(), c.gun);
    EXPECT_EQ(Panel().shot(), c.shot);
    EXPECT_EQ(Text("bullet_select_index"), std::to_string(c.shot + 1));
    for (std::size_t n = 0; n < kShotCount; ++n)
      EXPECT_EQ(Option("bullet_op_" + std::to_string(n)).IsSelected(), n == c.shot) << n;
    for (std::size_t n = 0; n < kGunCount; ++n)
      EXPECT_EQ(Option("shoot_gun_op_" + std::to_string(n)).IsSelected(), n == c.gun) << n;
  }
}

TEST_F(ShootPanelTest, ACheckChangedAloneIsLostOnTheNextPick) {
  ASSERT_TRUE(Option("bullet_x_check").Activate());  // the user clears it
  Panel().RelabelChecks();
  EXPECT_EQ(Text("bullet_x_check"), "mouse_move_to_right_text");
  Panel().SelectShot(1);
  Panel().SelectShot(0);
  EXPECT_TRUE(Option("bullet_x_check").IsSelected());
  EXPECT_EQ(Text("bullet_x_check"), "mouse_move_to_left_text");
  EXPECT_EQ(Stored(0, 0), kFirstShot);
}

TEST_F(ShootPanelTest, AStoreTakesFieldsAndChecksAndShowsWhatWasWritten) {
  Panel().SelectGun(1);  // no factory copy: the file starts here
  Panel().SelectShot(5);
  Type("bullet_x_eidt", "300");
  Type("bullet_y_eidt", "4 counts");
  Type("bullet_delay_eidt", "seventy");
  ASSERT_TRUE(Option("bullet_y_check").Activate());
  ASSERT_TRUE(Panel().StoreShot());
  EXPECT_EQ(Stored(1, 5), (Shot{.x = 255, .left = false, .y = 4, .up = true, .pause = 0}));
  EXPECT_EQ(Text("bullet_x_eidt"), "255");
  EXPECT_EQ(Text("bullet_delay_eidt"), "0");
  EXPECT_EQ(Text("bullet_y_check"), "mouse_move_to_up_text");
  const Json::Value events = ReadJsonDocument(Panel().Files()->Path(1))["Events"];
  ASSERT_EQ(events.size(), 36U);
  for (const Json::Value& event : events) EXPECT_TRUE(IsWellFormedMacroEvent(event)) << event;
  EXPECT_EQ(Stored(0, 0), kFirstShot);
}

// A pause no one can type (another program wrote it) is shown as the file
// holds it and stays through a store until the user types another.
TEST_F(ShootPanelTest, APauseBeyondWhatMayBeTypedIsKeptUntilTypedOver) {
  const Shot held = {.x = 1, .left = true, .y = 2, .up = true, .pause = 70000};
  ASSERT_TRUE(Panel().Files()->StoreShot(2, 0, held));
  Panel().SelectGun(2);
  Panel().SelectShot(0);
  EXPECT_EQ(Text("bullet_delay_eidt"), "70000");
  Type("bullet_x_eidt", "9");
  ASSERT_TRUE(Panel().StoreShot());
  EXPECT_EQ(Stored(2, 0), (Shot{.x = 9, .left = true, .y = 2, .up = true, .pause = 70000}));

  Type("bullet_delay_eidt", "80000");
  ASSERT_TRUE(Panel().StoreShot());
  EXPECT_EQ(Stored(2, 0).pause, 65535);
}

}  // namespace
}  // namespace brontal::testing
