#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "macros/macro_event.h"
#include "macros/macro_folder.h"

// One macro of a device folder open for editing, event by event. Every edit
// is saved at once, so the file follows the list; edits act on the selected
// event and leave the selection where the event list shows it next.
namespace brontal {

// The delay of inserted events until a constant-delay recording sets another.
inline constexpr std::uint16_t kInitialFixedDelay = 50;

// Button masks of mouse button events.
enum class MacroMouseButton : std::uint8_t {
  kLeft = 0x01,
  kRight = 0x02,
  kMiddle = 0x04,
  kBack = 0x08,
  kForward = 0x10
};

enum class MacroMove { kUp, kDown, kToTop, kToBottom };

enum class MacroMovement { kLeft, kRight, kUp, kDown };

enum class MacroEdit {
  kRefused,   // not possible here (no selection, first row up, ...): nothing changed
  kSaved,     // changed and written
  kNotSaved,  // changed here, but the file could not be written or the macro left the index
};

class MacroEditor {
 public:
  // Macro `index` of the folder with its events; nullopt for an index out of
  // range or an entry without a usable Guid. Nothing is selected.
  static std::optional<MacroEditor> Open(const MacroFolder& folder, std::size_t index);

  const std::string& Guid() const { return guid_; }
  const std::vector<MacroEvent>& Events() const { return events_; }
  std::optional<std::size_t> Selected() const { return selected_; }
  // A row past the end selects nothing.
  void Select(std::optional<std::size_t> row);

  // Rewrites the file under the name the index gives the macro now; a macro
  // that has left the index is not written again.
  MacroEdit Save() const;
  // Back to what the file holds, nothing selected.
  void Reload();

  // The moved event stays selected. Up and to the top need a selected event
  // after the first; down and to the bottom one before the last.
  MacroEdit MoveSelected(MacroMove move);
  // Nothing is selected afterwards.
  MacroEdit DeleteSelected();
  MacroEdit DeleteAll();

  // Inserted after the selected event (after the first when none is, at the
  // start of an empty list); the new event is selected, except as the only one.
  MacroEdit InsertButton(MacroMouseButton button, bool down, std::uint16_t delay);
  // Press, then release.
  MacroEdit InsertClick(MacroMouseButton button, std::uint16_t delay);
  // Distances beyond 0..255 are clamped.
  MacroEdit InsertMovement(MacroMovement movement, std::int64_t distance, std::uint16_t delay);

  // The events a recording left, with its selection (none past the end).
  MacroEdit ReplaceEvents(std::vector<MacroEvent> events, std::optional<std::size_t> selected);
  // Delays beyond 0..65535 are clamped.
  MacroEdit SetDelay(std::size_t row, std::int64_t delay);
  // The selected event plays another key or mouse button (type 10, 9 or 1 and
  // a button that names one), keeping its press or release and its delay.
  MacroEdit ChangeInput(int type, std::uint8_t button);

 private:
  MacroEditor(std::filesystem::path folder, std::string guid);
  // Where an insert goes, with the selection after it; the caller saves.
  void Place(const MacroEvent& event);

  std::filesystem::path folder_;
  std::string guid_;
  std::vector<MacroEvent> events_;
  std::optional<std::size_t> selected_;
};

}  // namespace brontal
