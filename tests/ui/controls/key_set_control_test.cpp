// The key assignment panel on the shipped layout: what it shows for each kind
// of action, what it builds from the user's choices, key capture, and the
// macro choice list.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/controls/key_capture_field_ui.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/test_window.h"

namespace brontal::testing {
namespace {

using Layer = CKeySetControlUI::Layer;
using DeviceKind = CKeySetControlUI::DeviceKind;

constexpr KeyAction kDefault = {0x20, 0x00, 0x29};  // Esc

KeyAssignment Key(KeyAction action, KeyAction default_action = kDefault) {
  KeyAssignment key;
  key.key_index = 7;
  key.default_key_index = 7;
  key.assignment = action;
  key.default_action = default_action;
  return key;
}

class KeySetPanelTest : public WindowFixture {
 public:
  KeySetPanelTest() : WindowFixture(BRONTAL_SKIN_DIR "/XML/CustomControlXML/KeySetControl.xml") {
    toolkit.Factory().Register("CKeySetControlUI", [] { return std::make_unique<CKeySetControlUI>(); });
    toolkit.Factory().Register("CKeyCaptureFieldUI", [] { return std::make_unique<CKeyCaptureFieldUI>(); });
    if (!window.Create(nullptr, "Keys")) throw std::runtime_error(window.GetCreateError());
    loop.RunUntilIdle();
    Panel().SetDeviceKind(DeviceKind::kKeyboard);
    Panel().FillMacroList(std::vector<std::string>{"first", "second"});
    window.notes.clear();
  }

  CKeySetControlUI& Panel() { return Find<CKeySetControlUI>(CKeySetControlUI::kItemName); }
  int Selection(std::string_view combo) { return Find<CComboUI>(combo).GetCurSel(); }
  std::string Text(std::string_view name) { return Find<CControlUI>(name).CControlUI::GetText(); }
  bool Shown(std::string_view name) { return Find<CControlUI>(name).IsVisible(); }
  std::optional<int> Modifier() {
    std::optional<int> selected;
    for (int i = 0; i < 5; ++i)
      if (Find<COptionUI>("key_ComBox_check_" + std::to_string(i)).IsSelected()) selected = i;
    return selected;
  }
  // What the main window does with a pick: the panel follows it first.
  void Pick(std::string_view combo, int item) {
    ASSERT_TRUE(Find<CComboUI>(combo).UserSelectItem(item)) << combo << " " << item;
    Panel().OnItemPicked(combo);
  }
  void PickKind(int kind) {
    auto& kinds = Find<CComboUI>("keyset_function_combo");
    for (int i = 0; i < kinds.GetCount(); ++i)
      if (kinds.GetItemAt(i)->GetUserData() == std::to_string(kind)) return Pick("keyset_function_combo", i);
    FAIL() << "no kind " << kind;
  }
  void Type(std::string_view edit, std::string text) { Find<CEditUI>(edit).UserEditText(std::move(text)); }
  void PickModifier(int option) {
    Find<COptionUI>("key_ComBox_check_" + std::to_string(option)).Activate();
    Panel().SelectModifier(option);
  }
  KeyAction Built(Layer layer = Layer::kNormal) {
    return (layer == Layer::kFn ? Panel().BuildFnAssignment() : Panel().BuildAssignment()).assignment;
  }
};

// Showing an action and building it again at once: the kind and controls it
// shows, and what comes back.
TEST_F(KeySetPanelTest, ShowsEachKindOfActionAndBuildsItBack) {
  struct Case {
    std::string_view what;
    KeyAction shown;
    std::optional<int> kind;  // none: "keyset_layout" hidden
    std::vector<std::pair<std::string_view, int>> selections;
    std::vector<std::pair<std::string_view, std::string>> texts;
    KeyAction built;
  };
  const Case cases[] = {
      {"the default", kDefault, 0, {{"keyset_combination_IQLayer_combo", -1}}, {}, kDefault},
      {"a mouse button", {0x10, 0x10, 0}, 1, {{"keyset_mousekey_combo", 3}}, {}, {0x10, 0x10, 0}},
      {"a swing the other way",
       {0x11, 0x3A, 0x85},
       2,
       {{"keyset_mouseswing_combo", 1}},
       {{"keyset_mouseswing_delay_edit", "3"},
        {"keyset_mouseswing_speed_edit", "10"},
        {"keyset_mouseswing_num_edit", "5"}},
       {0x11, 0x3A, 0x85}},
      {"a wheel turned down three times",
       {0x12, 0x11, 0xFD},
       3,
       {{"keyset_mousewheel_combo", 1}},
       {{"keyset_mousewheel_num_edit", "3"}},
       {0x12, 0x11, 0xFD}},
      {"a wheel turned up",
       {0x12, 0x00, 0x07},
       3,
       {{"keyset_mousewheel_combo", 0}},
       {{"keyset_mousewheel_num_edit", "7"}},
       {0x12, 0x00, 0x07}},
      {"a fire key",
       {0x14, 0x78, 0x02},
       5,
       {},
       {{"keyset_mousefire_interval_edit", "120"}, {"keyset_mousefire_num_edit", "2"}},
       {0x14, 0x78, 0x02}},
      {"a key alone", {0x20, 0x00, 0x05}, 6, {}, {{"keyset_keyboard_text_edit", "keyboard_key_B"}}, {0x20, 0x00, 0x05}},
      {"right Shift and A, shown as Shift",
       {0x20, 0x20, 0x04},
       6,
       {},
       {{"keyset_keyboard_text_edit", "keyboard_key_A"}},
       {0x20, 0x02, 0x04}},
      {"two modifiers and A, shown without them",
       {0x20, 0x03, 0x04},
       6,
       {},
       {{"keyset_keyboard_text_edit", "keyboard_key_A"}},
       {0x20, 0x00, 0x04}},
      {"right Ctrl and S, shown as the shortcut",
       {0x20, 0x10, 0x16},
       11,
       {{"keyset_combokey_combo", 3}},
       {},
       {0x20, 0x10, 0x16}},
      {"a usage no key has", {0x20, 0x00, 0xF0}, 6, {}, {{"keyset_keyboard_text_edit", ""}}, {0x20, 0x00, 0x00}},
      {"a media key", {0x30, 0xCD, 0x00}, 7, {{"keyset_media_combo", 1}}, {}, {0x30, 0xCD, 0x00}},
      {"a system key", {0x40, 0x02, 0}, 8, {{"keyset_system_combo", 1}}, {}, {0x40, 0x02, 0}},
      {"a macro", {0x70, 1, 2}, 9, {{"keyset_macro_combo", 1}, {"keyset_macro_over_combo", 2}}, {}, {0x70, 1, 2}},
      {"a macro repeated",
       {0x71, 0, 9},
       9,
       {{"keyset_macro_combo", 0}, {"keyset_macro_over_combo", 4}},
       {{"keyset_macro_cycle_edit", "9"}},
       {0x71, 0, 9}},
      {"a macro the list does not have", {0x70, 3, 1}, 9, {{"keyset_macro_combo", -1}}, {}, {0x70, 3, 1}},
      {"a special function", {0xA0, 0x36, 0}, 12, {{"keyset_special_combo", 5}}, {}, {0xA0, 0x36, 0}},
      {"a lighting function", {0xA0, 0x0C, 0}, 13, {{"keyset_deng_combo", 8}}, {}, {0xA0, 0x0C, 0}},
      {"a code of neither table", {0xA0, 0x02, 0}, std::nullopt, {}, {}, kDefault},
      {"a combination layer",
       {0xE0, 0, 3},
       14,
       {{"keyset_combination_IQLayer_combo", 2}, {"keyset_long_IQLayer_combo", 5}},
       {},
       {0xE0, 0, 3}},
      {"a long-press layer",
       {0xE1, 0, 1},
       14,
       {{"keyset_combination_IQLayer_combo", 5}, {"keyset_long_IQLayer_combo", 0}},
       {},
       {0xE1, 0, 1}},
      {"the Fn layer by combination",
       {0xE2, 0, 0},
       14,
       {{"keyset_combination_IQLayer_combo", 4}, {"keyset_long_IQLayer_combo", 5}},
       {},
       {0xE2, 0, 0}},
      {"the Fn layer by long press",
       {0xE2, 0, 1},
       14,
       {{"keyset_combination_IQLayer_combo", 5}, {"keyset_long_IQLayer_combo", 4}},
       {},
       {0xE2, 0, 1}},
      {"a shortcut without an editor", {0xB0, 0x01, 0x02}, 11, {{"keyset_combokey_combo", -1}}, {}, {0xB0, 0x01, 0x02}},
      {"a macro key", {0xD0, 0xA2, 1}, std::nullopt, {}, {}, kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // From a shown key of another kind, so that nothing is left over by chance.
    Panel().ShowAssignment(Key({0x30, 0xE2, 0x00}));
    Panel().ShowAssignment(Key(c.shown));
    EXPECT_EQ(Shown("keyset_layout"), c.kind.has_value());
    EXPECT_EQ(Panel().SelectedKind(), c.kind);
    if (c.kind) {
      EXPECT_EQ(Find<CTabLayoutUI>("function_switch_tablayout").GetCurSel(), *c.kind);
    }
    for (const auto& [combo, item] : c.selections) EXPECT_EQ(Selection(combo), item) << combo;
    for (const auto& [control, text] : c.texts) EXPECT_EQ(Text(control), text) << control;
    EXPECT_EQ(Built(), c.built);
    EXPECT_EQ(Panel().Record(Layer::kNormal).key_index, 7);
  }
}

TEST_F(KeySetPanelTest, AKeyActionShowsItsModifierOption) {
  // Shown with option 2 selected before.
  const std::pair<KeyAction, std::optional<int>> cases[] = {
      {{0x20, 0x00, 0x04}, 0},
      {{0x20, 0x01, 0x04}, 1},
      {{0x20, 0x40, 0x04}, 3},  // right Alt as Alt
      {{0x20, 0x80, 0x00}, 4},
      {{0x20, 0x06, 0x04}, 0},             // two modifiers
      {{0x20, 0x00, 0xF0}, std::nullopt},  // no key has the usage
      {{0x20, 0x10, 0x00}, 2},             // the shortcut kind leaves the options
      {{0x20, 0x81, 0x04}, 2},             // beyond the modifiers: the options stay
  };
  for (const auto& [action, option] : cases) {
    SCOPED_TRACE(::testing::PrintToString(action));
    PickModifier(2);
    Panel().ShowAssignment(Key(action));
    EXPECT_EQ(Modifier(), option);
  }
}

// The user's choices in the controls of each kind, built into an action.
TEST_F(KeySetPanelTest, BuildsWhatTheControlsDescribe) {
  struct Case {
    std::string_view what;
    std::function<void(KeySetPanelTest&)> choose;
    Layer layer;
    KeyAction built;
  };
  const Case cases[] = {
      {"the wheel turned down three times",
       [](KeySetPanelTest& t) {
         t.PickKind(3);
         t.Pick("keyset_mousewheel_combo", 1);
         t.Type("keyset_mousewheel_num_edit", "3");
         t.Type("keyset_mousewheel_delay_edit", "2");
         t.Type("keyset_mousewheel_speed_edit", "5");
       },
       Layer::kNormal,
       {0x12, 0x25, 0xFD}},
      {"a swing delay of 17 keeps its low four bits",
       [](KeySetPanelTest& t) {
         t.PickKind(2);
         t.Pick("keyset_mouseswing_combo", 0);
         t.Type("keyset_mouseswing_delay_edit", "17");
         t.Type("keyset_mouseswing_speed_edit", "3");
         t.Type("keyset_mouseswing_num_edit", "200");
       },
       Layer::kNormal,
       {0x11, 0x13, 0x48}},
      {"a swing with no direction keeps its last count byte",
       [](KeySetPanelTest& t) {
         t.PickKind(2);
         t.Find<CComboUI>("keyset_mouseswing_combo").SelectItem(-1);
         t.Type("keyset_mouseswing_delay_edit", "0");
         t.Type("keyset_mouseswing_speed_edit", "0");
         t.Type("keyset_mouseswing_num_edit", "9");
       },
       Layer::kNormal,
       {0x11, 0x00, 0x29}},
      {"a fire key takes the low bytes",
       [](KeySetPanelTest& t) {
         t.PickKind(5);
         t.Type("keyset_mousefire_interval_edit", "300");
         t.Type("keyset_mousefire_num_edit", "7");
       },
       Layer::kNormal,
       {0x14, 44, 7}},
      {"an edit that holds no number counts 0",
       [](KeySetPanelTest& t) {
         t.PickKind(5);
         t.Type("keyset_mousefire_interval_edit", "fast");
         t.Type("keyset_mousefire_num_edit", "-1");
       },
       Layer::kNormal,
       {0x14, 0, 0}},
      {"a macro repeated 260 times",
       [](KeySetPanelTest& t) {
         t.PickKind(9);
         t.Pick("keyset_macro_combo", 1);
         t.Pick("keyset_macro_over_combo", 4);
         t.Type("keyset_macro_cycle_edit", "260");
       },
       Layer::kNormal,
       {0x71, 1, 4}},
      {"a macro played until pressed again",
       [](KeySetPanelTest& t) {
         t.PickKind(9);
         t.Pick("keyset_macro_combo", 0);
         t.Pick("keyset_macro_over_combo", 2);
       },
       Layer::kNormal,
       {0x70, 0, 2}},
      {"a macro kind without a macro keeps the action",
       [](KeySetPanelTest& t) {
         t.PickKind(9);
         t.Find<CComboUI>("keyset_macro_combo").SelectItem(-1);
       },
       Layer::kNormal,
       {0x20, 0x00, 0x29}},
      {"a media row",
       [](KeySetPanelTest& t) {
         t.PickKind(7);
         t.Pick("keyset_media_combo", 4);
       },
       Layer::kNormal,
       {0x30, 0xB5, 0x00}},
      {"a kind whose list has no pick keeps the action",
       [](KeySetPanelTest& t) { t.PickKind(8); },
       Layer::kNormal,
       {0x20, 0x00, 0x29}},
      {"a shift of the key shown",
       [](KeySetPanelTest& t) {
         t.PickKind(6);
         t.PickModifier(2);
       },
       Layer::kNormal,
       {0x20, 0x02, 0x29}},
      {"a layer picked by combination, then by long press",
       [](KeySetPanelTest& t) {
         t.PickKind(14);
         t.Pick("keyset_combination_IQLayer_combo", 2);
         t.Pick("keyset_long_IQLayer_combo", 1);
       },
       Layer::kNormal,
       {0xE1, 0, 2}},
      {"the Fn switch by long press",
       [](KeySetPanelTest& t) {
         t.PickKind(14);
         t.Pick("keyset_long_IQLayer_combo", 4);
       },
       Layer::kNormal,
       {0xE2, 0, 1}},
      {"the Fn switch cannot be chosen in the Fn layer",
       [](KeySetPanelTest& t) {
         t.PickKind(14);
         t.Pick("keyset_combination_IQLayer_combo", 4);
       },
       Layer::kFn,
       {0x20, 0x00, 0x29}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const KeyAssignment shown = Key({0x20, 0x00, 0x29}, {0x20, 0x00, 0x2A});
    if (c.layer == Layer::kFn)
      Panel().ShowFnAssignment(shown);
    else
      Panel().ShowAssignment(shown);
    c.choose(*this);
    EXPECT_EQ(Built(c.layer), c.built);
    EXPECT_EQ(Panel().Record(c.layer).assignment, c.built);
  }
}

TEST_F(KeySetPanelTest, DefaultShowsTheOwnFunctionAndCancelTheKeptAction) {
  Panel().ShowAssignment(Key({0x30, 0xCD, 0x00}));
  PickKind(14);
  Pick("keyset_combination_IQLayer_combo", 1);
  Panel().ShowDefault();
  EXPECT_EQ(Panel().SelectedKind(), 0);
  EXPECT_EQ(Selection("keyset_combination_IQLayer_combo"), -1);
  EXPECT_EQ(Selection("keyset_long_IQLayer_combo"), -1);
  // Only shown until built.
  EXPECT_EQ(Panel().Record(Layer::kNormal).assignment, (KeyAction{0x30, 0xCD, 0x00}));
  Panel().ShowKept(Layer::kNormal);
  EXPECT_EQ(Panel().SelectedKind(), 7);
  Panel().ShowDefault();
  EXPECT_EQ(Built(), kDefault);
}

TEST_F(KeySetPanelTest, ThePlayModeShowsTheRepeatCountOnlyForRepeating) {
  Panel().ShowAssignment(Key({0x70, 0, 0}));
  EXPECT_FALSE(Shown("keyset_macro_cycle_layout"));
  Pick("keyset_macro_over_combo", 4);
  EXPECT_TRUE(Shown("keyset_macro_cycle_layout"));
  Pick("keyset_macro_over_combo", 1);
  EXPECT_FALSE(Shown("keyset_macro_cycle_layout"));
  Panel().ShowAssignment(Key({0x71, 0, 3}));
  EXPECT_TRUE(Shown("keyset_macro_cycle_layout"));
}

TEST_F(KeySetPanelTest, PickingAKindShowsItsPage) {
  Panel().ShowAssignment(Key(kDefault));
  PickKind(11);
  EXPECT_EQ(Find<CTabLayoutUI>("function_switch_tablayout").GetCurSel(), 11);
  EXPECT_EQ(Built(), kDefault);  // nothing picked in the shortcut list yet
}

TEST_F(KeySetPanelTest, OneIqComboAtATimeAndNoneShowsGrey) {
  auto colour = [&](std::string_view combo) { return Find<CControlUI>(combo).GetAttribute("textcolor"); };
  Panel().ShowAssignment(Key({0xE0, 0, 1}));
  EXPECT_EQ(colour("keyset_long_IQLayer_combo"), "#FFA2A2A2");
  EXPECT_EQ(colour("keyset_combination_IQLayer_combo"), "#FF666666");
  Pick("keyset_long_IQLayer_combo", 2);
  EXPECT_EQ(Selection("keyset_combination_IQLayer_combo"), CKeySetControlUI::kIqNoneItem);
  EXPECT_EQ(colour("keyset_combination_IQLayer_combo"), "#FFA2A2A2");
  EXPECT_EQ(colour("keyset_long_IQLayer_combo"), "#FF666666");
  // No selection counts as none.
  Find<CComboUI>("keyset_long_IQLayer_combo").SelectItem(-1);
  Panel().OnItemPicked("keyset_long_IQLayer_combo");
  EXPECT_EQ(Selection("keyset_long_IQLayer_combo"), CKeySetControlUI::kIqNoneItem);
  EXPECT_EQ(Selection("keyset_combination_IQLayer_combo"), CKeySetControlUI::kIqNoneItem);
  EXPECT_EQ(Built(), (KeyAction{0xE0, 0, 1}));  // both none: the action stays
}

// A layer switch of neither table after a key on a layer of the other kind:
// that kind's combo shows none, not the last key's layer.
TEST_F(KeySetPanelTest, AnUnknownLayerSwitchClearsTheOtherIqCombo) {
  const struct {
    std::string_view what;
    KeyAction before;
    KeyAction shown;
    std::string_view cleared;
  } cases[] = {
      {"combination after long press", {0xE1, 0, 2}, {0xE0, 0, 9}, "keyset_long_IQLayer_combo"},
      {"long press after combination", {0xE0, 0, 3}, {0xE1, 0, 9}, "keyset_combination_IQLayer_combo"},
      {"Fn switch after long press", {0xE1, 0, 3}, {0xE2, 0, 7}, "keyset_long_IQLayer_combo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Panel().ShowAssignment(Key(c.before));
    ASSERT_NE(Selection(c.cleared), CKeySetControlUI::kIqNoneItem);
    Panel().ShowAssignment(Key(c.shown));
    EXPECT_EQ(Panel().SelectedKind(), std::nullopt);
    EXPECT_EQ(Selection(c.cleared), CKeySetControlUI::kIqNoneItem);
  }
}

TEST_F(KeySetPanelTest, TheRowListsFollowTheCatalogueAndTheDeviceKind) {
  EXPECT_EQ(Find<CComboUI>("keyset_media_combo").GetCount(), 18);
  EXPECT_EQ(Find<CComboUI>("keyset_combokey_combo").GetCount(), 11);
  EXPECT_EQ(Find<CComboUI>("keyset_combination_IQLayer_combo").GetCount(), 6);  // five rows and none
  EXPECT_EQ(Find<CComboUI>("keyset_media_combo").GetItemAt(1)->CControlUI::GetText(), "media_play");
  auto offered = [&](int kind) {
    auto& kinds = Find<CComboUI>("keyset_function_combo");
    for (int i = 0; i < kinds.GetCount(); ++i)
      if (kinds.GetItemAt(i)->GetUserData() == std::to_string(kind)) return kinds.GetItemAt(i)->IsVisible();
    return false;
  };
  for (const int kind : {4, 10}) EXPECT_FALSE(offered(kind)) << kind;
  EXPECT_TRUE(offered(9));
  Panel().SetDeviceKind(DeviceKind::kMouse);
  for (const int kind : {4, 10}) EXPECT_TRUE(offered(kind)) << kind;
  // Set up again, the lists are not filled twice.
  EXPECT_EQ(Find<CComboUI>("keyset_media_combo").GetCount(), 18);
}

TEST_F(KeySetPanelTest, CapturedKeysShowAndBecomeTheLayersAction) {
  struct Case {
    std::string_view what;
    ScanCode key;
    std::optional<int> option_before;
    int option;
    std::string text;
    KeyAction captured, built;
  };
  const Case cases[] = {
      {"right Ctrl", {0x1D, true}, std::nullopt, 1, "", {0x20, 0x10, 0}, {0x20, 0x01, 0}},
      {"right Alt", {0x38, true}, 0, 3, "", {0x20, 0x40, 0}, {0x20, 0x04, 0}},
      {"left Win", {0x5B, true}, std::nullopt, 4, "", {0x20, 0x08, 0}, {0x20, 0x08, 0}},
      {"A with no option", {0x1E, false}, std::nullopt, 0, "keyboard_key_A", {0x20, 0, 0x04}, {0x20, 0, 0x04}},
      {"A with Shift", {0x1E, false}, 2, 2, "keyboard_key_A", {0x20, 0x02, 0x04}, {0x20, 0x02, 0x04}},
      {"the pad's Enter", {0x1C, true}, 0, 0, "keyboard_key_Num Enter", {0x20, 0, 0x58}, {0x20, 0, 0x58}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Panel().ShowAssignment(Key({0x30, 0xCD, 0x00}));
    PickKind(6);
    if (c.option_before)
      PickModifier(*c.option_before);
    else
      Panel().ShowAssignment(Key({0x20, 0x00, 0xF0}));  // no option selected, no key
    ASSERT_TRUE(Panel().CaptureKey(c.key, Layer::kNormal));
    EXPECT_EQ(Modifier(), c.option);
    EXPECT_EQ(Text("keyset_keyboard_text_edit"), c.text);
    EXPECT_EQ(Panel().Record(Layer::kNormal).assignment, c.captured);
    EXPECT_EQ(Built(), c.built);
  }
}

TEST_F(KeySetPanelTest, KeyCaptureIgnoresKeysOutsideTheTableAndKeepsTheMouseInItsOneLayer) {
  Panel().ShowAssignment(Key({0x30, 0xCD, 0x00}));
  EXPECT_FALSE(Panel().CaptureKey({0x1E, true}, Layer::kNormal));  // no extended A
  EXPECT_FALSE(Panel().CaptureKey({0x7F, false}, Layer::kNormal));
  EXPECT_EQ(Panel().Record(Layer::kNormal).assignment, (KeyAction{0x30, 0xCD, 0x00}));

  Panel().ShowFnAssignment(Key({0x30, 0xE2, 0x00}));
  ASSERT_TRUE(Panel().CaptureKey({0x30, false}, Layer::kFn));
  EXPECT_EQ(Panel().Record(Layer::kFn).assignment, (KeyAction{0x20, 0, 0x05}));
  EXPECT_EQ(Panel().Record(Layer::kNormal).assignment, (KeyAction{0x30, 0xCD, 0x00}));

  Panel().SetDeviceKind(DeviceKind::kMouse);
  ASSERT_TRUE(Panel().CaptureKey({0x2E, false}, Layer::kFn));
  EXPECT_EQ(Panel().Record(Layer::kNormal).assignment, (KeyAction{0x20, 0, 0x06}));
}

TEST_F(KeySetPanelTest, TheKeyFieldTellsWhenItGainsTheFocus) {
  window.GetPaintManager().SetFocus(&Find<CControlUI>("keyset_keyboard_text_edit"));
  window.GetPaintManager().SetFocus(nullptr);
  EXPECT_EQ(window.notes,
            (std::vector<Note>{{"setfocus", "keyset_keyboard_text_edit"}, {"killfocus", "keyset_keyboard_text_edit"}}));
}

TEST_F(KeySetPanelTest, TheMacroListFollowsTheMacroPanelsOperations) {
  auto names = [&] {
    std::vector<std::string> shown;
    auto& list = Find<CComboUI>("keyset_macro_combo");
    for (int i = 0; i < list.GetCount(); ++i) shown.push_back(list.GetItemAt(i)->GetText());
    return shown;
  };
  Panel().ShowAssignment(Key({0x70, 1, 0}));
  ASSERT_EQ(Selection("keyset_macro_combo"), 1);
  Panel().FillMacroList(std::vector<std::string>{"a", "b", "c"});
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Selection("keyset_macro_combo"), -1);
  Panel().AddMacro("d");
  Panel().RenameMacro(1, "bee");
  Panel().RemoveMacro(0);
  Panel().RenameMacro(7, "none");
  Panel().RemoveMacro(7);
  EXPECT_EQ(names(), (std::vector<std::string>{"bee", "c", "d"}));
  EXPECT_EQ(Find<CComboUI>("keyset_macro_combo").GetItemAt(2)->GetFixedHeight(), 30);
  Panel().ShowAssignment(Key({0x70, 2, 0}));
  EXPECT_EQ(Selection("keyset_macro_combo"), 2);
}

TEST_F(KeySetPanelTest, TheChangeButtonsStartDisabledAndFollowTheirSwitch) {
  const std::string_view buttons[] = {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"};
  for (const std::string_view name : buttons) EXPECT_FALSE(Find<CControlUI>(name).IsEnabled()) << name;
  EXPECT_TRUE(Find<CControlUI>("key_butt_keydefalut").IsEnabled());
  Panel().EnableChangeButtons(true);
  for (const std::string_view name : buttons) EXPECT_TRUE(Find<CControlUI>(name).IsEnabled()) << name;
}

}  // namespace
}  // namespace brontal::testing
