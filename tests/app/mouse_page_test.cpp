// The mouse's pages on a simulated mouse: their controls through the main
// window's routes, read back from the profile and from the settings record
// that reached the simulated mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window_fixture.h"
#include "device_access/command_codes.h"
#include "devices/device_option_ui.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "models/memory_layout.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

class MousePageTest : public MainWindowTest {
 protected:
  MousePageTest() {
    ConnectAndShow<CCorvaneMouseDevice>();
    Device().Journal().Clear();
  }

  CCorvaneMouseDevice* Mouse() { return First<CCorvaneMouseDevice>(); }
  sim::SimulatedDevice& Device() { return *simulation_.simulator().Device(0x320F, 0x2003); }

  // The mouse page's control (the keyboard's page has report rate options of the same names).
  template <typename T = CControlUI>
  T& Part(const std::string& name) {
    return dynamic_cast<T&>(*CPaintManagerUI::FindSubControlByName(&Control("cursor_page"), name));
  }
  void Click(const std::string& name) {
    ASSERT_TRUE(Part(name).Activate()) << name;
    loop_.RunUntilIdle();
  }
  void Slide(const std::string& name, int value) {
    ASSERT_TRUE(Part<CSliderUI>(name).UserRelease(value)) << name;
    loop_.RunUntilIdle();
  }
  void Type(const std::string& field, std::string text) {
    window_.GetPaintManager().SetFocus(&Part(field));
    ASSERT_TRUE(Part<CEditUI>(field).UserEditText(std::move(text))) << field;
    window_.GetPaintManager().SetFocus(nullptr);
    loop_.RunUntilIdle();
  }
  bool Selected(const std::string& name) { return Part<COptionUI>(name).IsSelected(); }

  // Whether byte `at` of the settings record on the mouse comes to hold
  // `value` (the writes are the I/O thread's, and coalesce).
  bool RecordByteBecomes(std::size_t at, std::uint8_t value) {
    return PumpUntil([&] {
      const auto record = Device().ReadMemory(MemoryRegion::kParameters, 0, mouse::kRecordSize);
      return record && (*record)[at] == value;
    });
  }
  // Clears the journal once the write under way has ended its transaction.
  void ClearJournalAfterTheWrite() {
    EXPECT_TRUE(PumpUntil([&] {
      const std::vector<sim::JournalEntry> entries = Device().Journal().Entries();
      return !entries.empty() && entries.back().command == command::kEnd;
    }));
    Device().Journal().Clear();
  }
  bool Wrote() {
    for (const sim::JournalEntry& e : Device().Journal().Entries())
      if (e.command == command::kWriteParameters) return true;
    return false;
  }
  std::vector<DpiStage> Stages() { return Mouse()->profile().GetDpiStages(); }
};

TEST_F(MousePageTest, TheActiveStageCannotBeSwitchedOffOnceThePageIsShown) {
  const int active = Mouse()->profile().GetActiveStage();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Part("DPI_enable_check_" + std::to_string(i)).IsEnabled(), i != active) << i;
  EXPECT_TRUE(Selected("DPI_select_check_" + std::to_string(active)));
}

TEST_F(MousePageTest, TheLastStageLeftOnCannotBeSwitchedOffAndSwitchingOneOnFreesThemAll) {
  Click("DPI_select_check_0");
  for (const std::string stage : {"1", "2", "3"}) Click("DPI_enable_check_" + stage);
  EXPECT_TRUE(Part("DPI_enable_check_4").IsEnabled());
  Click("DPI_enable_check_4");
  // Stage 0 is the one left, and the active one.
  EXPECT_FALSE(Part("DPI_enable_check_0").IsEnabled());
  EXPECT_FALSE(Part("DPI_layout_4").IsEnabled());
  EXPECT_EQ(Stages()[4].enabled, 0);
  Click("DPI_enable_check_2");
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(Part("DPI_enable_check_" + std::to_string(i)).IsEnabled()) << i;
  EXPECT_TRUE(RecordByteBecomes(14 + 9 * 2, 1));
}

TEST_F(MousePageTest, ChoosingTheActiveStageStoresEverySlidersValue) {
  Part<CSliderUI>("DPI_slider_3").SetValue(30);  // moved without its release reaching the profile
  Click("DPI_select_check_2");
  EXPECT_EQ(Mouse()->profile().GetActiveStage(), 2);
  EXPECT_FALSE(Part("DPI_enable_check_2").IsEnabled());
  EXPECT_TRUE(Selected("DPI_select_check_2"));
  EXPECT_FALSE(Selected("DPI_select_check_0"));
  EXPECT_EQ(Stages()[3].dpi_x, 30);
  EXPECT_EQ(Part("DPI_edit_3").GetText(), "3100");
  EXPECT_TRUE(RecordByteBecomes(12, 2));
  EXPECT_TRUE(RecordByteBecomes(14 + 9 * 3 + 2, 30));
}

TEST_F(MousePageTest, EditsAndSlidersGoThroughTheSensorsScale) {
  struct Case {
    std::string text;
    int stage_value;
    std::string shown;
  };
  // 5300 lands on the upper range's 49, which shows 5100; nothing typed is the base DPI.
  for (const Case& c :
       {Case{"5300", 49, "5100"}, Case{"", 0, "100"}, Case{"99999", 108, "16900"}, Case{"800", 7, "800"}}) {
    Type("DPI_edit_1", c.text);
    EXPECT_EQ(Stages()[1].dpi_x, c.stage_value) << c.text;
    EXPECT_EQ(Part("DPI_edit_1").GetText(), c.shown) << c.text;
    EXPECT_EQ(Part<CSliderUI>("DPI_slider_1").GetValue(), c.stage_value) << c.text;
  }
  Device().Journal().Clear();
  Slide("DPI_slider_4", 50);
  EXPECT_EQ(Part("DPI_edit_4").GetText(), "5300");
  EXPECT_TRUE(RecordByteBecomes(14 + 9 * 4 + 2, 50));
}

TEST_F(MousePageTest, TheReportRateIsWrittenAndThePointerValuesStayInTheProfile) {
  Click("mouse_device_seting_option_1");
  Click("polling_rate_option_4");
  EXPECT_TRUE(RecordByteBecomes(11, 4));
  EXPECT_FALSE(Selected("polling_rate_option_0"));
  EXPECT_EQ(Mouse()->profile().GetMouseSystem().report_rate, 4);

  ClearJournalAfterTheWrite();
  Click("scrolls_page_check");
  EXPECT_EQ(Mouse()->profile().GetMouseSystem().scroll_page, 1);
  Slide("scroll_speed_slider", 7);
  Slide("pointer_speed_slider", 14);
  Slide("double_click_slider", 350);
  const MouseSystem system = Mouse()->profile().GetMouseSystem();
  EXPECT_FALSE(Selected("scrolls_page_check"));
  EXPECT_EQ(system.scroll_page, 0);
  EXPECT_EQ(system.wheel_scroll_lines, 7);
  EXPECT_EQ(system.mouse_speed, 14);
  EXPECT_EQ(system.double_click_time, 350);
  EXPECT_FALSE(Wrote());
}

// The factory surfaces: Standard (0, 0), Cloth (2, 4), Hard (4, 8).
TEST_F(MousePageTest, AChosenSurfaceGoesIntoTheRecordAndTheProfile) {
  Click("mouse_device_seting_option_1");
  auto& surfaces = Part<CComboUI>("surface_correction_combo");
  ASSERT_EQ(surfaces.GetCount(), 3);
  EXPECT_EQ(surfaces.GetCurSel(), 0);
  ASSERT_TRUE(surfaces.UserSelectItem(1));
  loop_.RunUntilIdle();
  EXPECT_TRUE(RecordByteBecomes(64, 2));
  EXPECT_TRUE(RecordByteBecomes(65, 4));
  const std::vector<SurfaceCorrection> stored = Mouse()->profile().GetCorrections();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0].select, 0);
  EXPECT_EQ(stored[1].select, 1);
  EXPECT_EQ(stored[1].name, "Cloth");
}

TEST_F(MousePageTest, PageOptionsShowTheirPageAndOneOutOfRangeTheFirst) {
  Click("mouse_device_seting_option_2");
  EXPECT_EQ(Part<CTabLayoutUI>("mouse_device_seting_tab").GetCurSel(), 2);
  EXPECT_TRUE(Selected("mouse_device_seting_option_2"));
  Click("mouse_device_seting_option_0");
  EXPECT_EQ(Part<CTabLayoutUI>("mouse_device_seting_tab").GetCurSel(), 0);
}

}  // namespace
}  // namespace brontal
