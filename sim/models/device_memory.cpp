#include "models/device_memory.h"

#include <algorithm>

namespace brontal::sim {
namespace {

constexpr std::size_t IndexOf(MemoryRegion region) { return static_cast<std::size_t>(region); }

bool Fits(std::size_t region_size, std::size_t address, std::size_t length) {
  return address <= region_size && length <= region_size - address;
}

}  // namespace

DeviceMemory::DeviceMemory(const RegionSizes& sizes) {
  for (std::size_t i = 0; i < kMemoryRegionCount; ++i) regions_[i].assign(sizes[i], 0);
}

std::size_t DeviceMemory::Size(MemoryRegion region) const { return regions_[IndexOf(region)].size(); }

bool DeviceMemory::Read(MemoryRegion region, std::size_t address, std::span<std::uint8_t> out) const {
  const std::vector<std::uint8_t>& bytes = regions_[IndexOf(region)];
  if (!Fits(bytes.size(), address, out.size())) return false;
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(address), out.size(), out.begin());
  return true;
}

bool DeviceMemory::Write(MemoryRegion region, std::size_t address, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t>& bytes = regions_[IndexOf(region)];
  if (!Fits(bytes.size(), address, data.size())) return false;
  std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(address));
  return true;
}

std::span<std::uint8_t> DeviceMemory::Bytes(MemoryRegion region) { return regions_[IndexOf(region)]; }

std::span<const std::uint8_t> DeviceMemory::Bytes(MemoryRegion region) const { return regions_[IndexOf(region)]; }

}  // namespace brontal::sim
