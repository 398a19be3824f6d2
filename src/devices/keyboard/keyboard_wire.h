#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "devices/key_action_tables.h"
#include "profiles/profile_records.h"

// The keyboard's wire formats as pure functions over bytes: what the device
// object sends and how it reads what comes back. No device, no channel.
namespace brontal::keyboard {

inline constexpr std::size_t kTableSize = 512;  // the largest data length
inline constexpr std::size_t kMaxSlots = 170;   // N × 3 must fit a table
inline constexpr std::uint8_t kNoSlot = 255;
inline constexpr std::uint8_t kNoLed = 255;
inline constexpr std::size_t kRecordSize = 34;
inline constexpr std::uint32_t kRecordStride = 33;
inline constexpr std::uint8_t kHostDrivenCode = 0xFE;
inline constexpr std::uint8_t kCustomColourMode = 20;
inline constexpr std::uint8_t kCustomGroupCount = 8;  // colour tables at group × 512
inline constexpr std::uint8_t kHostModeA = 29;
inline constexpr std::uint8_t kHostModeB = 30;

using Table = std::array<std::uint8_t, kTableSize>;
using SettingsRecord = std::array<std::uint8_t, kRecordSize>;

inline bool IsHostDrivenMode(std::uint8_t mode_index) { return mode_index == kHostModeA || mode_index == kHostModeB; }

// Where each logical key sits on this keyboard, rebuilt from the tables read
// at connect time.
struct KeyMaps {
  std::array<std::uint8_t, kLogicalKeyCount> slot;  // kNoSlot: the keyboard lacks the key
  std::array<std::uint8_t, kLogicalKeyCount> led;   // kNoLed without a slot
  std::vector<std::uint8_t> fn_keys;                // ascending logical keys with an Fn action
  std::array<std::uint8_t, kMaxSlots> fn_slot;      // logical key -> slot for those keys, else kNoSlot
};

// slot_count = N. base_table and fn_table hold at least N × 3 bytes, led_table
// at least N (shorter spans count as zeros).
KeyMaps BuildKeyMaps(std::span<const std::uint8_t> base_table, std::span<const std::uint8_t> led_table,
                     std::span<const std::uint8_t> fn_table, std::size_t slot_count);

// The logical key of a pressed or released slot: the lowest key with that
// slot, 18 reported as 89 and 19 as 108; nothing when no key has it.
std::optional<std::uint8_t> LogicalKeyOfSlot(const KeyMaps& maps, std::uint8_t slot);

// An LED number addresses bytes 3l..3l+2 of a 512-byte buffer; one from a
// bad table that would reach past it is never used.
inline bool LedFits(std::uint8_t led) { return led != kNoLed && std::size_t{led} * 3 + 2 < kTableSize; }

// The settings the record carries, decoded.
struct DecodedSettings {
  std::uint8_t record_index = 0;
  LightSetting light;  // mode index, brightness, speed, direction, multicolour, colour, special mode, group
  std::uint16_t w_flag = 0;
  std::uint16_t key6_flag = 0;
  std::uint16_t win_flag = 0;
  std::uint16_t os_mode = 0;
};

// Settings decode. `raw` is the record as read (byte 0 = the record index);
// it is rewritten as the device object keeps it: byte 1 becomes the mode
// index when the code is in the model's list (else it keeps the raw code),
// byte 16 becomes 0. A host-driven code (0xFE) decodes as the live mode when
// that is 29 or 30, else as 29. `base` gives the light fields the record does
// not carry (old mode, working bytes), and the custom group when the record's
// is past the last group.
DecodedSettings DecodeSettings(SettingsRecord& raw, std::span<const int> mode_codes, std::uint8_t live_mode,
                               const LightSetting& base);

// Settings encode: the last read record with the profile's fields over it;
// byte 0 = v, byte 16 = 0, byte 1 = the code at the mode index (0xFE for
// codes 29 and 30). A mode index outside the list is sent as it is (the raw
// code a record held that the list did not know).
SettingsRecord EncodeSettings(const SettingsRecord& last_read, const LightSetting& light, const KeyboardSystem& system,
                              std::span<const int> mode_codes, std::uint8_t v);

// Key table write: the image with every slotted key's action over it. Macro
// actions (0x70, 0x71) whose macro number is below macro_count are renumbered
// in order of first use over ascending logical keys (the used list is
// returned in `used_macros`); those at or above it fall back to the key's
// default action. `keys` is indexed by logical key (shorter: the rest skipped).
Table BuildKeyTable(const Table& image, std::span<const KeyAssignment> keys, const KeyMaps& maps,
                    std::size_t macro_count, std::vector<std::uint8_t>* used_macros = nullptr);

// The keyboard's table holds macro slots where the profile holds macro
// indexes: the slots go back to the indexes the stored key list gave them
// (BuildKeyTable's numbering), so that a table read back into the profile
// never makes a key play another macro. A slot the list does not explain
// keeps its number.
void MacroSlotsToIndexes(Table& table, std::span<const KeyAssignment> stored_keys, const KeyMaps& maps,
                         std::size_t macro_count);

// Fn key table write: the walk over logical keys with a cursor into the Fn
// key list. A listed key (other than the one selected for the Fn layer) that
// still carries its default keeps the device's built-in Fn action, and its
// assignment in `fn_keys` takes that action; any other key is written with
// its assignment. The cursor stops at the selected key.
Table BuildFnKeyTable(const Table& fn_image, std::span<KeyAssignment> fn_keys, const KeyMaps& maps,
                      std::optional<std::uint8_t> selected_fn_key);

// Per-key colours, one table per custom group at group × 512 on the device,
// three bytes per LED number; `colours` indexed by logical key.
//
// The colours read from the device go into `colours` (alpha kept).
void TakeReadColours(std::span<CustomColour> colours, const Table& read, const KeyMaps& maps);
// The colours as they are.
Table ColourTableUnscaled(std::span<const CustomColour> colours, const KeyMaps& maps);
// Each component × alpha / 256.
Table ColourTableScaled(std::span<const CustomColour> colours, const KeyMaps& maps);

// The lighting frame of the per-key colours (each component × alpha / 256 at
// the key's LED); colours packed as alpha << 24 | red << 16 | green << 8 | blue.
Table BuildLightFrame(std::span<const std::uint32_t> colours, const KeyMaps& maps);

// What an event code asks of the keyboard.
struct KeyboardEvent {
  enum class Kind { kSyncRequest, kFullSync, kHeartbeat, kKeyPress, kKeyRelease, kIndexSwitch, kIgnored };
  Kind kind = Kind::kIgnored;
  std::uint8_t slot = 0;                    // key press and release
  std::uint8_t index = 0;                   // index switch: low 4 bits
  std::optional<std::uint8_t> record_byte;  // index switch 0x11xx: bits 4..7 for record byte 17
};
KeyboardEvent ClassifyEvent(std::uint16_t code);

}  // namespace brontal::keyboard
