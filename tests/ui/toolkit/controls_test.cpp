#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "test_window.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct NotificationCase {
  const char* name;
  std::function<void(ToolkitTest&)> act;
  std::vector<Note> expected;
};

class ControlsTest : public ToolkitTest, public ::testing::WithParamInterface<NotificationCase> {};

TEST_P(ControlsTest, SendsWhatTheSystemExpects) {
  GetParam().act(*this);
  EXPECT_THAT(window.notes, ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    UserAndProgram, ControlsTest,
    ::testing::Values(
        NotificationCase{"ButtonClick",
                         [](ToolkitTest& fixture) { fixture.Find<CButtonUI>("apply_btn").Activate(); },
                         {{"click", "apply_btn"}}},
        NotificationCase{"GroupOptionPicked",
                         [](ToolkitTest& fixture) { fixture.Find<COptionUI>("mode_b").Activate(); },
                         {{"selectchanged", "mode_b"}, {"click", "mode_b"}}},
        NotificationCase{"SelectedGroupOptionClickedAgain",
                         [](ToolkitTest& fixture) { fixture.Find<COptionUI>("mode_a").Activate(); },
                         {{"click", "mode_a"}}},
        NotificationCase{"CheckBoxToggledTwice",
                         [](ToolkitTest& fixture) {
                           fixture.Find<COptionUI>("auto_check").Activate();
                           fixture.Find<COptionUI>("auto_check").Activate();
                         },
                         {{"selectchanged", "auto_check"},
                          {"click", "auto_check"},
                          {"selectchanged", "auto_check"},
                          {"click", "auto_check"}}},
        NotificationCase{"SliderDraggedAndReleased",
                         [](ToolkitTest& fixture) {
                           auto& slider = fixture.Find<CSliderUI>("bright_slider");
                           slider.UserDrag(3);
                           slider.UserDrag(3);
                           slider.UserDrag(9);  // clamped to 4
                           slider.UserRelease(4);
                         },
                         {{"movevaluechanged", "bright_slider"},
                          {"movevaluechanged", "bright_slider"},
                          {"valuechanged", "bright_slider"}}},
        NotificationCase{"SliderReleasedWhereItWas",
                         [](ToolkitTest& fixture) { fixture.Find<CSliderUI>("bright_slider").UserRelease(2); },
                         {{"valuechanged", "bright_slider"}}},
        NotificationCase{"ComboItemChosenTwice",
                         [](ToolkitTest& fixture) {
                           fixture.Find<CComboUI>("mode_combo").UserSelectItem(1);
                           fixture.Find<CComboUI>("mode_combo").UserSelectItem(1);
                         },
                         {{"itemselect", "mode_combo", 1, -1}}},
        NotificationCase{"HiddenComboItemRefused",
                         [](ToolkitTest& fixture) { fixture.Find<CComboUI>("mode_combo").UserSelectItem(2); },
                         {}},
        NotificationCase{"EditTypedThenLeft",
                         [](ToolkitTest& fixture) {
                           auto& edit = fixture.Find<CEditUI>("red_edit");
                           fixture.window.GetPaintManager().SetFocus(&edit);
                           edit.UserEditText("12");
                           edit.UserEditText("12");
                           fixture.window.GetPaintManager().SetFocus(&fixture.Find<CSliderUI>("bright_slider"));
                         },
                         {{"textchanged", "red_edit"}, {"killfocus", "red_edit"}}},
        NotificationCase{"TabOptionSwitchesPage",
                         [](ToolkitTest& fixture) {
                           fixture.Find<COptionUI>("page_tab_1").Activate();
                           fixture.Find<CButtonUI>("page_1_btn").Activate();
                         },
                         {{"selectchanged", "page_tab_1"}, {"click", "page_tab_1"}, {"click", "page_1_btn"}}},
        NotificationCase{"ListRowClicked",
                         [](ToolkitTest& fixture) { fixture.Find<CListUI>("macro_list").UserClickItem(1); },
                         {{"itemselect", "macro_list", 1, -1}, {"itemclick", "", 1}}},
        NotificationCase{"KeyPadDoubleClicked",
                         [](ToolkitTest& fixture) {
                           TEventUI event(UiEventType::kDblClick);
                           fixture.Find<CButtonUI>("keypad").Event(event);
                         },
                         {{"dbclick", "keypad"}}},
        NotificationCase{"PressAndReleaseInside",
                         [](ToolkitTest& fixture) {
                           auto& button = fixture.Find<CButtonUI>("apply_btn");
                           button.SetPos({0, 0, 50, 30});
                           TEventUI down(UiEventType::kButtonDown, {10, 10});
                           TEventUI up(UiEventType::kButtonUp, {49, 29});
                           button.Event(down);
                           button.Event(up);
                         },
                         {{"click", "apply_btn"}}},
        NotificationCase{"ReleaseOutsideCancels",
                         [](ToolkitTest& fixture) {
                           auto& button = fixture.Find<CButtonUI>("apply_btn");
                           button.SetPos({0, 0, 50, 30});
                           TEventUI down(UiEventType::kButtonDown, {10, 10});
                           TEventUI up(UiEventType::kButtonUp, {50, 10});
                           button.Event(down);
                           button.Event(up);
                         },
                         {}},
        NotificationCase{"UnreachableControlsIgnoreUsers",
                         [](ToolkitTest& fixture) {
                           fixture.Find<CButtonUI>("inner_btn").Activate();   // parent disabled
                           fixture.Find<CButtonUI>("page_1_btn").Activate();  // page not shown
                           fixture.Find<CSliderUI>("bright_slider").SetEnabled(false);
                           fixture.Find<CSliderUI>("bright_slider").UserRelease(1);
                           fixture.Find<CComboUI>("mode_combo").SetVisible(false);
                           fixture.Find<CComboUI>("mode_combo").UserSelectItem(0);
                         },
                         {}},
        NotificationCase{"ProgrammaticChangesAreSilent",
                         [](ToolkitTest& fixture) {
                           fixture.Find<COptionUI>("mode_b").Selected(true, false);
                           fixture.Find<COptionUI>("auto_check").Selected(true, false);
                           fixture.Find<CSliderUI>("bright_slider").SetValue(4);
                           fixture.Find<CComboUI>("mode_combo").SelectItem(1, false);
                           fixture.Find<CEditUI>("red_edit").SetText("7");
                           fixture.Find<CTabLayoutUI>("pages").SelectItem(1);
                         },
                         {}}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(ToolkitTest, GroupSelectionIsExclusiveAndHandlersSeeTheNewState) {
  auto& a = Find<COptionUI>("mode_a");
  auto& b = Find<COptionUI>("mode_b");
  auto& check = Find<COptionUI>("auto_check");
  std::vector<bool> seen_in_click;
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.type == "click") seen_in_click.push_back(dynamic_cast<COptionUI&>(*msg.sender).IsSelected());
  };
  b.Activate();
  check.Activate();
  check.Activate();
  EXPECT_FALSE(a.IsSelected());
  EXPECT_TRUE(b.IsSelected());
  EXPECT_THAT(seen_in_click, ElementsAre(true, true, false));
}

TEST_F(ToolkitTest, BoundTabFollowsProgrammaticSelectionToo) {
  Find<COptionUI>("page_tab_1").Selected(true, false);
  EXPECT_EQ(Find<CTabLayoutUI>("pages").GetCurSel(), 1);
  EXPECT_FALSE(Find<COptionUI>("page_tab_0").IsSelected());
}

TEST_F(ToolkitTest, HandlerMayRemoveTheControlThatNotifies) {
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.type == "selectchanged") Find<CContainerUI>("toolbar").RemoveAll();
  };
  Find<COptionUI>("mode_b").Activate();
  EXPECT_THAT(window.notes, ElementsAre(Note{"selectchanged", "mode_b"}));
  EXPECT_EQ(window.GetPaintManager().FindControl("mode_b"), nullptr);
}

struct ShiftCase {
  const char* name;
  const char* owner;
  std::function<void(ToolkitTest&)> act;
  int expected;  // the selection the view last heard of
};

class SelectionShiftTest : public ToolkitTest, public ::testing::WithParamInterface<ShiftCase> {};

TEST_P(SelectionShiftTest, TheViewHearsWhereTheSelectionWent) {
  Find<CComboUI>("mode_combo").SelectItem(1, false);
  Find<CTabLayoutUI>("pages").SelectItem(1);
  CountingHost host;
  int heard = -2;
  host.on_changed = [&heard](CControlUI& control) {
    if (control.GetName() != GetParam().owner) return;
    if (const auto* list = dynamic_cast<const CListOwnerUI*>(&control)) heard = list->GetCurSel();
    if (const auto* tabs = dynamic_cast<const CTabLayoutUI*>(&control)) heard = tabs->GetCurSel();
  };
  toolkit.SetHost(&host);
  GetParam().act(*this);
  toolkit.SetHost(nullptr);
  EXPECT_EQ(heard, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ItemsMoved, SelectionShiftTest,
    ::testing::Values(ShiftCase{"ItemInsertedBeforeTheSelection", "mode_combo",
                                [](ToolkitTest& fixture) {
                                  fixture.Find<CComboUI>("mode_combo").AddAt(std::make_unique<CLabelUI>(), 0);
                                },
                                2},
                      ShiftCase{"SelectedItemRemoved", "mode_combo",
                                [](ToolkitTest& fixture) { fixture.Find<CComboUI>("mode_combo").RemoveAt(1); }, -1},
                      ShiftCase{"AllItemsRemoved", "mode_combo",
                                [](ToolkitTest& fixture) { fixture.Find<CComboUI>("mode_combo").RemoveAll(); }, -1},
                      ShiftCase{"PageInsertedBeforeTheCurrent", "pages",
                                [](ToolkitTest& fixture) {
                                  fixture.Find<CTabLayoutUI>("pages").AddAt(std::make_unique<CVerticalLayoutUI>(), 0);
                                },
                                2},
                      ShiftCase{"CurrentLastPageRemoved", "pages",
                                [](ToolkitTest& fixture) { fixture.Find<CTabLayoutUI>("pages").RemoveAt(1); }, 0}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

struct RemovalCase {
  int selected;
  int removed;
  int expected;  // selection afterwards
};

class ListOwnerRemovalTest : public ::testing::TestWithParam<RemovalCase> {};

TEST_P(ListOwnerRemovalTest, SelectionStaysOnTheSameItem) {
  CComboUI combo;
  for (const char* text : {"a", "b", "c"}) combo.AddTextItem(text);
  combo.SelectItem(GetParam().selected, false);
  combo.RemoveAt(GetParam().removed);
  EXPECT_EQ(combo.GetCurSel(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Removals, ListOwnerRemovalTest,
                         ::testing::Values(RemovalCase{1, 0, 0}, RemovalCase{1, 1, -1}, RemovalCase{1, 2, 1},
                                           RemovalCase{-1, 0, -1}));

TEST(ListOwnerTest, InsertionBeforeTheSelectionKeepsTheItem) {
  CListUI list;
  list.AddTextItem("a");
  list.AddTextItem("b");
  list.SelectItem(1, false);
  list.AddAt(std::make_unique<CLabelUI>(), 0);
  EXPECT_EQ(list.GetCurSel(), 2);
  EXPECT_FALSE(list.SelectItem(3, false));
  EXPECT_EQ(list.GetCurSel(), 2);
}

// A view rebuilds a list's rows on each change of its children.
TEST_F(ToolkitTest, ItemsAddedTogetherAreOneChangeAndJoinTheWindow) {
  class ChildrenCounter : public CountingHost {
   public:
    void ChildrenChanged(CContainerUI&) override { ++changes; }
    int changes = 0;
  } host;
  auto& list = Find<CListUI>("macro_list");
  list.SelectItem(1, false);
  std::vector<std::unique_ptr<CControlUI>> items;
  for (int i = 0; i < 3; ++i) items.push_back(std::make_unique<CLabelUI>());
  items.push_back(nullptr);
  toolkit.SetHost(&host);
  list.AddItems(std::move(items));
  toolkit.SetHost(nullptr);
  EXPECT_EQ(host.changes, 1);
  ASSERT_EQ(list.GetCount(), 5);
  EXPECT_EQ(list.GetCurSel(), 1);
  EXPECT_EQ(list.GetItemAt(4)->GetParent(), &list);
  EXPECT_TRUE(list.UserClickItem(4));
  EXPECT_EQ(window.notes.back(), (Note{"itemclick", "", 4, 0}));
}

TEST(TabLayoutTest, PagesAndRemoval) {
  CTabLayoutUI tabs;
  EXPECT_EQ(tabs.GetCurSel(), -1);
  for (int i = 0; i < 3; ++i) tabs.Add(std::make_unique<CVerticalLayoutUI>());
  EXPECT_EQ(tabs.GetCurSel(), 0);  // the first page by default
  ASSERT_TRUE(tabs.SelectItem(2));
  EXPECT_FALSE(tabs.SelectItem(3));
  tabs.RemoveAt(2);  // the current, last page: the one before takes over
  EXPECT_EQ(tabs.GetCurSel(), 1);
  tabs.AddAt(std::make_unique<CVerticalLayoutUI>(), 0);
  EXPECT_EQ(tabs.GetCurSel(), 2);
  EXPECT_TRUE(tabs.ShowsChild(*tabs.GetItemAt(2)));
  EXPECT_FALSE(tabs.ShowsChild(*tabs.GetItemAt(0)));
}

TEST(TabLayoutTest, LayoutChoiceWaitsForItsPage) {
  CTabLayoutUI tabs;
  ASSERT_TRUE(tabs.SetAttribute("selectedid", "2"));
  for (int i = 0; i < 3; ++i) tabs.Add(std::make_unique<CVerticalLayoutUI>());
  EXPECT_EQ(tabs.GetCurSel(), 2);
}

TEST(SliderTest, RangeStaysOrdered) {
  CSliderUI slider;
  slider.SetValue(50);
  slider.SetMaxValue(10);
  EXPECT_EQ(slider.GetValue(), 10);
  slider.SetMinValue(20);  // above the maximum: the maximum follows
  EXPECT_EQ(slider.GetMaxValue(), 20);
  EXPECT_EQ(slider.GetValue(), 20);
  slider.SetMaxValue(5);  // below the minimum: the minimum follows
  EXPECT_EQ(slider.GetMinValue(), 5);
  EXPECT_EQ(slider.GetValue(), 5);
}

}  // namespace
}  // namespace brontal::testing
