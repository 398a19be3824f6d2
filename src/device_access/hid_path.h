#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brontal {

// Readers of the identity fields of a device-interface path. The marker is
// found case-insensitively and followed by hexadecimal digits; 0 when absent.
std::uint16_t ParseVendorId(std::string_view path);          // "vid_"
std::uint16_t ParseProductId(std::string_view path);         // "pid_"
std::uint16_t ParseInterfaceNumber(std::string_view path);   // "&mi_"
std::uint16_t ParseCollectionNumber(std::string_view path);  // "&col"

// Paths have the form of the original platform so the readers above work
// unchanged: \\?\hid#vid_320f&pid_5100&mi_01&col04#NODE#INSTANCE. NODE names
// the device node (/dev/hidraw3, sim:...), INSTANCE tells one plug of it from
// the next. A collection number of 0 (the interface's only collection) gets no
// "&col" marker.
struct HidPathParts {
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t interface_number = 0;
  std::uint16_t collection_number = 0;
  std::string node;
  std::string instance;
};
std::string MakeHidPath(const HidPathParts& parts);
// Node and instance of a path made by MakeHidPath; false for anything else.
bool SplitHidPath(std::string_view path, std::string& node, std::string& instance);

}  // namespace brontal
