#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The headset's light reports: every host frame goes to it as twelve 17-byte
// output reports, one half of one colour plane for one of its two target
// groups each.
namespace brontal::headset {

inline constexpr std::size_t kLightCount = 13;
inline constexpr std::size_t kReportSize = 17;
inline constexpr std::size_t kReportsPerFrame = 12;
inline constexpr std::uint8_t kLightReportId = 0xFF;
// The brightest value a plane carries.
inline constexpr std::uint8_t kPlaneCap = 247;

// Red, green and blue by light position.
using LightPlanes = std::array<std::array<std::uint8_t, 16>, 3>;
using LightReport = std::array<std::uint8_t, kReportSize>;
using LightReports = std::array<LightReport, kReportsPerFrame>;

// Each colour word (0xAARRGGBB) scaled by its alpha and capped; positions
// past the colours are dark.
LightPlanes PlanesOf(std::span<const std::uint32_t> colours);

// The twelve reports of a frame in the order the headset takes them. They are
// built in one buffer cleared only before the first, as the headset has always
// received them: the six-value report of a plane's upper half still carries
// the seventh value of the report before it in byte 10.
LightReports BuildLightReports(const LightPlanes& planes);

}  // namespace brontal::headset
