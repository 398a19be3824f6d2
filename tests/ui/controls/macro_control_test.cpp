// The shipped macro page in a window of its own, on a device folder of the
// test's: what its rows show, its number fields, and what a recording takes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "helpers/temporary_folder.h"
#include "macros/macro_file.h"
#include "ui/controls/macro_control_ui.h"
#include "ui/controls/redio_macro_button_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/test_window.h"

namespace brontal::testing {
namespace {

constexpr auto kStart = CaptureClock::time_point{} + std::chrono::hours(1);
constexpr auto kNow = std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 30);

class MacroPanelTest : public WindowFixture {
 public:
  MacroPanelTest() : WindowFixture(BRONTAL_SKIN_DIR "/XML/CustomControlXML/MacroControl.xml") {
    toolkit.Factory().Register("CMacroControlUI", [] { return std::make_unique<CMacroControlUI>(); });
    toolkit.Factory().Register("CRedioMacroButtonUI", [] { return std::make_unique<CRedioMacroButtonUI>(); });
    toolkit.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    std::string error;
    if (!toolkit.Resources().LoadLanguage("lang/en.xml", error)) throw std::runtime_error(error);
    if (!window.Create(nullptr, "Macros")) throw std::runtime_error(window.GetCreateError());
    loop.RunUntilIdle();
    Panel().ShowFolder(folder_.path());
  }

  CMacroControlUI& Panel() { return Find<CMacroControlUI>(CMacroControlUI::kItemName); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    const auto& list = Find<CListUI>("macro_action_list");
    for (int i = 0; i < list.GetCount(); ++i) rows.push_back(list.GetItemAt(i)->GetText());
    return rows;
  }
  std::string Note() { return Find<CControlUI>("macro_capture_note").GetText(); }
  void Type(std::string_view field, std::string text) {
    ASSERT_TRUE(Find<CEditUI>(field).UserEditText(std::move(text))) << field;
  }
  // A macro of `events`, open.
  void OpenMacro(const std::vector<MacroEvent>& events) {
    const std::optional<std::size_t> added = Panel().AddMacro(kNow);
    ASSERT_TRUE(added);
    ASSERT_TRUE(SaveMacroFile(folder_.path(), MacroIndex::Read(folder_.path()).Guid(*added), "m", events));
    Panel().Reload();
  }
  static CapturedInput Click(MouseButton button, bool down) {
    return {.event = CapturedButton{.button = button, .down = down, .in_window = std::nullopt}, .time = kStart};
  }

  test::TemporaryFolder folder_{"brontal_macro_panel"};
};

TEST_F(MacroPanelTest, RowsShowTheKeyOrButtonItsPressOrDistanceAndItsDelayInTheLanguage) {
  OpenMacro({{macro_event_type::kKey, 0x04, true, 12}, {macro_event_type::kModifierKey, 0x02, false, 0}});
  Type("mouse_x_left_edit", "300");
  ASSERT_EQ(Panel().InsertMovement(MacroMovement::kLeft), MacroEdit::kSaved);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A   down   12 ms", "Move left   255   50 ms", "LShift   up   0 ms"}));

  std::string error;
  ASSERT_TRUE(toolkit.Resources().LoadLanguage("lang/zh_CN.xml", error)) << error;
  EXPECT_EQ(Rows()[1], "向左移动   255   50 毫秒");
}

TEST_F(MacroPanelTest, NumberFieldsKeepTheirDigits) {
  OpenMacro({{macro_event_type::kKey, 0x04, true, 12}});
  Find<CListUI>("macro_action_list").UserSelectItem(0);
  struct Case {
    std::string_view field;
    std::string typed, kept;
  };
  const Case cases[] = {
      {"macro_delay", "12a3", "123"},     {"macro_delay", "1234567", "123456"},  {"macro_fixed_time_edit", "-70", "70"},
      {"mouse_y_down_edit", "1e3", "13"}, {"mouse_x_right_edit", "2550", "255"},
  };
  for (const Case& c : cases) {
    Type(c.field, c.typed);
    EXPECT_EQ(Find<CEditUI>(c.field).GetText(), c.kept) << c.field << " " << c.typed;
  }
}

TEST_F(MacroPanelTest, TheDelayFieldFollowsThePickedEventAndCommitsToIt) {
  OpenMacro({{macro_event_type::kKey, 0x04, true, 12}, {macro_event_type::kKey, 0x04, false, 34}});
  auto& list = Find<CListUI>("macro_action_list");
  EXPECT_FALSE(Find<CEditUI>("macro_delay").IsEnabled());
  list.UserSelectItem(1);
  EXPECT_EQ(Find<CEditUI>("macro_delay").GetText(), "34");
  // Picking another event commits what was typed for this one first.
  Type("macro_delay", "70000");
  list.UserSelectItem(0);
  EXPECT_EQ(Find<CEditUI>("macro_delay").GetText(), "12");
  EXPECT_EQ(Panel().Events()[1].delay, 65535);
  EXPECT_EQ(LoadMacroEvents(folder_.path(), MacroIndex::Read(folder_.path()).Guid(0))[1].delay, 65535);
}

// Delays no one can type (another program wrote them) show as 65535 at most
// and stay as the file holds them through picks and saves until the user
// types another.
TEST_F(MacroPanelTest, ADelayBeyondWhatMayBeTypedIsKeptUntilTypedOver) {
  OpenMacro({{macro_event_type::kKey, 0x04, true, 70000}, {macro_event_type::kKey, 0x04, false, -5}});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A   down   65535 ms", "A   up   -5 ms"}));
  auto& list = Find<CListUI>("macro_action_list");
  list.UserSelectItem(0);
  EXPECT_EQ(Find<CEditUI>("macro_delay").GetText(), "65535");
  list.UserSelectItem(1);
  EXPECT_EQ(Find<CEditUI>("macro_delay").GetText(), "-5");
  list.UserSelectItem(0);
  EXPECT_EQ(Panel().Save(), MacroEdit::kSaved);
  const auto stored = [&] { return LoadMacroEvents(folder_.path(), MacroIndex::Read(folder_.path()).Guid(0)); };
  ASSERT_EQ(stored().size(), 2u);
  EXPECT_EQ(stored()[0].delay, 70000);
  EXPECT_EQ(stored()[1].delay, -5);

  Type("macro_delay", "80000");
  list.UserSelectItem(1);
  EXPECT_EQ(stored()[0].delay, 65535);
  EXPECT_EQ(stored()[1].delay, -5);
}

TEST_F(MacroPanelTest, RecordItemsTakeTheirDelayModeOrTheCheckBoxs) {
  struct Case {
    std::string_view command;
    bool fixed_checked;
    RecordingKind kind;
    DelayMode mode;
  };
  const Case cases[] = {
      {"macro_btn_starredio", false, RecordingKind::kAppend, DelayMode::kRecorded},
      {"macro_btn_starredio", true, RecordingKind::kAppend, DelayMode::kFixed},
      {"redio_previous_record_time", true, RecordingKind::kInsertBefore, DelayMode::kFixed},
      {"redio_later_record_time", false, RecordingKind::kInsertAfter, DelayMode::kRecorded},
      {"redio_previous_ignore_time", true, RecordingKind::kInsertBefore, DelayMode::kNone},
      {"redio_later_constant_time", false, RecordingKind::kInsertAfter, DelayMode::kFixed},
      {"macro_action_edit", true, RecordingKind::kReplace, DelayMode::kNone},
  };
  for (const Case& c : cases) {
    Find<COptionUI>("macro_check_time").Selected(c.fixed_checked, false);
    const auto choice = Panel().RecordingOf(c.command);
    ASSERT_TRUE(choice) << c.command;
    EXPECT_EQ(choice->kind, c.kind) << c.command;
    EXPECT_EQ(choice->mode, c.mode) << c.command;
  }
  EXPECT_FALSE(Panel().RecordingOf("left_click"));
}

// The system-wide captures report clicks without a place: the stop button
// itself says whether the pointer is over it.
TEST_F(MacroPanelTest, ALeftClickWhileThePointerIsOverTheStopButtonIsNotRecorded) {
  OpenMacro({});
  ASSERT_TRUE(Panel().StartRecording({RecordingKind::kAppend, DelayMode::kNone}, kStart));
  auto& stop = Find<CRedioMacroButtonUI>("macro_btn_stopredio");
  EXPECT_TRUE(stop.IsVisible());
  stop.SetPos({600, 20, 700, 50});
  TEventUI enter(UiEventType::kMouseEnter, {650, 30});
  stop.Event(enter);
  for (MouseButton button : {MouseButton::kLeft, MouseButton::kRight})
    for (bool down : {true, false}) Panel().Record(Click(button, down));
  TEventUI leave(UiEventType::kMouseLeave, {710, 30});
  stop.Event(leave);
  Panel().Record(Click(MouseButton::kLeft, true));

  const std::vector<MacroEvent> recorded(Panel().Events().begin(), Panel().Events().end());
  EXPECT_EQ(recorded, (std::vector<MacroEvent>{{macro_event_type::kMouseButton, 0x02, true, 0},
                                               {macro_event_type::kMouseButton, 0x02, false, 0},
                                               {macro_event_type::kMouseButton, 0x01, true, 0}}));
  EXPECT_EQ(Panel().StopRecording(), MacroEdit::kSaved);
  EXPECT_EQ(LoadMacroEvents(folder_.path(), MacroIndex::Read(folder_.path()).Guid(0)), recorded);
}

TEST_F(MacroPanelTest, AFullListTellsThatNothingMoreIsRecorded) {
  const std::vector<MacroEvent> full(kRecordingRowLimit, MacroEvent{macro_event_type::kKey, 0x05, true, 1});
  OpenMacro(full);
  Panel().ShowCaptureBackend(CaptureBackend::kOwnWindow);
  const std::string backend = Note();
  ASSERT_TRUE(Panel().StartRecording({RecordingKind::kAppend, DelayMode::kNone}, kStart));
  Panel().Record(Click(MouseButton::kMiddle, true));
  EXPECT_EQ(Panel().Events().size(), kRecordingRowLimit);
  EXPECT_EQ(Note(), toolkit.Resources().Translate("macro_row_limit_text"));
  // The next recording says again whose input it takes.
  Panel().StopRecording();
  ASSERT_TRUE(Panel().StartRecording({RecordingKind::kAppend, DelayMode::kNone}, kStart));
  EXPECT_EQ(Note(), backend);
}

}  // namespace
}  // namespace brontal::testing
