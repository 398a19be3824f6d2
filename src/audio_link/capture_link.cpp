#include "audio_link/capture_link.h"

#include <algorithm>

namespace brontal::audio_link {
namespace {

void PutInt(std::vector<std::uint8_t>& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

std::int32_t IntAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

}  // namespace

std::optional<CaptureCommand> CaptureCommandOf(std::uint64_t wparam) {
  if (wparam > static_cast<std::uint64_t>(CaptureCommand::kCaptureOn)) return std::nullopt;
  return static_cast<CaptureCommand>(wparam);
}

std::vector<std::uint8_t> EncodeSpectrum(const Spectrum& spectrum) {
  std::vector<std::uint8_t> out;
  out.reserve(kSpectrumBytes);
  for (const std::int32_t value : spectrum) PutInt(out, value);
  return out;
}

std::optional<Spectrum> DecodeSpectrum(std::span<const std::uint8_t> payload) {
  if (payload.size() != kSpectrumBytes) return std::nullopt;
  Spectrum spectrum{};
  for (std::size_t i = 0; i < kSpectrumValues; ++i) spectrum[i] = IntAt(payload, 4 * i);
  return spectrum;
}

std::vector<std::uint8_t> EncodeColourBlock(const ColourBlock& block) { return {block.begin(), block.end()}; }

std::optional<ColourBlock> DecodeColourBlock(std::span<const std::uint8_t> payload) {
  if (payload.size() != kColourBlockBytes) return std::nullopt;
  ColourBlock block{};
  std::copy(payload.begin(), payload.end(), block.begin());
  return block;
}

std::vector<std::uint8_t> EncodeStyleColour(const StyleColour& colour) {
  std::vector<std::uint8_t> out;
  out.reserve(kStyleColourBytes);
  for (const std::int32_t value : {colour.red, colour.green, colour.blue}) PutInt(out, value);
  out.resize(kStyleColourBytes, 0);
  return out;
}

std::optional<StyleColour> DecodeStyleColour(std::span<const std::uint8_t> payload) {
  if (payload.size() != kStyleColourBytes) return std::nullopt;
  return StyleColour{IntAt(payload, 0), IntAt(payload, 4), IntAt(payload, 8)};
}

}  // namespace brontal::audio_link
