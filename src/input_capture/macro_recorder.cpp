#include "input_capture/macro_recorder.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <variant>

#include "macros/key_code_table.h"
#include "macros/mouse_action_table.h"

namespace brontal {
namespace {

constexpr std::uint16_t kLongestDelay = std::numeric_limits<std::uint16_t>::max();

// The mouse action table holds each button's press and then its release.
std::size_t MouseActionRowOf(const CapturedButton& captured) {
  std::size_t press = 0;
  switch (captured.button) {
    case MouseButton::kLeft: press = 0; break;
    case MouseButton::kRight: press = 2; break;
    case MouseButton::kMiddle: press = 4; break;
    case MouseButton::kForward: press = 6; break;
    case MouseButton::kBack: press = 8; break;
  }
  return captured.down ? press : press + 1;
}

MacroEvent MouseEvent(const MouseActionRow& row) {
  return {.type = row.action_code & ~kActionDownBit,
          .button = row.mask,
          .down = (row.action_code & kActionDownBit) != 0,
          .delay = 0};
}

MacroEvent KeyEvent(const KeyCodeRow& row, bool down) {
  const auto [category, modifier, usage] = row.action;
  if (usage != 0) return {.type = macro_event_type::kKey, .button = usage, .down = down, .delay = 0};
  return {.type = macro_event_type::kModifierKey, .button = modifier, .down = down, .delay = 0};
}

bool SameKey(const ScanCode& a, const ScanCode& b) { return a.code == b.code && a.extended == b.extended; }

}  // namespace

std::uint16_t MacroRecorder::Start(RecordingKind kind, DelayMode mode, std::uint64_t fixed_delay_ms,
                                   CaptureClock::time_point now) {
  kind_ = kind;
  mode_ = mode;
  if (mode == DelayMode::kFixed)
    fixed_delay_ = static_cast<std::uint16_t>(std::min<std::uint64_t>(fixed_delay_ms, kLongestDelay));
  last_placed_ = now;
  // Releases that came after the last recording stopped were never seen.
  held_key_.reset();
  last_mouse_row_.reset();
  recording_ = true;
  return fixed_delay_;
}

RecordedChange MacroRecorder::Record(const CapturedInput& input, MacroEventList& list) {
  if (!recording_) return {};
  const std::optional<MacroEvent> event =
      std::visit([&](const auto& captured) { return Accept(captured); }, input.event);
  if (!event) return {};
  if (kind_ != RecordingKind::kReplace) return Place(*event, input.time, list);
  if (!list.selected || *list.selected >= list.events.size()) return {};
  MacroEvent& row = list.events[*list.selected];
  row.type = event->type;
  row.button = event->button;
  return {.kind = RecordedChange::Kind::kReplaced, .row = *list.selected, .retimed_row = std::nullopt};
}

// A press of the key already held is the keyboard's auto-repeat.
std::optional<MacroEvent> MacroRecorder::Accept(const CapturedKey& captured) {
  const bool held = held_key_ && SameKey(*held_key_, captured.key);
  if (captured.down) {
    if (held) return std::nullopt;
    held_key_ = captured.key;
  } else if (held) {
    held_key_.reset();
  }
  const std::optional<std::size_t> row = KeyRowForScanCode(captured.key.code, captured.key.extended);
  if (!row) return std::nullopt;
  return KeyEvent(kKeyCodeTable[*row], captured.down);
}

// The whole row is compared, not the message it shares with the other side
// button: back down, forward down, forward up, back up are four events.
std::optional<MacroEvent> MacroRecorder::Accept(const CapturedButton& captured) {
  const std::size_t row = MouseActionRowOf(captured);
  if (last_mouse_row_ == row) return std::nullopt;
  last_mouse_row_ = row;
  const std::optional<Point> at = captured.in_window ? captured.in_window : pointer_;
  if (captured.button == MouseButton::kLeft && at && stop_button_.Contains(*at)) return std::nullopt;
  return MouseEvent(kMouseActionTable[row]);
}

RecordedChange MacroRecorder::Place(MacroEvent event, CaptureClock::time_point now, MacroEventList& list) {
  if (list.events.size() >= kRecordingRowLimit) return {};
  std::size_t at = list.events.size();
  std::size_t selected = at;
  if (kind_ != RecordingKind::kAppend) {
    if (!list.selected || *list.selected >= list.events.size()) return {};
    // Before: the selection moves along with its row, so later events go in front of it too.
    at = kind_ == RecordingKind::kInsertBefore ? *list.selected : *list.selected + 1;
    selected = *list.selected + 1;
  }
  const std::uint16_t pause = Pause(now);
  // A row at the head has no event before it to take the pause.
  const bool heads_list = at == 0;
  event.delay = !heads_list && mode_ == DelayMode::kFixed ? fixed_delay_ : 0;
  list.events.insert(list.events.begin() + static_cast<std::ptrdiff_t>(at), event);
  list.selected = selected;
  RecordedChange change{.kind = RecordedChange::Kind::kInserted, .row = at, .retimed_row = std::nullopt};
  if (recorded_before_ && !heads_list) {
    list.events[at - 1].delay = pause;
    change.retimed_row = at - 1;
  }
  recorded_before_ = true;
  return change;
}

std::uint16_t MacroRecorder::Pause(CaptureClock::time_point now) {
  switch (mode_) {
    case DelayMode::kRecorded: {
      const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_placed_).count();
      last_placed_ = now;
      return static_cast<std::uint16_t>(std::clamp<std::int64_t>(elapsed, 0, kLongestDelay));
    }
    case DelayMode::kFixed: return fixed_delay_;
    case DelayMode::kNone: return 0;
  }
  return 0;
}

}  // namespace brontal
