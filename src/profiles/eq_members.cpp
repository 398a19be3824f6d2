#include "profiles/eq_members.h"

#include "profiles/json_fields.h"

namespace brontal {
namespace {

constexpr const char* kValue = "value";
constexpr const char* kName = "Name";

}  // namespace

std::optional<std::size_t> EqPresetElement(int preset) {
  if (preset == kCustomEqPreset) return std::nullopt;
  if (preset >= 1 && preset < kCustomEqPreset) return static_cast<std::size_t>(preset);
  return 1;
}

EqBands TakeEqBands(Json::Value& curves, std::size_t index) {
  EqBands bands{};
  Json::Value& curve = ElementForWrite(curves, index);
  for (std::size_t b = 0; b < kEqBandCount; ++b) {
    Json::Value& band = ElementForWrite(curve, b);
    if (!band.isObject()) MemberForWrite(band, kValue) = 0;
    bands[b] = ToField<std::int32_t>(Member(band, kValue));
  }
  return bands;
}

void PutEqBands(Json::Value& curves, std::size_t index, const EqBands& bands) {
  Json::Value& curve = ElementForWrite(curves, index);
  for (std::size_t b = 0; b < kEqBandCount; ++b) MemberForWrite(ElementForWrite(curve, b), kValue) = bands[b];
}

std::vector<std::string> DecodeEqNames(const Json::Value& names) {
  std::vector<std::string> decoded(ElementCount(names));
  for (std::size_t i = 0; i < decoded.size(); ++i) decoded[i] = ToText(Member(Element(names, i), kName));
  return decoded;
}

Json::Value EncodeEqNames(std::span<const std::string> names) {
  Json::Value encoded(Json::arrayValue);
  for (const std::string& name : names) {
    Json::Value entry(Json::objectValue);
    entry[kName] = name;
    encoded.append(entry);
  }
  return encoded;
}

}  // namespace brontal
