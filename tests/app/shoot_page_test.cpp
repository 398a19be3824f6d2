// The shoot page on a simulated mouse: its controls through the main
// window's routes, read back from the mouse's shoot files, with the file
// choosers and the send to the mouse answered by the test.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window_fixture.h"
#include "app/message_boxes.h"
#include "app/shoot_panel_actions.h"
#include "devices/device_option_ui.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "profiles/json_document.h"
#include "ui/controls/shoot_control_ui.h"
#include "ui/toolkit/edit.h"

namespace brontal {
namespace {

std::string FileText(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  return text.str();
}

// A pattern file of `events` left presses.
void WritePattern(const std::filesystem::path& file, std::size_t events) {
  std::string text = R"({"Events": [)";
  for (std::size_t i = 0; i < events; ++i)
    text += std::string(i ? "," : "") + R"({"Action": "down", "Button": 1, "Delay": 0, "Type": 1})";
  std::ofstream(file) << text + "]}";
}

class ShootPageTest : public MainWindowTest {
 protected:
  ShootPageTest() {
    EXPECT_TRUE(PumpUntil([&] { return Mouse() && Mouse()->channel().open(); }));
    loop_.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return Mouse()->ready(); }));
    window_.roster().ShowEntry(*Mouse()->entry());
    window_.SetRouteHandler(Route::kShootPanel,
                            [this](const RoutedNotify& route, TNotifyUI& msg) { actions_.OnNotify(route, msg); });
    actions_.send_patterns = [this](const ShootPatterns& patterns) { sent_.push_back(patterns); };
    actions_.ShowSelectedDevice();
    // The patterns' page of the mouse's pages.
    EXPECT_TRUE(Control("mouse_device_seting_option_2").Activate());
    loop_.RunUntilIdle();
  }

  CCorvaneMouseDevice* Mouse() { return First<CCorvaneMouseDevice>(); }
  CShootControlUI& Panel() { return dynamic_cast<CShootControlUI&>(Control(CShootControlUI::kItemName)); }
  void Press(std::string_view name) {
    boxes_.asked.clear();
    ASSERT_TRUE(dynamic_cast<CButtonUI&>(Control(name)).Activate()) << name;
    loop_.RunUntilIdle();
  }
  // Typed into a field that then loses the focus.
  void Commit(std::string_view field, std::string text) {
    window_.GetPaintManager().SetFocus(&Control(field));
    ASSERT_TRUE(dynamic_cast<CEditUI&>(Control(field)).UserEditText(std::move(text))) << field;
    window_.GetPaintManager().SetFocus(nullptr);
    loop_.RunUntilIdle();
  }
  std::filesystem::path GunFile(std::size_t gun) { return Mouse()->UserDataFolder() / ShootFileName(gun); }
  std::string Text(std::string_view id) { return toolkit_.Resources().Translate(id); }

  ShootPanelActions actions_{window_, desktop_};
  MessageBoxes boxes_{toolkit_};
  std::vector<ShootPatterns> sent_;
  test::TemporaryFolder outside_{"brontal_shoot_files"};
};

TEST_F(ShootPageTest, PicksAndLeftFieldsReachTheFileOfThePickedShot) {
  EXPECT_EQ(MacroEventsOf(ReadJsonDocument(GunFile(3))).size(), kShotCount * kShotEvents);  // the factory copy
  Press("shoot_gun_op_2");
  Press("bullet_op_29");
  Press("bullet_selected_next");
  EXPECT_EQ(Panel().shot(), 29U);
  Press("bullet_selected_prev");
  Commit("bullet_y_eidt", "9");
  EXPECT_EQ(ShootFiles(Mouse()->UserDataFolder(), {}).ReadShot(2, 28).y, 9);
  EXPECT_EQ(Control("bullet_select_index").GetText(), "29");
  EXPECT_TRUE(boxes_.asked.empty());
}

TEST_F(ShootPageTest, ImportRefusesOrCutsWithAWordAndExportCopies) {
  const std::filesystem::path source = outside_.path() / "mine.shoot";
  desktop_.chosen_file = source;
  std::ofstream(source) << R"({"Events": [{"Type": 10}]})";
  const std::string before = FileText(GunFile(0));
  Press("shootdate_import_btn");
  ASSERT_EQ(boxes_.asked.size(), 1U);
  EXPECT_TRUE(boxes_.asked[0].starts_with(Text("shoot_import_refused_text") + "\nmine.shoot ")) << boxes_.asked[0];
  EXPECT_EQ(FileText(GunFile(0)), before);

  actions_.memory_bytes = [] { return std::optional<std::size_t>(2048); };  // 120 events a gun
  WritePattern(source, 180);
  Press("shootdate_import_btn");
  EXPECT_EQ(MacroEventsOf(ReadJsonDocument(GunFile(0))).size(), 120U);
  ASSERT_EQ(boxes_.asked.size(), 1U);
  EXPECT_NE(boxes_.asked[0].find("120"), std::string::npos) << boxes_.asked[0];

  desktop_.chosen_file = outside_.path() / "out.shoot";
  Press("shootdate_export_btn");
  EXPECT_EQ(FileText(desktop_.chosen_file), FileText(GunFile(0)));
}

TEST_F(ShootPageTest, SendHandsOverTheFourPatternsOnlyWhenTheirImageFits) {
  Press("shootdate_save_btn");
  ASSERT_EQ(sent_.size(), 1U);
  for (std::size_t gun = 0; gun < kGunCount; ++gun)
    EXPECT_EQ(sent_[0][gun], MacroEventsOf(ReadJsonDocument(GunFile(gun)))) << gun;

  // Edited by hand past the image's 16-bit length: 40 + 4 × (540 + 15840) bytes.
  WritePattern(GunFile(1), 15840);
  Press("shootdate_save_btn");
  EXPECT_EQ(sent_.size(), 1U);
  ASSERT_EQ(boxes_.asked.size(), 1U);
  EXPECT_NE(boxes_.asked[0].find(std::to_string((40 + 4 * (540 + 15840) - 65535) / 4 + 1)), std::string::npos)
      << boxes_.asked[0];
}

TEST_F(ShootPageTest, ResetBringsTheFactoryPatternBack) {
  Commit("bullet_x_eidt", "40");
  ASSERT_NE(FileText(GunFile(0)), FileText(CCorvaneUSBDevice::DefaultDataFolder() / ShootFileName(0)));
  Press("shootdate_reset_btn");
  EXPECT_EQ(FileText(GunFile(0)), FileText(CCorvaneUSBDevice::DefaultDataFolder() / ShootFileName(0)));
  EXPECT_EQ(Control("bullet_x_eidt").GetText(),
            std::to_string(ShootFiles(Mouse()->UserDataFolder(), {}).ReadShot(0, 0).x));
}

}  // namespace
}  // namespace brontal
