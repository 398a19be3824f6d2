#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "input_capture/input_capture.h"
#include "input_capture/macro_recorder.h"
#include "macros/macro_editor.h"
#include "macros/macro_folder.h"
#include "ui/controls/named_parts.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

// The macro page: the macros of the shown device's folder in
// "macro_name_list" (row i is macro index i, its user data the Guid) and the
// events of the macro picked there in "macro_action_list", one row per event
// showing its key or button, press or release (a movement's distance) and
// delay. The selected event's delay is edited in "macro_delay".
//
// Every edit goes through the macro folder and the macro editor and so is on
// disk when the call returns; a recording keeps its events here and hands
// them to the editor when it stops. The panel asks nothing and talks to no
// device: the main window confirms, chooses files, starts the capture and
// tells the other panels. The panel itself follows the user's picks in its
// event list and menu, and keeps its number fields to digits.
class CMacroControlUI : public CHorizontalLayoutUI, public CNotifyPump {
 public:
  static constexpr std::string_view kClassName = "MacroControl";
  // The element the layout gives the panel, by which the device pages find it.
  static constexpr std::string_view kItemName = "MacroControlItem";

  ~CMacroControlUI() override;

  std::string_view GetClass() const override { return kClassName; }
  void SetManager(CPaintManagerUI* manager, CContainerUI* parent) override;
  // The panel's own controls: an event picked, a menu item picked, a number typed.
  void Notify(TNotifyUI& msg) override;

  // The macros of a device folder, nothing picked; none (the device keeps no
  // macros) empties and disables the page. Showing the folder already shown
  // changes nothing.
  void ShowFolder(const std::optional<std::filesystem::path>& folder);
  const std::optional<MacroFolder>& Folder() const { return folder_; }
  std::optional<std::size_t> SelectedMacro();
  // The open macro's events as the list shows them (a running recording's).
  std::span<const MacroEvent> Events() const;
  std::optional<std::size_t> SelectedEvent() const;

  // The folder's macros read again (another program may have changed them),
  // the picked one kept when it is still there.
  void RefreshMacroList();
  // The list and the open macro's events read again (another program changed
  // them); the open macro stays open while it exists. Not while recording.
  void ReloadFromFiles();
  // "macro_name_list" picked: the macro's events are loaded and the event
  // controls enabled; without a macro they are disabled.
  void OnMacroPicked();
  // A new macro, picked; its index, or none at the limit or when it could not be written.
  std::optional<std::size_t> AddMacro(std::chrono::system_clock::time_point now);
  // A copy of `file` as a new macro, picked.
  MacroImport ImportMacro(const std::filesystem::path& file, std::chrono::system_clock::time_point now);
  // The picked macro takes the name in "macro_edit_macroname".
  MacroRename RenameMacro();
  // The picked macro leaves the folder; the first one left is picked. False
  // without a pick or when the index could not be written.
  bool RemoveMacro();
  bool ExportMacro(const std::filesystem::path& target);

  // The open macro's events. Each edit is saved at once; kRefused when no
  // macro is open or the edit does not apply.
  MacroEdit Save();
  void Reload();
  MacroEdit MoveEvent(MacroMove move);
  MacroEdit DeleteEvent();
  MacroEdit DeleteAllEvents();
  // "macro_delay" to the event it shows (empty counts as 0, the value clamped);
  // refused while the field shows the event's own delay.
  MacroEdit CommitDelay();
  // The distance from the movement's field; the delay is the fixed delay.
  MacroEdit InsertMovement(MacroMovement movement);
  // The menu's insert items ("left_click", "back_up", ...); kRefused for another name.
  MacroEdit InsertMenuItem(std::string_view item);

  struct RecordingChoice {
    RecordingKind kind;
    DelayMode mode;
  };
  // What the start button or a record item of the menu starts ("macro_btn_starredio",
  // "redio_later_ignore_time", ...); none for another name. The record-time
  // items follow "macro_check_time" as the start button does.
  std::optional<RecordingChoice> RecordingOf(std::string_view command);

  // Locks the page but for the stop button; in fixed mode the fixed delay is
  // taken from "macro_fixed_time_edit" (clamped to 65535, shown so). False,
  // with nothing changed, without an open macro or while recording.
  bool StartRecording(RecordingChoice choice, CaptureClock::time_point now);
  bool recording() const { return recording_.has_value(); }
  // One captured key or button; once the list is full the note says so.
  void Record(const CapturedInput& input);
  // Unlocks the page and saves what was recorded; kRefused when not recording.
  MacroEdit StopRecording();

  // Says whose input a recording takes.
  void ShowCaptureBackend(CaptureBackend backend);

  // A menu item that is not an insert: the owner starts its recording.
  std::function<void(std::string_view item)> on_record_item;

 private:
  CControlUI* Part(std::string_view name) { return parts_.Get(name); }
  template <typename T>
  T* Part(std::string_view name) {
    return dynamic_cast<T*>(Part(name));
  }

  void FillMacroList();
  // The list filled again; where the open macro stands in it, if it is still there.
  std::optional<std::size_t> RefillKeepingOpenRow();
  void PickMacroRow(std::optional<std::size_t> row);
  void EnableMacroControls(bool enabled);
  void ShowEvents(std::span<const MacroEvent> events, std::optional<std::size_t> selected);
  void ShowEditorEvents();
  void ShowDelayOf(std::optional<std::size_t> row);
  void OnEventPicked();
  void OnMenuPicked();
  void Lock(bool locked);
  void ShowNote(std::string_view text_id);
  // The field keeps only its digits, at most `digits` of them.
  void KeepDigits(std::string_view field, std::size_t digits);
  std::uint64_t FieldNumber(std::string_view field);
  // The list shown again after an edit that changed it.
  MacroEdit Edited(MacroEdit edit);

  std::optional<MacroFolder> folder_;
  std::optional<MacroEditor> editor_;
  MacroRecorder recorder_;
  std::optional<MacroEventList> recording_;  // while a recording runs
  RecordingKind recording_kind_ = RecordingKind::kAppend;
  bool row_limit_told_ = false;
  std::optional<std::size_t> delay_row_;  // the event "macro_delay" shows
  std::string backend_note_;
  CPaintManagerUI* pump_manager_ = nullptr;
  NamedParts parts_{[this](std::string_view name) { return CPaintManagerUI::FindSubControlByName(this, name); }};
};

}  // namespace brontal
