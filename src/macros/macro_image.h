#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "macros/macro_event.h"

// The macro image a keyboard or mouse plays its macros from, and the slots
// key actions address it by. Little-endian throughout:
//
//   header  0xAA 0x55, total length T (2), macro count N (2), 10 zero bytes
//   offsets N × 2: where each slot's record starts, from the image's start
//   records in slot order, without gaps: event count E (2), 2 zero bytes,
//           E events of 4 bytes (delay's low 16 bits, type | 0x80 when down,
//           button)
//
// so T = 16 + 6N + 4 × (all events).
namespace brontal {

inline constexpr std::uint16_t kMacroImageMagic = 0x55AA;
inline constexpr std::size_t kMacroImageHeaderSize = 16;
inline constexpr std::size_t kMacroImageOffsetSize = 2;
inline constexpr std::size_t kMacroRecordHeaderSize = 4;
inline constexpr std::size_t kMacroImageEventSize = 4;

// The device's macro memory holds only the macros the keys play, packed in
// order of first use, and a key's macro action carries that slot in place of
// the macro index. The key table write and the image must walk the keys in
// the same order, so both take their slots from one of these.
class MacroSlots {
 public:
  // `macro_count`: how many macros the device folder's index lists.
  explicit MacroSlots(std::size_t macro_count) : macro_count_(macro_count) {}

  // The slot of the macro, given at its first use; nothing for a macro index
  // the folder does not have (such a key falls back to its default).
  std::optional<std::uint8_t> Take(std::uint8_t macro_index);

  // Macro index by slot.
  const std::vector<std::uint8_t>& macros() const { return macros_; }

 private:
  std::size_t macro_count_;
  std::vector<std::uint8_t> macros_;
};

// The events of each slot's macro, each file read once. A missing or unusable
// file (or an empty Guid) is a macro without events.
std::vector<std::vector<MacroEvent>> LoadSlotMacros(const std::filesystem::path& folder,
                                                    std::span<const std::string> guids);

std::array<std::uint8_t, kMacroImageEventSize> EncodeMacroEvent(const MacroEvent& event);

std::size_t MacroImageSize(std::span<const std::vector<MacroEvent>> macros);

// What the device's memory takes.
struct MacroMemoryLimits {
  std::size_t capacity_bytes = 0;
  // The most events one macro may have; none for a family without a limit.
  std::optional<std::size_t> longest_macro;
};

// Refusals: nothing of the image is sent.
struct MacroImageTooLarge {
  std::size_t image_bytes = 0;
  std::size_t capacity_bytes = 0;
  // How many events too many, plus one, as the user is told (events are 4 bytes).
  std::size_t ExcessEvents() const { return (image_bytes - capacity_bytes) / kMacroImageEventSize + 1; }
  bool operator==(const MacroImageTooLarge&) const = default;
};
struct MacroTooLong {
  std::size_t slot = 0;  // the first slot over the limit
  std::size_t events = 0;
  bool operator==(const MacroTooLong&) const = default;
};

using MacroImageBuild = std::variant<std::vector<std::uint8_t>, MacroImageTooLarge, MacroTooLong>;

// The image of the macros in slot order, or why the device cannot take it:
// the capacity is checked first, then the longest macro. The capacity counts
// as at most 65535 bytes, since the image's length travels in 16 bits.
MacroImageBuild BuildMacroImage(std::span<const std::vector<MacroEvent>> macros, const MacroMemoryLimits& limits);

}  // namespace brontal
