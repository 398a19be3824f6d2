#include "models/headset_lights.h"

#include <array>

#include "models/memory_layout.h"

namespace brontal::sim {
namespace {

constexpr std::array<std::uint8_t, kHeadsetTargets> kTargets = {0x22, 0x44};

struct PlaneHalf {
  std::uint8_t code;
  std::size_t plane;  // 0 red, 1 green, 2 blue
  std::size_t first_position;
  std::size_t count;
};
constexpr std::array<PlaneHalf, 6> kPlaneHalves = {{
    {0xAA, 0, 0, 7}, {0xAB, 1, 0, 7}, {0xAC, 2, 0, 7},
    {0xAD, 0, 7, 6}, {0xAE, 1, 7, 6}, {0xAF, 2, 7, 6},
}};

constexpr std::size_t kTargetByte = 1;
constexpr std::size_t kPlaneByte = 2;
constexpr std::size_t kFirstValueByte = 4;

}  // namespace

std::optional<HeadsetLightUpdate> DecodeHeadsetLightReport(std::span<const std::uint8_t> report) {
  if (report.size() <= kPlaneByte) return std::nullopt;
  std::optional<std::size_t> target;
  for (std::size_t t = 0; t < kTargets.size(); ++t)
    if (kTargets[t] == report[kTargetByte]) target = t;
  const PlaneHalf* half = nullptr;
  for (const PlaneHalf& h : kPlaneHalves)
    if (h.code == report[kPlaneByte]) half = &h;
  if (!target || half == nullptr || report.size() < kFirstValueByte + half->count) return std::nullopt;
  return HeadsetLightUpdate{
      .offset = (*target * kHeadsetPlanes + half->plane) * kHeadsetPositions + half->first_position,
      .values = report.subspan(kFirstValueByte, half->count),
  };
}

}  // namespace brontal::sim
