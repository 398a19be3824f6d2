#include "ui/controls/key_set_control_ui.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "macros/key_code_table.h"
#include "macros/key_function_catalogue.h"
#include "macros/macro_key_action.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/tab_layout.h"

namespace brontal {
namespace {

using Category = KeyFunctionCategory;

constexpr std::string_view kKindGroup = "keyset_layout";
constexpr std::string_view kFunctionCombo = "keyset_function_combo";
constexpr std::string_view kKindPages = "function_switch_tablayout";
constexpr std::string_view kCombinationCombo = "keyset_combination_IQLayer_combo";
constexpr std::string_view kLongPressCombo = "keyset_long_IQLayer_combo";
constexpr std::string_view kIqNoneText = "IQLayer_none_text";
constexpr std::string_view kMacroCombo = "keyset_macro_combo";
constexpr std::string_view kPlayModeCombo = "keyset_macro_over_combo";
constexpr std::string_view kRepeatGroup = "keyset_macro_cycle_layout";
constexpr std::string_view kRepeatEdit = "keyset_macro_cycle_edit";
constexpr std::string_view kKeyField = "keyset_keyboard_text_edit";
constexpr std::string_view kModifierPrefix = "key_ComBox_check_";
constexpr std::string_view kFireIntervalEdit = "keyset_mousefire_interval_edit";
constexpr std::string_view kFireCountEdit = "keyset_mousefire_num_edit";
constexpr std::string_view kMouseButtonGroup = "keyset_mouse_button_layout";
constexpr std::string_view kMouseButtonCombo = "keyset_mouse_button_combo";
constexpr std::array<std::string_view, 3> kChangeButtons = {"key_butt_keysave", "key_butt_keycancel",
                                                            "key_butt_prosave"};

constexpr int kModifierOptionCount = 5;  // 0 none, then Ctrl, Shift, Alt, Win
constexpr int kListItemHeight = 30;
constexpr std::uint8_t kSecondDirection = 0x80;
constexpr std::uint8_t kCountBits = 0x7F;
constexpr std::uint8_t kRightCtrl = 0x10;  // only the shortcut table gives a key action this alone
constexpr std::uint8_t kRightWin = 0x80;   // the highest modifier bit

// The kinds whose action is a row of a catalogue table, chosen in a combo.
struct RowList {
  Category category;
  std::string_view combo;
};
constexpr RowList kRowLists[] = {
    {Category::kMouseButton, "keyset_mousekey_combo"}, {Category::kDpi, "keyset_mousedpi_combo"},
    {Category::kMedia, "keyset_media_combo"},          {Category::kSystem, "keyset_system_combo"},
    {Category::kGun, "keyset_gunkey_combo"},           {Category::kShortcut, "keyset_combokey_combo"},
    {Category::kSpecial, "keyset_special_combo"},      {Category::kLighting, "keyset_deng_combo"},
    {Category::kIqLayer, kCombinationCombo},           {Category::kIqLongPressLayer, kLongPressCombo},
};

std::string_view ComboOf(Category category) {
  const auto* list = std::ranges::find(kRowLists, category, &RowList::category);
  return list == std::end(kRowLists) ? std::string_view() : list->combo;
}

int KindOf(Category category) { return CategoryInfo(category).editor_kind; }

// The position of the row in its category's list; -1 when no row matches.
template <typename Match>
int RowOf(Category category, Match match) {
  const auto rows = KeyFunctions(category);
  const auto row = std::ranges::find_if(rows, match);
  return row == rows.end() ? -1 : static_cast<int>(row - rows.begin());
}

int RowOf(Category category, const KeyAction& action) {
  return RowOf(category, [&](const KeyFunction& row) { return row.action == action; });
}

// The controls of the swing and the wheel; the wheel writes its second
// direction as a negative count.
struct MotionControls {
  std::string_view direction, delay, speed, count;
};
constexpr MotionControls kSwing = {"keyset_mouseswing_combo", "keyset_mouseswing_delay_edit",
                                   "keyset_mouseswing_speed_edit", "keyset_mouseswing_num_edit"};
constexpr MotionControls kWheel = {"keyset_mousewheel_combo", "keyset_mousewheel_delay_edit",
                                   "keyset_mousewheel_speed_edit", "keyset_mousewheel_num_edit"};
constexpr std::uint8_t kSwingCategory = 0x11;
constexpr std::uint8_t kWheelCategory = 0x12;
constexpr std::uint8_t kFireCategory = 0x14;
constexpr std::uint8_t kKeyCategory = 0x20;

// The option that shows a modifier row: right-hand modifiers share their
// left-hand option.
int ModifierOptionOfRow(std::size_t row) { return static_cast<int>((row + 1) % 5 + (row + 1) / 5); }

// The first ordinary key code row of a usage, from `first` on.
const KeyCodeRow* KeyRowOfUsage(std::uint8_t usage, std::size_t first) {
  const auto rows = std::span(kKeyCodeTable).subspan(first);
  const auto row = std::ranges::find(rows, KeyAction{kKeyCategory, 0, usage}, &KeyCodeRow::action);
  return row == rows.end() ? nullptr : &*row;
}

std::string ColourText(std::uint32_t argb) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(argb >> shift) & 0xF];
  return text;
}

}  // namespace

// ---- Set-up ----

void CKeySetControlUI::SetDeviceKind(DeviceKind kind) {
  device_kind_ = kind;
  FillRowLists();
  const bool mouse = kind == DeviceKind::kMouse;
  if (CControlUI* buttons = Part(kMouseButtonGroup)) buttons->SetVisible(mouse);
  if (mouse && Selection(kMouseButtonCombo) < 0) Select(kMouseButtonCombo, 0);
  auto* kinds = Part<CComboUI>(kFunctionCombo);
  if (!kinds) return;
  for (int i = 0; i < kinds->GetCount(); ++i) {
    CControlUI* item = kinds->GetItemAt(i);
    const auto category = std::ranges::find_if(KeyFunctionCategories(), [&](const KeyFunctionCategoryInfo& info) {
      return std::to_string(info.editor_kind) == item->GetUserData();
    });
    const bool mouse_only = category != KeyFunctionCategories().end() && !category->on_keyboards;
    item->SetVisible(mouse || !mouse_only);
  }
}

std::optional<std::size_t> CKeySetControlUI::SelectedMouseButton() {
  const int item = Selection(kMouseButtonCombo);
  if (device_kind_ != DeviceKind::kMouse || item < 0) return std::nullopt;
  return static_cast<std::size_t>(item);
}

void CKeySetControlUI::FillRowLists() {
  if (rows_filled_) return;
  rows_filled_ = true;
  for (const RowList& list : kRowLists) {
    auto* combo = Part<CComboUI>(list.combo);
    if (!combo) continue;
    combo->RemoveAll();
    auto add = [combo](std::string_view text_id) {
      auto* item = static_cast<CLabelUI*>(combo->AddTextItem(std::string(text_id)));
      item->SetResourceText(true);
      item->SetFixedHeight(kListItemHeight);
    };
    for (const KeyFunction& row : KeyFunctions(list.category)) add(row.label_key);
    if (list.category == Category::kIqLayer || list.category == Category::kIqLongPressLayer) add(kIqNoneText);
  }
  PaintIqCombos();
}

// ---- Show ----

void CKeySetControlUI::ShowAssignment(const KeyAssignment& record) {
  record_ = record;
  Show(Layer::kNormal);
}

void CKeySetControlUI::ShowFnAssignment(const KeyAssignment& record) {
  fn_record_ = record;
  Show(LayerOf(Layer::kFn));
}

const KeyAssignment& CKeySetControlUI::Record(Layer layer) const {
  return LayerOf(layer) == Layer::kFn ? fn_record_ : record_;
}

void CKeySetControlUI::ShowDefault() {
  Select(kCombinationCombo, -1);
  Select(kLongPressCombo, -1);
  PaintIqCombos();
  ShowKind(KindOf(Category::kNone));
}

void CKeySetControlUI::ShowKept(Layer layer) { Show(LayerOf(layer)); }

void CKeySetControlUI::Show(Layer layer) {
  KeyAssignment& record = Kept(layer);
  const KeyAction action = record.assignment;
  if (action == record.default_action) {
    ShowDefault();
    return;
  }
  std::optional<int> kind;
  switch (action[0]) {
    case 0x00: kind = KindOf(Category::kNone); break;
    case 0x10:
    case 0x13:
    case 0x30:
    case 0x40: {
      const Category category = action[0] == 0x10   ? Category::kMouseButton
                                : action[0] == 0x13 ? Category::kDpi
                                : action[0] == 0x30 ? Category::kMedia
                                                    : Category::kSystem;
      Select(ComboOf(category), RowOf(category, action));
      kind = KindOf(category);
      break;
    }
    case kSwingCategory:
    case kWheelCategory:
      ShowMotion(action[0] == kWheelCategory, action);
      kind = KindOf(action[0] == kWheelCategory ? Category::kMouseWheel : Category::kMouseSwing);
      break;
    case kFireCategory:
      SetEditValue(kFireIntervalEdit, action[1]);
      SetEditValue(kFireCountEdit, action[2]);
      kind = KindOf(Category::kFireKey);
      break;
    case kKeyCategory: kind = ShowKeyboardKey(record); break;
    case kMacroActionCategory:
    case kRepeatedMacroActionCategory:
      ShowMacro(action);
      kind = KindOf(Category::kMacro);
      break;
    case 0x72:
      Select(ComboOf(Category::kGun),
             RowOf(Category::kGun, [&](const KeyFunction& row) { return row.action[1] == action[1]; }));
      kind = KindOf(Category::kGun);
      break;
    case 0xA0:
      // The two tables' codes do not overlap; the lighting row would win.
      for (const Category category : {Category::kSpecial, Category::kLighting}) {
        const int row = RowOf(category, [&](const KeyFunction& r) { return r.action[1] == action[1]; });
        if (row < 0) continue;
        Select(ComboOf(category), row);
        kind = KindOf(category);
      }
      break;
    case 0xB0:
      Select(ComboOf(Category::kShortcut), -1);
      kind = KindOf(Category::kShortcut);
      break;
    case 0xE0:
    case 0xE1:
    case 0xE2: {
      // The Fn switch is the last row of both tables: its long-press kind
      // shows in the long-press combo. The other combo is cleared even when
      // no row matches, so that it cannot carry the last key's layer.
      const bool long_press = action[0] == 0xE1 || RowOf(Category::kIqLongPressLayer, action) >= 0;
      Select(long_press ? kCombinationCombo : kLongPressCombo, kIqNoneItem);
      const int row = RowOf(long_press ? Category::kIqLongPressLayer : Category::kIqLayer, action);
      if (row >= 0) {
        Select(long_press ? kLongPressCombo : kCombinationCombo, row);
        kind = KindOf(Category::kIqLayer);
      }
      PaintIqCombos();
      break;
    }
    default: break;
  }
  ShowKind(kind);
}

std::optional<int> CKeySetControlUI::ShowKeyboardKey(KeyAssignment& record) {
  const KeyAction& action = record.assignment;
  const std::uint8_t modifiers = action[1];
  if (modifiers == 0) {
    if (const KeyCodeRow* row = KeyRowOfUsage(action[2], 0)) {
      SelectModifierOption(0);
      SetKeyText(row->name_key);
    } else {
      SelectModifierOption(std::nullopt);
      SetKeyText({});
      record.assignment = {kKeyCategory, 0, 0};
    }
    return KindOf(Category::kKeyboardKey);
  }
  if (modifiers == kRightCtrl) {
    Select(ComboOf(Category::kShortcut),
           RowOf(Category::kShortcut, [&](const KeyFunction& row) { return row.action[2] == action[2]; }));
    return KindOf(Category::kShortcut);
  }
  if (modifiers > kRightWin) return KindOf(Category::kKeyboardKey);
  // One modifier shows as its option; several as none of them.
  int option = 0;
  for (std::size_t row = 0; row < kFirstOrdinaryKeyRow; ++row) {
    if (kKeyCodeTable[row].action[1] == modifiers) option = ModifierOptionOfRow(row);
  }
  SelectModifierOption(option);
  if (const KeyCodeRow* row = KeyRowOfUsage(action[2], kFirstOrdinaryKeyRow)) SetKeyText(row->name_key);
  return KindOf(Category::kKeyboardKey);
}

void CKeySetControlUI::ShowMotion(bool wheel, const KeyAction& action) {
  const MotionControls& controls = wheel ? kWheel : kSwing;
  const bool second = (action[2] & kSecondDirection) != 0;
  const unsigned count = action[2] & kCountBits;
  SetEditValue(controls.delay, action[1] >> 4);
  SetEditValue(controls.speed, action[1] & 0x0F);
  SetEditValue(controls.count, wheel && second ? 128 - count : count);
  Select(controls.direction, second ? 1 : 0);
}

void CKeySetControlUI::ShowMacro(const KeyAction& action) {
  auto* macros = Part<CComboUI>(kMacroCombo);
  const int count = macros ? macros->GetCount() : 0;
  const int macro = MacroIndexOf(action);
  Select(kMacroCombo, macro < count ? macro : -1);
  const bool repeated = action[0] == kRepeatedMacroActionCategory;
  if (repeated) SetEditValue(kRepeatEdit, action[2]);
  Select(kPlayModeCombo, repeated ? kRepeatItem : action[2]);
  if (CControlUI* group = Part(kRepeatGroup)) group->SetVisible(repeated);
}

void CKeySetControlUI::ShowKind(std::optional<int> kind) {
  if (CControlUI* group = Part(kKindGroup)) group->SetVisible(kind.has_value());
  // Without a kind, building gives the default rather than another key's choice.
  int item = -1;
  if (auto* kinds = Part<CComboUI>(kFunctionCombo)) {
    for (int i = 0; kind && i < kinds->GetCount(); ++i) {
      if (kinds->GetItemAt(i)->GetUserData() == std::to_string(*kind)) item = i;
    }
    kinds->SelectItem(item, false);
  }
  if (kind) ShowKindPage(*kind);
}

void CKeySetControlUI::ShowKindPage(int kind) {
  if (auto* pages = Part<CTabLayoutUI>(kKindPages)) pages->SelectItem(kind);
}

// ---- Build ----

KeyAssignment CKeySetControlUI::BuildAssignment() { return Build(Layer::kNormal); }

KeyAssignment CKeySetControlUI::BuildFnAssignment() { return Build(LayerOf(Layer::kFn)); }

KeyAssignment CKeySetControlUI::Build(Layer layer) {
  KeyAssignment& record = Kept(layer);
  KeyAction& action = record.assignment;
  const std::optional<int> kind = SelectedKind();
  const auto row_list = std::ranges::find_if(kRowLists, [&](const RowList& list) {
    return list.category != Category::kIqLayer && list.category != Category::kIqLongPressLayer &&
           kind == KindOf(list.category);
  });
  if (row_list != std::end(kRowLists)) {
    const int item = Selection(row_list->combo);
    const auto rows = KeyFunctions(row_list->category);
    if (item >= 0 && static_cast<std::size_t>(item) < rows.size()) action = rows[static_cast<std::size_t>(item)].action;
  } else if (kind == KindOf(Category::kMouseSwing) || kind == KindOf(Category::kMouseWheel)) {
    action = BuildMotion(kind == KindOf(Category::kMouseWheel), action);
  } else if (kind == KindOf(Category::kFireKey)) {
    action = {kFireCategory, static_cast<std::uint8_t>(EditValue(kFireIntervalEdit)),
              static_cast<std::uint8_t>(EditValue(kFireCountEdit))};
  } else if (kind == KindOf(Category::kKeyboardKey)) {
    const CControlUI* field = Part(kKeyField);
    const bool no_key = !field || field->CControlUI::GetText().empty();
    action = {kKeyCategory, ModifierBits(), no_key ? std::uint8_t{0} : action[2]};
  } else if (kind == KindOf(Category::kMacro)) {
    if (const std::optional<KeyAction> macro = BuildMacro()) action = *macro;
  } else if (kind == KindOf(Category::kIqLayer)) {
    action = BuildIqLayer(layer, action);
  } else {
    action = record.default_action;  // kind 0, and no kind at all
  }
  return record;
}

KeyAction CKeySetControlUI::BuildMotion(bool wheel, const KeyAction& stored) {
  const MotionControls& controls = wheel ? kWheel : kSwing;
  const auto timing =
      static_cast<std::uint8_t>((EditValue(controls.delay) & 0x0F) << 4 | (EditValue(controls.speed) & 0x0F));
  const unsigned count = EditValue(controls.count);
  std::uint8_t b2 = stored[2];
  switch (Selection(controls.direction)) {
    case 0: b2 = static_cast<std::uint8_t>(count & kCountBits); break;
    case 1: b2 = static_cast<std::uint8_t>(kSecondDirection | ((wheel ? 128 - count : count) & kCountBits)); break;
    default: break;
  }
  return {wheel ? kWheelCategory : kSwingCategory, timing, b2};
}

std::optional<KeyAction> CKeySetControlUI::BuildMacro() {
  const int macro = Selection(kMacroCombo);
  if (macro < 0) return std::nullopt;
  const int mode = Selection(kPlayModeCombo);
  if (mode == kRepeatItem)
    return KeyAction{kRepeatedMacroActionCategory, static_cast<std::uint8_t>(macro),
                     static_cast<std::uint8_t>(EditValue(kRepeatEdit))};
  return KeyAction{kMacroActionCategory, static_cast<std::uint8_t>(macro),
                   static_cast<std::uint8_t>(std::max(mode, 0))};
}

KeyAction CKeySetControlUI::BuildIqLayer(Layer layer, const KeyAction& stored) {
  // In the Fn layer the Fn switch rows cannot be chosen.
  auto chosen = [&](int item) {
    return item >= 0 && item != kIqNoneItem && !(layer == Layer::kFn && item == kIqFnSwitchItem);
  };
  KeyAction action = stored;
  for (const Category category : {Category::kIqLayer, Category::kIqLongPressLayer}) {
    const int item = Selection(ComboOf(category));
    const auto rows = KeyFunctions(category);
    if (chosen(item) && static_cast<std::size_t>(item) < rows.size())
      action = rows[static_cast<std::size_t>(item)].action;
  }
  return action;
}

std::optional<int> CKeySetControlUI::SelectedKind() {
  const auto* kinds = Part<CComboUI>(kFunctionCombo);
  const CControlUI* item = kinds ? kinds->GetItemAt(kinds->GetCurSel()) : nullptr;
  if (!item) return std::nullopt;
  int kind = -1;
  const std::string& data = item->GetUserData();
  const auto [end, error] = std::from_chars(data.data(), data.data() + data.size(), kind);
  if (error != std::errc() || end != data.data() + data.size()) return std::nullopt;
  return kind;
}

// ---- The user's picks ----

void CKeySetControlUI::OnItemPicked(std::string_view combo) {
  if (combo == kFunctionCombo) {
    if (const std::optional<int> kind = SelectedKind()) ShowKindPage(*kind);
  } else if (combo == kPlayModeCombo) {
    if (CControlUI* group = Part(kRepeatGroup)) group->SetVisible(Selection(kPlayModeCombo) == kRepeatItem);
  } else if (combo == kCombinationCombo || combo == kLongPressCombo) {
    const std::string_view other = combo == kCombinationCombo ? kLongPressCombo : kCombinationCombo;
    const int item = Selection(combo);
    if (item < 0)
      Select(combo, kIqNoneItem);
    else if (item != kIqNoneItem)
      Select(other, kIqNoneItem);
    PaintIqCombos();
  }
}

void CKeySetControlUI::SelectModifier(int option) { SelectModifierOption(option); }

bool CKeySetControlUI::CaptureKey(ScanCode key, Layer layer) {
  const std::optional<std::size_t> row = KeyRowForScanCode(key.code, key.extended);
  if (!row || kKeyCodeTable[*row].action[0] != kKeyCategory) return false;
  const KeyCodeRow& captured = kKeyCodeTable[*row];
  KeyAction action;
  if (*row < kFirstOrdinaryKeyRow) {
    SelectModifierOption(ModifierOptionOfRow(*row));
    SetKeyText({});
    action = {kKeyCategory, captured.action[1], 0};
  } else {
    if (!SelectedModifier()) SelectModifierOption(0);
    SetKeyText(captured.name_key);
    action = {kKeyCategory, ModifierBits(), captured.action[2]};
  }
  Kept(LayerOf(layer)).assignment = action;
  return true;
}

// ---- Macro choice list ----

void CKeySetControlUI::FillMacroList(std::span<const std::string> names) {
  auto* macros = Part<CComboUI>(kMacroCombo);
  if (!macros) return;
  macros->RemoveAll();
  for (const std::string& name : names) AddMacro(name);
}

void CKeySetControlUI::AddMacro(std::string name) {
  if (auto* macros = Part<CComboUI>(kMacroCombo)) macros->AddTextItem(std::move(name))->SetFixedHeight(kListItemHeight);
}

void CKeySetControlUI::RenameMacro(std::size_t index, std::string name) {
  auto* macros = Part<CComboUI>(kMacroCombo);
  if (CControlUI* item = macros ? macros->GetItemAt(static_cast<int>(index)) : nullptr) item->SetText(std::move(name));
}

void CKeySetControlUI::RemoveMacro(std::size_t index) {
  if (auto* macros = Part<CComboUI>(kMacroCombo)) macros->RemoveAt(static_cast<int>(index));
}

void CKeySetControlUI::EnableChangeButtons(bool enabled) {
  for (const std::string_view name : kChangeButtons) {
    if (CControlUI* button = Part(name)) button->SetEnabled(enabled);
  }
}

// ---- Controls ----

int CKeySetControlUI::Selection(std::string_view combo) {
  const auto* list = Part<CComboUI>(combo);
  return list ? list->GetCurSel() : -1;
}

void CKeySetControlUI::Select(std::string_view combo, int item) {
  // An item the list does not have leaves the selection as it was.
  if (auto* list = Part<CComboUI>(combo)) list->SelectItem(item, false);
}

void CKeySetControlUI::SelectModifierOption(std::optional<int> option) {
  for (int i = 0; i < kModifierOptionCount; ++i) {
    if (auto* box = Part<COptionUI>(std::string(kModifierPrefix) + std::to_string(i)))
      box->Selected(i == option, false);
  }
}

std::optional<int> CKeySetControlUI::SelectedModifier() {
  for (int i = 0; i < kModifierOptionCount; ++i) {
    const auto* box = Part<COptionUI>(std::string(kModifierPrefix) + std::to_string(i));
    if (box && box->IsSelected()) return i;
  }
  return std::nullopt;
}

std::uint8_t CKeySetControlUI::ModifierBits() {
  const int option = SelectedModifier().value_or(0);
  return option == 0 ? 0 : static_cast<std::uint8_t>(1u << (option - 1));
}

void CKeySetControlUI::SetKeyText(std::string_view name_key) {
  auto* field = Part<CLabelUI>(kKeyField);
  if (!field) return;
  field->SetResourceText(true);
  field->SetText(std::string(name_key));
}

void CKeySetControlUI::SetEditValue(std::string_view edit, unsigned value) {
  if (CControlUI* control = Part(edit)) control->SetText(std::to_string(value));
}

unsigned CKeySetControlUI::EditValue(std::string_view edit) {
  const CControlUI* control = Part(edit);
  if (!control) return 0;
  const std::string text = control->GetText();
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

void CKeySetControlUI::PaintIqCombos() {
  for (const std::string_view combo : {kCombinationCombo, kLongPressCombo}) {
    CControlUI* list = Part(combo);
    if (!list) continue;
    list->SetAttribute("textcolor", ColourText(Selection(combo) == kIqNoneItem ? kIqNoneTextColour : kIqTextColour));
  }
}

}  // namespace brontal
