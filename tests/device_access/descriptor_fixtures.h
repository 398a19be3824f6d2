#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace brontal::test {

// A report descriptor of a real device, kept as hexadecimal text under tests/data/rdesc.
inline std::vector<std::uint8_t> LoadDescriptor(const std::string& name) {
  std::ifstream in(std::filesystem::path(BRONTAL_TEST_DATA) / "rdesc" / (name + ".hex"));
  std::vector<std::uint8_t> bytes;
  unsigned value;
  while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

}  // namespace brontal::test
