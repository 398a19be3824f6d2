#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "profiles/profile_records.h"

// The mouse pad's lighting record as pure functions over bytes; the headset
// keeps the same record.
namespace brontal::pad {

inline constexpr std::size_t kRecordSize = 21;  // what the host keeps of the 34 bytes read
inline constexpr std::size_t kReadSize = 34;
inline constexpr std::uint32_t kReadStride = 33;
inline constexpr std::uint32_t kWriteStride = 64;

// Kept decoded: byte 1 the mode index, byte 3 the speed.
using LightRecord = std::array<std::uint8_t, kRecordSize>;

// A record as read (byte 0 the record index) in the kept form: byte 1's code
// becomes its place in the mode list when found, byte 3 becomes 4 − byte 3.
void DecodeRecord(LightRecord& raw, std::span<const int> mode_codes);

// The kept record with the live lighting over it (mode index, brightness,
// speed, multicolour, colour); the other bytes are the last read's.
void TakeLight(LightRecord& kept, const LightSetting& light);

// The copy that is sent: byte 1 the code at the kept mode index (an index
// past the list keeps its value), byte 3 inverted.
LightRecord EncodeRecord(const LightRecord& kept, std::span<const int> mode_codes);

}  // namespace brontal::pad
