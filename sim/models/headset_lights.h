#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The headset's 17-byte light reports (id 0xFF): byte 1 the target group,
// byte 2 the colour plane and half, bytes 4.. the values of that half.
namespace brontal::sim {

struct HeadsetLightUpdate {
  std::size_t offset;                   // into the headset colour region
  std::span<const std::uint8_t> values;  // one per light position
};

// Nothing for a report of an unknown target or plane, or too short for its values.
std::optional<HeadsetLightUpdate> DecodeHeadsetLightReport(std::span<const std::uint8_t> report);

}  // namespace brontal::sim
