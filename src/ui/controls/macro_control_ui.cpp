#include "ui/controls/macro_control_ui.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <utility>
#include <vector>

#include "macros/macro_event_name.h"
#include "ui/controls/redio_macro_button_ui.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/resource_manager.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {
namespace {

constexpr std::string_view kMacroList = "macro_name_list";
constexpr std::string_view kEventList = "macro_action_list";
constexpr std::string_view kNameField = "macro_edit_macroname";
constexpr std::string_view kDelayField = "macro_delay";
constexpr std::string_view kFixedDelayField = "macro_fixed_time_edit";
constexpr std::string_view kFixedDelayCheck = "macro_check_time";
constexpr std::string_view kMenu = "macro_action_menu";
constexpr std::string_view kStartButton = "macro_btn_starredio";
constexpr std::string_view kStopButton = "macro_btn_stopredio";
constexpr std::string_view kNote = "macro_capture_note";
constexpr std::string_view kRowLimitText = "macro_row_limit_text";
constexpr int kRowHeight = 30;

// Enabled only while a macro is open.
constexpr std::array<std::string_view, 5> kMacroControls = {
    "macro_action_layout", "mouse_move_layout", "macro_btn_export", "macro_btn_name_sub", "macro_btn_name_edit"};
// Everything a recording must not see change; the stop button stays.
constexpr std::array<std::string_view, 5> kLockedWhileRecording = {"macro_name_tab", "macro_events_tab",
                                                                   "macro_tab_macroaction_edit",
                                                                   "macro_tab_macrodelay_edit", "mouse_move_layout"};

// Number fields and how many digits each keeps. A delay may be typed above
// 65535 (it is clamped when taken), a distance above 255.
struct DigitField {
  std::string_view name;
  std::size_t digits;
};
constexpr DigitField kDigitFields[] = {{kDelayField, 6},          {kFixedDelayField, 6},  {"mouse_x_left_edit", 3},
                                       {"mouse_x_right_edit", 3}, {"mouse_y_up_edit", 3}, {"mouse_y_down_edit", 3}};

struct MovementField {
  MacroMovement movement;
  std::string_view field;
};
constexpr MovementField kMovementFields[] = {{MacroMovement::kLeft, "mouse_x_left_edit"},
                                             {MacroMovement::kRight, "mouse_x_right_edit"},
                                             {MacroMovement::kUp, "mouse_y_up_edit"},
                                             {MacroMovement::kDown, "mouse_y_down_edit"}};

// The menu's insert items are a button's name followed by "_click", "_down" or "_up".
struct MenuButton {
  std::string_view name;
  MacroMouseButton button;
};
constexpr MenuButton kMenuButtons[] = {{"left", MacroMouseButton::kLeft},
                                       {"right", MacroMouseButton::kRight},
                                       {"middle", MacroMouseButton::kMiddle},
                                       {"forward", MacroMouseButton::kForward},
                                       {"back", MacroMouseButton::kBack}};

struct MenuInsert {
  MacroMouseButton button;
  std::optional<bool> down;  // none: a click, press then release
};

std::optional<MenuInsert> InsertOf(std::string_view item) {
  const std::size_t split = item.rfind('_');
  if (split == std::string_view::npos) return std::nullopt;
  const std::string_view name = item.substr(0, split);
  const std::string_view what = item.substr(split + 1);
  const auto* button = std::ranges::find(kMenuButtons, name, &MenuButton::name);
  if (button == std::end(kMenuButtons)) return std::nullopt;
  if (what == "click") return MenuInsert{button->button, std::nullopt};
  if (what == "down" || what == "up") return MenuInsert{button->button, what == "down"};
  return std::nullopt;
}

// none: the delay mode the start button takes from "macro_check_time".
struct RecordCommand {
  std::string_view name;
  RecordingKind kind;
  std::optional<DelayMode> mode;
};
constexpr RecordCommand kRecordCommands[] = {
    {kStartButton, RecordingKind::kAppend, std::nullopt},
    {"redio_previous_record_time", RecordingKind::kInsertBefore, std::nullopt},
    {"redio_previous_constant_time", RecordingKind::kInsertBefore, DelayMode::kFixed},
    {"redio_previous_ignore_time", RecordingKind::kInsertBefore, DelayMode::kNone},
    {"redio_later_record_time", RecordingKind::kInsertAfter, std::nullopt},
    {"redio_later_constant_time", RecordingKind::kInsertAfter, DelayMode::kFixed},
    {"redio_later_ignore_time", RecordingKind::kInsertAfter, DelayMode::kNone},
    {"macro_action_edit", RecordingKind::kReplace, DelayMode::kNone},
};

bool IsMovement(const MacroEvent& event) {
  return event.type == macro_event_type::kHorizontalMove || event.type == macro_event_type::kVerticalMove;
}

std::optional<std::uint64_t> DigitsValue(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// One row of the event list: the event's key or button, its press or release
// (a movement's distance) and its delay, in the current language.
class MacroEventRowUI final : public CLabelUI {
 public:
  explicit MacroEventRowUI(const MacroEvent& event) : event_(event) {
    SetResourceText(true);  // shown again after a change of language
    SetFixedHeight(kRowHeight);
  }

  std::string_view GetClass() const override { return "MacroEventRow"; }

  void Show(const MacroEvent& event) {
    if (event == event_) return;
    event_ = event;
    Invalidate();
  }

  std::string GetText() const override {
    const auto text = [this](std::string_view id) {
      return GetManager() ? GetManager()->GetToolkit().Resources().Translate(id) : std::string(id);
    };
    const std::string_view name = MacroEventNameKey(event_);
    std::string row = name.empty() ? std::to_string(event_.type) + ":" + std::to_string(event_.button) : text(name);
    row += "   ";
    row +=
        IsMovement(event_) ? std::to_string(event_.button) : text(event_.down ? "macro_event_down" : "macro_event_up");
    row += "   " + std::to_string(ShownMacroDelay(event_.delay)) + " " + text("macro_fixed_time_unit");
    return row;
  }

 private:
  MacroEvent event_;
};

}  // namespace

CMacroControlUI::~CMacroControlUI() {
  if (pump_manager_) pump_manager_->RemoveNotifyPump(*this);
}

void CMacroControlUI::SetManager(CPaintManagerUI* manager, CContainerUI* parent) {
  if (manager != pump_manager_) {
    if (pump_manager_) pump_manager_->RemoveNotifyPump(*this);
    if (manager) manager->AddNotifyPump(*this, this);
    pump_manager_ = manager;
  }
  CHorizontalLayoutUI::SetManager(manager, parent);
}

void CMacroControlUI::Notify(TNotifyUI& msg) {
  const std::string& name = msg.sender ? msg.sender->GetName() : std::string();
  if (msg.type == notify::kItemSelect && name == kEventList) {
    OnEventPicked();
  } else if (msg.type == notify::kItemSelect && name == kMenu) {
    OnMenuPicked();
  } else if (msg.type == notify::kTextChanged) {
    const auto* field = std::ranges::find(kDigitFields, name, &DigitField::name);
    if (field != std::end(kDigitFields)) KeepDigits(field->name, field->digits);
  }
}

// ---- Macros ----

void CMacroControlUI::ShowFolder(const std::optional<std::filesystem::path>& folder) {
  const bool same = folder_ && folder ? folder_->Path() == *folder : folder_.has_value() == folder.has_value();
  if (same) return;
  StopRecording();
  editor_.reset();
  folder_.reset();
  if (folder) folder_.emplace(*folder);
  FillMacroList();
  PickMacroRow(std::nullopt);
  if (CControlUI* macros = Part("macro_name_tab")) macros->SetEnabled(folder_.has_value());
}

std::optional<std::size_t> CMacroControlUI::RefillKeepingOpenRow() {
  const std::string open = editor_ ? editor_->Guid() : std::string();
  FillMacroList();
  const MacroIndex index = folder_->Index();
  for (std::size_t i = 0; i < index.Count() && !open.empty(); ++i)
    if (index.Guid(i) == open) return i;
  return std::nullopt;
}

void CMacroControlUI::RefreshMacroList() {
  auto* list = Part<CListUI>(kMacroList);
  if (recording_ || !folder_ || !list) return;
  const std::optional<std::size_t> row = RefillKeepingOpenRow();
  if (!row) return PickMacroRow(std::nullopt);
  // Still there: it stays open as it is, perhaps under a new name.
  list->SelectItem(static_cast<int>(*row), false);
  if (CControlUI* name = Part(kNameField)) name->SetText(folder_->Index().Name(*row));
}

void CMacroControlUI::ReloadFromFiles() {
  if (recording_ || !folder_) return;
  const std::optional<std::size_t> row = RefillKeepingOpenRow();
  // A delay typed but not committed would otherwise be saved, with the old
  // list around it, over what the other program wrote.
  editor_.reset();
  PickMacroRow(row);
}

std::optional<std::size_t> CMacroControlUI::SelectedMacro() {
  const auto* list = Part<CListUI>(kMacroList);
  if (!list || list->GetCurSel() < 0) return std::nullopt;
  return static_cast<std::size_t>(list->GetCurSel());
}

std::span<const MacroEvent> CMacroControlUI::Events() const {
  if (recording_) return recording_->events;
  if (editor_) return editor_->Events();
  return {};
}

std::optional<std::size_t> CMacroControlUI::SelectedEvent() const {
  if (recording_) return recording_->selected;
  return editor_ ? editor_->Selected() : std::nullopt;
}

void CMacroControlUI::FillMacroList() {
  auto* list = Part<CListUI>(kMacroList);
  if (!list) return;
  list->RemoveAll();
  if (!folder_) return;
  const MacroIndex index = folder_->Index();
  for (std::size_t i = 0; i < index.Count(); ++i)
    list->AddTextItem(index.Name(i), index.Guid(i))->SetFixedHeight(kRowHeight);
}

void CMacroControlUI::PickMacroRow(std::optional<std::size_t> row) {
  if (auto* list = Part<CListUI>(kMacroList)) list->SelectItem(row ? static_cast<int>(*row) : -1, false);
  OnMacroPicked();
}

void CMacroControlUI::OnMacroPicked() {
  if (recording_) return;
  CommitDelay();
  editor_.reset();
  const std::optional<std::size_t> picked = SelectedMacro();
  if (picked && folder_) editor_ = MacroEditor::Open(*folder_, *picked);
  if (CControlUI* name = Part(kNameField)) name->SetText(picked && folder_ ? folder_->Index().Name(*picked) : "");
  EnableMacroControls(editor_.has_value());
  ShowEditorEvents();
}

void CMacroControlUI::EnableMacroControls(bool enabled) {
  for (std::string_view name : kMacroControls)
    if (CControlUI* control = Part(name)) control->SetEnabled(enabled);
}

std::optional<std::size_t> CMacroControlUI::AddMacro(std::chrono::system_clock::time_point now) {
  if (recording_ || !folder_) return std::nullopt;
  const std::optional<std::size_t> added = folder_->Add(now);
  if (!added) return std::nullopt;
  FillMacroList();
  PickMacroRow(added);
  return added;
}

MacroImport CMacroControlUI::ImportMacro(const std::filesystem::path& file, std::chrono::system_clock::time_point now) {
  if (recording_ || !folder_) return {};
  MacroImport imported = folder_->Import(file, now);
  if (!imported.index) return imported;
  FillMacroList();
  PickMacroRow(imported.index);
  return imported;
}

MacroRename CMacroControlUI::RenameMacro() {
  const std::optional<std::size_t> picked = SelectedMacro();
  if (recording_ || !folder_ || !picked) return MacroRename::kNoSuchMacro;
  const CControlUI* field = Part(kNameField);
  const MacroRename renamed = folder_->Rename(*picked, field ? field->GetText() : std::string());
  if (renamed != MacroRename::kRenamed) return renamed;
  const std::string name = folder_->Index().Name(*picked);
  if (auto* list = Part<CListUI>(kMacroList)) list->GetItemAt(static_cast<int>(*picked))->SetText(name);
  if (CControlUI* name_field = Part(kNameField)) name_field->SetText(name);
  return renamed;
}

bool CMacroControlUI::RemoveMacro() {
  const std::optional<std::size_t> picked = SelectedMacro();
  if (recording_ || !folder_ || !picked || !folder_->Remove(*picked)) return false;
  editor_.reset();
  delay_row_.reset();
  FillMacroList();
  PickMacroRow(folder_->Index().Count() > 0 ? std::optional<std::size_t>(0) : std::nullopt);
  return true;
}

bool CMacroControlUI::ExportMacro(const std::filesystem::path& target) {
  const std::optional<std::size_t> picked = SelectedMacro();
  if (recording_ || !folder_ || !picked) return false;
  CommitDelay();
  return folder_->Export(*picked, target);
}

// ---- Events ----

void CMacroControlUI::ShowEditorEvents() {
  if (editor_)
    ShowEvents(editor_->Events(), editor_->Selected());
  else
    ShowEvents({}, std::nullopt);
}

// Rows are reused and only changed rows repainted, and rows come and go in
// one change, so that neither one recorded event nor a macro of thousands
// has the list rebuilt row by row.
void CMacroControlUI::ShowEvents(std::span<const MacroEvent> events, std::optional<std::size_t> selected) {
  auto* list = Part<CListUI>(kEventList);
  if (!list) return;
  auto count = static_cast<std::size_t>(list->GetCount());
  if (events.size() + 1 < count) {
    list->RemoveAll();
    count = 0;
  } else if (events.size() < count) {
    list->RemoveAt(static_cast<int>(--count));
  }
  for (std::size_t row = 0; row < count; ++row)
    static_cast<MacroEventRowUI*>(list->GetItemAt(static_cast<int>(row)))->Show(events[row]);
  std::vector<std::unique_ptr<CControlUI>> added;
  for (std::size_t row = count; row < events.size(); ++row)
    added.push_back(std::make_unique<MacroEventRowUI>(events[row]));
  list->AddItems(std::move(added));
  list->SelectItem(selected ? static_cast<int>(*selected) : -1, false);
  ShowDelayOf(selected);
}

void CMacroControlUI::ShowDelayOf(std::optional<std::size_t> row) {
  const std::span<const MacroEvent> events = Events();
  delay_row_ = row && *row < events.size() ? row : std::nullopt;
  if (CControlUI* field = Part(kDelayField)) {
    field->SetText(delay_row_ ? std::to_string(ShownMacroDelay(events[*delay_row_].delay)) : "");
    field->SetEnabled(delay_row_.has_value() && !recording_);
  }
}

void CMacroControlUI::OnEventPicked() {
  const auto* list = Part<CListUI>(kEventList);
  if (recording_ || !editor_ || !list) return;
  const int picked = list->GetCurSel();
  CommitDelay();
  editor_->Select(picked >= 0 ? std::optional<std::size_t>(picked) : std::nullopt);
  ShowDelayOf(editor_->Selected());
}

MacroEdit CMacroControlUI::CommitDelay() {
  const CControlUI* field = Part(kDelayField);
  if (recording_ || !editor_ || !delay_row_ || !field || *delay_row_ >= editor_->Events().size())
    return MacroEdit::kRefused;
  const std::size_t row = *delay_row_;
  const std::int64_t held = editor_->Events()[row].delay;
  const std::uint64_t typed = FieldNumber(kDelayField);
  // A delay the file holds beyond what may be typed stays while the field
  // shows it.
  const bool untouched = field->GetText() == std::to_string(ShownMacroDelay(held)) || std::cmp_equal(typed, held);
  const MacroEdit edit = untouched ? MacroEdit::kRefused : editor_->SetDelay(row, static_cast<std::int64_t>(typed));
  // The field shows what the event now holds: "" as 0, a clamped value as 65535.
  if (auto* list = Part<CListUI>(kEventList))
    if (auto* shown = dynamic_cast<MacroEventRowUI*>(list->GetItemAt(static_cast<int>(row))))
      shown->Show(editor_->Events()[row]);
  if (CControlUI* edit_field = Part(kDelayField))
    edit_field->SetText(std::to_string(ShownMacroDelay(editor_->Events()[row].delay)));
  return edit;
}

MacroEdit CMacroControlUI::Edited(MacroEdit edit) {
  if (edit != MacroEdit::kRefused) ShowEditorEvents();
  return edit;
}

MacroEdit CMacroControlUI::Save() {
  if (recording_ || !editor_) return MacroEdit::kRefused;
  CommitDelay();
  return editor_->Save();
}

void CMacroControlUI::Reload() {
  if (recording_ || !editor_) return;
  editor_->Reload();
  ShowEditorEvents();
}

MacroEdit CMacroControlUI::MoveEvent(MacroMove move) {
  if (recording_ || !editor_) return MacroEdit::kRefused;
  CommitDelay();
  return Edited(editor_->MoveSelected(move));
}

MacroEdit CMacroControlUI::DeleteEvent() {
  if (recording_ || !editor_) return MacroEdit::kRefused;
  CommitDelay();
  return Edited(editor_->DeleteSelected());
}

MacroEdit CMacroControlUI::DeleteAllEvents() {
  if (recording_ || !editor_) return MacroEdit::kRefused;
  return Edited(editor_->DeleteAll());
}

MacroEdit CMacroControlUI::InsertMovement(MacroMovement movement) {
  if (recording_ || !editor_) return MacroEdit::kRefused;
  CommitDelay();
  const auto* field = std::ranges::find(kMovementFields, movement, &MovementField::movement);
  const auto distance = static_cast<std::int64_t>(FieldNumber(field->field));
  return Edited(editor_->InsertMovement(movement, distance, recorder_.fixed_delay()));
}

MacroEdit CMacroControlUI::InsertMenuItem(std::string_view item) {
  const std::optional<MenuInsert> insert = InsertOf(item);
  if (recording_ || !editor_ || !insert) return MacroEdit::kRefused;
  CommitDelay();
  if (!insert->down) return Edited(editor_->InsertClick(insert->button, recorder_.fixed_delay()));
  return Edited(editor_->InsertButton(insert->button, *insert->down, recorder_.fixed_delay()));
}

void CMacroControlUI::OnMenuPicked() {
  auto* menu = Part<CComboUI>(kMenu);
  const CControlUI* picked = menu ? menu->GetItemAt(menu->GetCurSel()) : nullptr;
  if (!picked) return;
  const std::string item = picked->GetUserData();
  // A menu: nothing stays chosen.
  menu->SelectItem(-1, false);
  if (InsertOf(item))
    InsertMenuItem(item);
  else if (RecordingOf(item) && on_record_item)
    on_record_item(item);
}

// ---- Recording ----

std::optional<CMacroControlUI::RecordingChoice> CMacroControlUI::RecordingOf(std::string_view command) {
  const auto* found = std::ranges::find(kRecordCommands, command, &RecordCommand::name);
  if (found == std::end(kRecordCommands)) return std::nullopt;
  if (found->mode) return RecordingChoice{found->kind, *found->mode};
  const auto* fixed = Part<COptionUI>(kFixedDelayCheck);
  return RecordingChoice{found->kind, fixed && fixed->IsSelected() ? DelayMode::kFixed : DelayMode::kRecorded};
}

bool CMacroControlUI::StartRecording(RecordingChoice choice, CaptureClock::time_point now) {
  if (recording_ || !editor_) return false;
  CommitDelay();
  const std::uint16_t fixed = recorder_.Start(choice.kind, choice.mode, FieldNumber(kFixedDelayField), now);
  if (choice.mode == DelayMode::kFixed)
    if (CControlUI* field = Part(kFixedDelayField)) field->SetText(std::to_string(fixed));
  recording_ = MacroEventList{editor_->Events(), editor_->Selected()};
  recording_kind_ = choice.kind;
  row_limit_told_ = false;
  if (auto* stop = Part<CRedioMacroButtonUI>(kStopButton)) {
    stop->on_pointer = [this, stop](std::optional<Point> at) {
      recorder_.SetStopButton(stop->GetPos());
      recorder_.TrackPointer(at);
    };
  }
  Lock(true);
  ShowNote(backend_note_);
  return true;
}

void CMacroControlUI::Record(const CapturedInput& input) {
  if (!recording_) return;
  const RecordedChange change = recorder_.Record(input, *recording_);
  if (change.kind != RecordedChange::Kind::kNone) {
    ShowEvents(recording_->events, recording_->selected);
    return;
  }
  const bool full = recording_kind_ != RecordingKind::kReplace && recording_->events.size() >= kRecordingRowLimit;
  if (full && !row_limit_told_) {
    row_limit_told_ = true;
    ShowNote(kRowLimitText);
  }
}

MacroEdit CMacroControlUI::StopRecording() {
  if (!recording_) return MacroEdit::kRefused;
  recorder_.Stop();
  MacroEventList recorded = std::move(*recording_);
  recording_.reset();
  if (auto* stop = Part<CRedioMacroButtonUI>(kStopButton)) stop->on_pointer = nullptr;
  Lock(false);
  const MacroEdit saved = editor_->ReplaceEvents(std::move(recorded.events), recorded.selected);
  ShowEditorEvents();
  return saved;
}

void CMacroControlUI::Lock(bool locked) {
  for (std::string_view name : kLockedWhileRecording)
    if (CControlUI* control = Part(name)) control->SetEnabled(!locked);
  if (CControlUI* start = Part(kStartButton)) start->SetVisible(!locked);
  if (CControlUI* stop = Part(kStopButton)) stop->SetVisible(locked);
}

void CMacroControlUI::ShowCaptureBackend(CaptureBackend backend) {
  switch (backend) {
    case CaptureBackend::kX11: backend_note_ = "macro_capture_x11"; break;
    case CaptureBackend::kEvdev: backend_note_ = "macro_capture_evdev"; break;
    case CaptureBackend::kOwnWindow: backend_note_ = "macro_capture_own_window"; break;
  }
  if (!row_limit_told_) ShowNote(backend_note_);
}

void CMacroControlUI::ShowNote(std::string_view text_id) {
  auto* note = Part<CLabelUI>(kNote);
  if (!note || text_id.empty()) return;
  note->SetResourceText(true);
  note->SetText(std::string(text_id));
}

// ---- Number fields ----

void CMacroControlUI::KeepDigits(std::string_view name, std::size_t digits) {
  CControlUI* field = Part(name);
  if (!field) return;
  std::string text = field->GetText();
  std::erase_if(text, [](char c) { return c < '0' || c > '9'; });
  if (text.size() > digits) text.resize(digits);
  if (text != field->GetText()) field->SetText(std::move(text));
}

std::uint64_t CMacroControlUI::FieldNumber(std::string_view name) {
  const CControlUI* field = Part(name);
  return field ? DigitsValue(field->GetText()).value_or(0) : 0;
}

}  // namespace brontal
