#include "devices/mousepad/pad_wire.h"

#include <algorithm>

namespace brontal::pad {
namespace {

std::uint8_t Inverted(std::uint8_t speed) { return static_cast<std::uint8_t>(4 - std::min<int>(speed, 4)); }

}  // namespace

void DecodeRecord(LightRecord& raw, std::span<const int> mode_codes) {
  const auto known = std::ranges::find(mode_codes, int{raw[1]});
  if (known != mode_codes.end()) raw[1] = static_cast<std::uint8_t>(known - mode_codes.begin());
  raw[3] = Inverted(raw[3]);
}

void TakeLight(LightRecord& kept, const LightSetting& light) {
  kept[1] = light.select_item;
  kept[2] = light.light;
  kept[3] = light.speed;
  kept[5] = light.multi_color;
  kept[6] = light.red;
  kept[7] = light.green;
  kept[8] = light.blue;
}

LightRecord EncodeRecord(const LightRecord& kept, std::span<const int> mode_codes) {
  LightRecord sent = kept;
  if (kept[1] < mode_codes.size()) sent[1] = static_cast<std::uint8_t>(mode_codes[kept[1]]);
  sent[3] = Inverted(kept[3]);
  return sent;
}

}  // namespace brontal::pad
