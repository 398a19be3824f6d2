#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "models/memory_layout.h"

namespace brontal::sim {

// The byte regions of one device. Every access is bounds-checked as a whole:
// a request that does not fit entirely is refused and changes nothing.
// Not synchronised; the owning device guards it.
class DeviceMemory {
 public:
  explicit DeviceMemory(const RegionSizes& sizes);

  std::size_t Size(MemoryRegion region) const;
  bool Read(MemoryRegion region, std::size_t address, std::span<std::uint8_t> out) const;
  bool Write(MemoryRegion region, std::size_t address, std::span<const std::uint8_t> data);
  std::span<std::uint8_t> Bytes(MemoryRegion region);
  std::span<const std::uint8_t> Bytes(MemoryRegion region) const;

 private:
  std::array<std::vector<std::uint8_t>, kMemoryRegionCount> regions_;
};

}  // namespace brontal::sim
