#pragma once

#include <cstdint>
#include <span>

#include "models/product_catalog.h"

namespace brontal::sim {

inline constexpr std::uint8_t kNoKey = 0xFF;  // a matrix position without a switch
inline constexpr std::uint8_t kNoLed = 0xFF;

// The mouse sensor fields of the device information block.
struct SensorFields {
  std::uint16_t sensor_code = 0;
  std::uint8_t dpi_step = 0;
  std::uint16_t largest_stage = 0;
  std::uint16_t base_dpi = 0;
};

// What distinguishes one model's firmware from another of its family.
struct ModelTraits {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;  // of the cabled product
  std::uint8_t macro_units = 0;  // macro memory in 128-byte units
  // Per key slot: the logical key (keyboard) or logical button (mouse) whose
  // factory action the slot holds, kNoKey for an empty slot. The slot count is
  // the size.
  std::span<const std::uint8_t> slot_keys;
  // Per key slot: its LED number, kNoLed without one (keyboards only).
  std::span<const std::uint8_t> slot_leds;
  SensorFields sensor;
};

const ModelTraits* FindModelTraits(const ProductSpec& cabled);

}  // namespace brontal::sim
