#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "macros/scan_code_table.h"
#include "profiles/profile_records.h"
#include "ui/controls/named_parts.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

// The key assignment panel of the keyboard and mouse pages. It shows the
// action of the key selected on the device picture as a function kind (the
// stored data of the items of "keyset_function_combo") with what that kind
// needs on the kind's page of "function_switch_tablayout", and builds the
// action the controls now describe. It holds only the selected key's records,
// one per layer; the device page stores them in the profile and the device.
//
// The row lists (mouse buttons, media keys, shortcuts, IQ layers, ...) are
// filled from the key function catalogue in its row order, so that an item's
// position is the row's. Every change the panel makes to its controls is
// silent: only the user's picks notify, and the main window answers those.
class CKeySetControlUI : public CHorizontalLayoutUI {
 public:
  static constexpr std::string_view kClassName = "KeySetControl";
  // The element the layout gives the panel, by which the device pages find it.
  static constexpr std::string_view kItemName = "KeySetControlItem";

  enum class DeviceKind { kKeyboard = 1, kMouse = 2 };
  // A mouse has the normal layer only.
  enum class Layer { kNormal, kFn };

  // The IQ combos' item that stands for no layer switch.
  static constexpr int kIqNoneItem = 5;
  // The IQ combos' item that switches to the Fn layer.
  static constexpr int kIqFnSwitchItem = 4;
  // The play mode item of "keyset_macro_over_combo" that repeats the macro.
  static constexpr int kRepeatItem = 4;
  static constexpr std::uint32_t kIqNoneTextColour = 0xFFA2A2A2;
  static constexpr std::uint32_t kIqTextColour = 0xFF666666;

  std::string_view GetClass() const override { return kClassName; }

  // Sets the panel up for a device: the row lists filled (once), the kinds
  // the device has offered (a keyboard has no DPI or gun keys), and for a
  // mouse its button list, the first button chosen when none is.
  void SetDeviceKind(DeviceKind kind);
  DeviceKind device_kind() const { return device_kind_; }
  // The mouse's logical button the panel edits: a mouse page has no picture
  // to pick one on, so the panel offers its own list of the buttons.
  std::optional<std::size_t> SelectedMouseButton();

  // Keep the record of the selected key in the layer and show its action.
  void ShowAssignment(const KeyAssignment& record);
  void ShowFnAssignment(const KeyAssignment& record);
  // The action the controls describe, kept as the layer's current one and
  // returned with the record's key index and default.
  KeyAssignment BuildAssignment();
  KeyAssignment BuildFnAssignment();
  const KeyAssignment& Record(Layer layer) const;

  // "key_butt_keydefalut": the kind of the key's default action, which the
  // next Build gives.
  void ShowDefault();
  // "key_butt_keycancel": the kept action again.
  void ShowKept(Layer layer);

  // Follows the user's pick in one of the panel's combos before the action is
  // built: a function kind shows its page, the repeat mode its count, and an
  // IQ layer picked in one IQ combo clears the other.
  void OnItemPicked(std::string_view combo);
  // Modifier option "key_ComBox_check_" + `option` picked: it alone is selected.
  void SelectModifier(int option);

  // A key captured while the key field has the focus, pressed or released:
  // the field and the options show it and it becomes the layer's current
  // action (the mouse's always the normal one). False, with nothing changed,
  // for a key that is not a keyboard key of the scan code table.
  bool CaptureKey(ScanCode key, Layer layer);

  // The macro choice list, one item per macro in macro index order.
  // Filling leaves nothing selected.
  void FillMacroList(std::span<const std::string> names);
  void AddMacro(std::string name);
  void RenameMacro(std::size_t index, std::string name);
  void RemoveMacro(std::size_t index);

  // "key_butt_keysave", "key_butt_keycancel" and "key_butt_prosave".
  void EnableChangeButtons(bool enabled);

  // The stored data of the selected item of "keyset_function_combo".
  std::optional<int> SelectedKind();

 private:
  KeyAssignment& Kept(Layer layer) { return layer == Layer::kFn ? fn_record_ : record_; }
  Layer LayerOf(Layer layer) const { return device_kind_ == DeviceKind::kMouse ? Layer::kNormal : layer; }
  CControlUI* Part(std::string_view name) { return parts_.Get(name); }
  template <typename T>
  T* Part(std::string_view name) {
    return dynamic_cast<T*>(Part(name));
  }

  void FillRowLists();
  void Show(Layer layer);
  std::optional<int> ShowKeyboardKey(KeyAssignment& record);
  void ShowMotion(bool wheel, const KeyAction& action);
  void ShowMacro(const KeyAction& action);
  void ShowKind(std::optional<int> kind);
  void ShowKindPage(int kind);
  KeyAssignment Build(Layer layer);
  KeyAction BuildMotion(bool wheel, const KeyAction& stored);
  std::optional<KeyAction> BuildMacro();
  KeyAction BuildIqLayer(Layer layer, const KeyAction& stored);

  int Selection(std::string_view combo);
  void Select(std::string_view combo, int item);
  void SelectModifierOption(std::optional<int> option);
  std::optional<int> SelectedModifier();
  std::uint8_t ModifierBits();
  void SetKeyText(std::string_view name_key);
  void SetEditValue(std::string_view edit, unsigned value);
  unsigned EditValue(std::string_view edit);
  void PaintIqCombos();

  DeviceKind device_kind_ = DeviceKind::kKeyboard;
  bool rows_filled_ = false;
  KeyAssignment record_;
  KeyAssignment fn_record_;
  // Only below the panel: the window has other combos and edits.
  NamedParts parts_{[this](std::string_view name) { return CPaintManagerUI::FindSubControlByName(this, name); }};
};

}  // namespace brontal
