#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace brontal {

// The 34-byte device information a device answers to command 0x03 at connect time.
struct DeviceInfoBlock {
  static constexpr std::size_t kSize = 34;
  static constexpr std::size_t kMacroUnitBytes = 128;
  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t key_slot_count() const { return bytes[5]; }
  std::uint8_t macro_memory_units() const { return bytes[6]; }
  std::size_t macro_memory_bytes() const { return std::size_t{bytes[6]} * kMacroUnitBytes; }
  // Mouse sensor and DPI fields.
  std::uint16_t sensor_code() const { return Word(9); }
  std::uint8_t dpi_step() const { return bytes[11]; }
  std::uint16_t largest_stage_value() const { return Word(12); }
  std::uint16_t base_dpi() const { return Word(14); }

 private:
  std::uint16_t Word(std::size_t at) const { return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)); }
};

}  // namespace brontal
