#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "input_capture/captured_input.h"
#include "macros/macro_editor.h"
#include "macros/macro_event.h"
#include "macros/macro_folder.h"
#include "ui/toolkit/geometry.h"

namespace brontal {

// How a recorded event's pause before the next one is set.
enum class DelayMode {
  kRecorded,  // the time that passed between the two inputs
  kFixed,     // the fixed delay
  kNone,      // 0
};

enum class RecordingKind {
  kAppend,
  kInsertBefore,  // in front of the selected row, in the order recorded
  kInsertAfter,   // behind the selected row, in the order recorded
  kReplace,       // the selected row takes the key or button, keeping its action and delay
};

// A recording adds no rows to a list this long (inserting by hand does).
inline constexpr std::size_t kRecordingRowLimit = kMacroEventLimit;

// The macro's events as the editor holds them.
struct MacroEventList {
  std::vector<MacroEvent> events;
  std::optional<std::size_t> selected;
};

// What one captured input did to the list, for the editor to show.
struct RecordedChange {
  enum class Kind { kNone, kInserted, kReplaced };
  Kind kind = Kind::kNone;
  std::size_t row = 0;                     // the row inserted or replaced
  std::optional<std::size_t> retimed_row;  // the row before it, given the pause that followed it

  bool operator==(const RecordedChange&) const = default;
};

// Turns captured keys and buttons into macro events while a recording runs.
// One lives as long as the macro panel: only after the first event it ever
// recorded does a recording's first event give the row before it a delay.
class MacroRecorder {
 public:
  // `fixed_delay_ms` (the number the user typed, clamped to 65535) counts in
  // fixed mode only. Returns the fixed delay in force, for its field to show.
  std::uint16_t Start(RecordingKind kind, DelayMode mode, std::uint64_t fixed_delay_ms, CaptureClock::time_point now);
  void Stop() { recording_ = false; }
  bool recording() const { return recording_; }
  std::uint16_t fixed_delay() const { return fixed_delay_; }

  // In our window's coordinates: a left press or release on the stop button
  // is the click that ends the recording and is not recorded. The pointer is
  // where the window last saw it (none: outside); the system-wide backends
  // report clicks without a position, and Wayland has no screen coordinates.
  void SetStopButton(Rect in_window) { stop_button_ = in_window; }
  void TrackPointer(std::optional<Point> in_window) { pointer_ = in_window; }

  RecordedChange Record(const CapturedInput& input, MacroEventList& list);

 private:
  std::optional<MacroEvent> Accept(const CapturedKey& key);
  std::optional<MacroEvent> Accept(const CapturedButton& button);
  RecordedChange Place(MacroEvent event, CaptureClock::time_point now, MacroEventList& list);
  std::uint16_t Pause(CaptureClock::time_point now);

  bool recording_ = false;
  RecordingKind kind_ = RecordingKind::kAppend;
  DelayMode mode_ = DelayMode::kRecorded;
  std::uint16_t fixed_delay_ = kInitialFixedDelay;
  CaptureClock::time_point last_placed_;
  bool recorded_before_ = false;
  // The repeat filter: the key held down, and the mouse action table row of
  // the last button event taken.
  std::optional<ScanCode> held_key_;
  std::optional<std::size_t> last_mouse_row_;
  Rect stop_button_;
  std::optional<Point> pointer_;
};

}  // namespace brontal
