#include "devices/headset/headset_wire.h"

#include <algorithm>

namespace brontal::headset {
namespace {

constexpr std::size_t kLowerHalf = 7;  // positions 0..6; the upper half is 7..12
constexpr std::size_t kValuesAt = 4;

struct ReportPlan {
  std::uint8_t target;
  std::uint8_t plane_code;
  std::size_t plane;  // 0 red, 1 green, 2 blue
  bool upper;
};

constexpr std::array<ReportPlan, kReportsPerFrame> kOrder = {{
    {0x22, 0xAA, 0, false},
    {0x22, 0xAD, 0, true},
    {0x44, 0xAA, 0, false},
    {0x44, 0xAD, 0, true},
    {0x22, 0xAB, 1, false},
    {0x22, 0xAE, 1, true},
    {0x44, 0xAB, 1, false},
    {0x44, 0xAE, 1, true},
    {0x22, 0xAC, 2, false},
    {0x22, 0xAF, 2, true},
    {0x44, 0xAC, 2, false},
    {0x44, 0xAF, 2, true},
}};

}  // namespace

LightPlanes PlanesOf(std::span<const std::uint32_t> colours) {
  LightPlanes planes{};
  const std::size_t count = std::min(colours.size(), kLightCount);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t alpha = colours[i] >> 24;
    for (std::size_t plane = 0; plane < 3; ++plane) {
      const std::uint32_t value = (colours[i] >> (16 - 8 * plane)) & 0xFF;
      planes[plane][i] = static_cast<std::uint8_t>(std::min<std::uint32_t>(value * alpha / 256, kPlaneCap));
    }
  }
  return planes;
}

LightReports BuildLightReports(const LightPlanes& planes) {
  LightReports reports{};
  LightReport buffer{};
  buffer[0] = kLightReportId;
  for (std::size_t r = 0; r < kReportsPerFrame; ++r) {
    const ReportPlan& plan = kOrder[r];
    buffer[1] = plan.target;
    buffer[2] = plan.plane_code;
    const auto& values = planes[plan.plane];
    if (plan.upper)
      std::copy_n(values.begin() + kLowerHalf, kLightCount - kLowerHalf, buffer.begin() + kValuesAt);
    else
      std::copy_n(values.begin(), kLowerHalf, buffer.begin() + kValuesAt);
    reports[r] = buffer;
  }
  return reports;
}

}  // namespace brontal::headset
