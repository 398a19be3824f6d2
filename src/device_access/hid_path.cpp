#include "device_access/hid_path.h"

#include <algorithm>
#include <cstdio>

#include "support/ascii_text.h"

namespace brontal {
namespace {

std::uint16_t ParseAfterMarker(std::string_view path, std::string_view marker) {
  const auto it = std::search(path.begin(), path.end(), marker.begin(), marker.end(),
                              [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
  if (it == path.end()) return 0;
  std::uint32_t value = 0;
  for (auto p = it + static_cast<std::ptrdiff_t>(marker.size()); p != path.end(); ++p) {
    const char c = AsciiLower(*p);
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else break;
    value = ((value << 4) | static_cast<std::uint32_t>(digit)) & 0xFFFFFF;
  }
  return static_cast<std::uint16_t>(value);
}

constexpr std::string_view kPrefix = "\\\\?\\hid#";

}  // namespace

std::uint16_t ParseVendorId(std::string_view path) { return ParseAfterMarker(path, "vid_"); }
std::uint16_t ParseProductId(std::string_view path) { return ParseAfterMarker(path, "pid_"); }
std::uint16_t ParseInterfaceNumber(std::string_view path) { return ParseAfterMarker(path, "&mi_"); }
std::uint16_t ParseCollectionNumber(std::string_view path) { return ParseAfterMarker(path, "&col"); }

std::string MakeHidPath(const HidPathParts& p) {
  char ids[64];
  std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x&mi_%02x", p.vendor_id, p.product_id, p.interface_number);
  std::string path(kPrefix);
  path += ids;
  if (p.collection_number != 0) {
    std::snprintf(ids, sizeof ids, "&col%02x", p.collection_number);
    path += ids;
  }
  path += '#';
  path += p.node;
  path += '#';
  path += p.instance;
  return path;
}

bool SplitHidPath(std::string_view path, std::string& node, std::string& instance) {
  if (!path.starts_with(kPrefix)) return false;
  const std::size_t first = path.find('#', kPrefix.size());
  const std::size_t last = path.rfind('#');
  if (first == std::string_view::npos || last <= first) return false;
  node = path.substr(first + 1, last - first - 1);
  instance = path.substr(last + 1);
  return !node.empty();
}

}  // namespace brontal
