#include "sdk_server/wire_bytes.h"

#include <algorithm>
#include <limits>

namespace brontal::sdk {

void ByteWriter::U16(std::uint16_t value) {
  bytes_.push_back(static_cast<std::uint8_t>(value));
  bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ByteWriter::String(std::string_view text) {
  text = text.substr(0, std::numeric_limits<std::uint16_t>::max() - 1);
  U16(static_cast<std::uint16_t>(text.size() + 1));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  bytes_.push_back(0);
}

void ByteWriter::Colour(Rgb colour) { bytes_.insert(bytes_.end(), {colour.red, colour.green, colour.blue, 0}); }

void ByteWriter::PatchU32(std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::optional<std::span<const std::uint8_t>> ByteReader::Take(std::size_t count) {
  if (count > remaining()) {
    bytes_ = {};  // failed for good
    at_ = 0;
    return std::nullopt;
  }
  const std::span<const std::uint8_t> taken = bytes_.subspan(at_, count);
  at_ += count;
  return taken;
}

std::optional<std::uint16_t> ByteReader::U16() {
  const auto b = Take(2);
  if (!b) return std::nullopt;
  return static_cast<std::uint16_t>((*b)[0] | ((*b)[1] << 8));
}

std::optional<std::uint32_t> ByteReader::U32() {
  const auto b = Take(4);
  if (!b) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>((*b)[i]) << (8 * i);
  return value;
}

std::optional<std::string> ByteReader::String() {
  const std::optional<std::uint16_t> length = U16();
  if (!length) return std::nullopt;
  const auto b = Take(*length);
  if (!b) return std::nullopt;
  // The length counts a terminating zero; text stops at the first zero either way.
  const auto end = std::find(b->begin(), b->end(), std::uint8_t{0});
  return std::string(b->begin(), end);
}

std::optional<Rgb> ByteReader::Colour() {
  const auto b = Take(4);
  if (!b) return std::nullopt;
  return Rgb{(*b)[0], (*b)[1], (*b)[2]};
}

bool ByteReader::Skip(std::size_t count) { return Take(count).has_value(); }

}  // namespace brontal::sdk
