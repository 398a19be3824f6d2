#include "macros/macro_editor.h"

#include <algorithm>
#include <limits>

#include "macros/macro_event_name.h"
#include "macros/macro_file.h"

namespace brontal {

std::optional<MacroEditor> MacroEditor::Open(const MacroFolder& folder, std::size_t index) {
  std::string guid = folder.Index().Guid(index);
  if (guid.empty()) return std::nullopt;
  return MacroEditor(folder.Path(), std::move(guid));
}

MacroEditor::MacroEditor(std::filesystem::path folder, std::string guid)
    : folder_(std::move(folder)), guid_(std::move(guid)) {
  Reload();
}

void MacroEditor::Select(std::optional<std::size_t> row) {
  selected_ = row && *row < events_.size() ? row : std::nullopt;
}

MacroEdit MacroEditor::Save() const {
  const MacroIndex index = MacroIndex::Read(folder_);
  for (std::size_t i = 0; i < index.Count(); ++i) {
    if (index.Guid(i) == guid_)
      return SaveMacroFile(folder_, guid_, index.Name(i), events_) ? MacroEdit::kSaved : MacroEdit::kNotSaved;
  }
  return MacroEdit::kNotSaved;  // writing now would leave a file nothing lists
}

void MacroEditor::Reload() {
  events_ = LoadMacroEvents(folder_, guid_);
  selected_.reset();
}

MacroEdit MacroEditor::MoveSelected(MacroMove move) {
  if (!selected_) return MacroEdit::kRefused;
  const std::size_t from = *selected_;
  const std::size_t last = events_.size() - 1;
  const bool upwards = move == MacroMove::kUp || move == MacroMove::kToTop;
  if (upwards ? from == 0 : from == last) return MacroEdit::kRefused;
  std::size_t to = last;
  switch (move) {
    case MacroMove::kUp: to = from - 1; break;
    case MacroMove::kDown: to = from + 1; break;
    case MacroMove::kToTop: to = 0; break;
    case MacroMove::kToBottom: break;
  }
  const auto first = events_.begin();
  if (to < from)
    std::rotate(first + to, first + from, first + from + 1);
  else
    std::rotate(first + from, first + from + 1, first + to + 1);
  selected_ = to;
  return Save();
}

MacroEdit MacroEditor::DeleteSelected() {
  if (!selected_) return MacroEdit::kRefused;
  events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(*selected_));
  selected_.reset();
  return Save();
}

MacroEdit MacroEditor::DeleteAll() {
  events_.clear();
  selected_.reset();
  return Save();
}

void MacroEditor::Place(const MacroEvent& event) {
  const std::size_t anchor = selected_.value_or(0);
  const std::size_t at = events_.empty() ? 0 : anchor + 1;
  events_.insert(events_.begin() + static_cast<std::ptrdiff_t>(at), event);
  Select(anchor + 1);
}

MacroEdit MacroEditor::InsertButton(MacroMouseButton button, bool down, std::uint16_t delay) {
  Place({macro_event_type::kMouseButton, static_cast<std::uint8_t>(button), down, delay});
  return Save();
}

MacroEdit MacroEditor::InsertClick(MacroMouseButton button, std::uint16_t delay) {
  Place({macro_event_type::kMouseButton, static_cast<std::uint8_t>(button), true, delay});
  Place({macro_event_type::kMouseButton, static_cast<std::uint8_t>(button), false, delay});
  return Save();
}

MacroEdit MacroEditor::InsertMovement(MacroMovement movement, std::int64_t distance, std::uint16_t delay) {
  const bool horizontal = movement == MacroMovement::kLeft || movement == MacroMovement::kRight;
  // The first direction of each axis is the "down" one.
  const bool down = movement == MacroMovement::kLeft || movement == MacroMovement::kUp;
  Place({horizontal ? macro_event_type::kHorizontalMove : macro_event_type::kVerticalMove,
         static_cast<std::uint8_t>(std::clamp<std::int64_t>(distance, 0, std::numeric_limits<std::uint8_t>::max())),
         down, delay});
  return Save();
}

MacroEdit MacroEditor::ReplaceEvents(std::vector<MacroEvent> events, std::optional<std::size_t> selected) {
  events_ = std::move(events);
  Select(selected);
  return Save();
}

MacroEdit MacroEditor::SetDelay(std::size_t row, std::int64_t delay) {
  if (row >= events_.size()) return MacroEdit::kRefused;
  events_[row].delay = std::clamp<std::int64_t>(delay, 0, std::numeric_limits<std::uint16_t>::max());
  return Save();
}

MacroEdit MacroEditor::ChangeInput(int type, std::uint8_t button) {
  const bool input = type == macro_event_type::kKey || type == macro_event_type::kModifierKey ||
                     type == macro_event_type::kMouseButton;
  if (!selected_ || !input || MacroEventNameKey({type, button, false, 0}).empty()) return MacroEdit::kRefused;
  MacroEvent& event = events_[*selected_];
  event.type = type;
  event.button = button;
  return Save();
}

}  // namespace brontal
