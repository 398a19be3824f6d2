#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Little-endian fields as the SDK protocol lays them out: integers, strings
// with a 16-bit length that counts their terminating zero, colours of four
// bytes (red, green, blue, padding).
namespace brontal::sdk {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

class ByteWriter {
 public:
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  // Longer texts are cut to what the 16-bit length can say.
  void String(std::string_view text);
  void Colour(Rgb colour);
  // Counts are 16 bits on the wire; callers keep lists below that.
  void Count(std::size_t count) { U16(static_cast<std::uint16_t>(count)); }
  // Overwrites four bytes written earlier (a size known only at the end).
  void PatchU32(std::size_t at, std::uint32_t value);
  std::size_t size() const { return bytes_.size(); }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Reads within the span only: every read past its end fails, and the reader
// stays failed, so a decoder checks once at the end.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::optional<std::uint16_t> U16();
  std::optional<std::uint32_t> U32();
  std::optional<std::string> String();
  std::optional<Rgb> Colour();
  bool Skip(std::size_t count);
  std::size_t remaining() const { return bytes_.size() - at_; }

 private:
  std::optional<std::span<const std::uint8_t>> Take(std::size_t count);

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace brontal::sdk
