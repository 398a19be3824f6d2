#include "device_access/sim_node_file.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "support/debug_log.h"
#include "support/safe_file.h"

namespace brontal {
namespace {

// A node file holds a few ids and a descriptor of at most 4096 bytes.
constexpr std::size_t kLargestSimNodeFile = 1u << 20;

std::optional<std::uint64_t> ParseNumber(std::string_view text, int base, std::uint64_t largest) {
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || value > largest) return std::nullopt;
  return value;
}

}  // namespace

bool WriteSimNodeFile(const std::filesystem::path& folder, const std::string& name, const HidNodeInfo& info) {
  const std::filesystem::path target = folder / (name + kSimNodeInfoSuffix);
  const std::filesystem::path temporary = folder / ("." + name + kSimNodeInfoSuffix + ".tmp");
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << std::hex << "vendor " << info.vendor_id << "\nproduct " << info.product_id << "\nversion " << info.version
        << "\ninterface " << info.interface_number << "\ninstance " << info.instance << "\ndescriptor";
    for (std::uint8_t b : info.report_descriptor) out << ' ' << unsigned{b};
    out << '\n';
    if (!out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  return !ec;
}

bool ReadSimNodeFile(const std::filesystem::path& folder, const std::string& name, HidNodeInfo& info) {
  const std::filesystem::path path = folder / (name + kSimNodeInfoSuffix);
  std::string text, error;
  if (!ReadRegularFile(path, kLargestSimNodeFile, text, error)) {
    if (error != std::strerror(ENOENT)) Trace("sim node " + path.string() + ": " + error);
    return false;
  }
  info = HidNodeInfo{};
  info.node = "sim:" + (folder / name).string();
  std::istringstream in(text);
  std::string key, word;
  bool complete = false;
  // Written by another program: a value that is no number, or too large for
  // its field, makes the whole node unusable rather than a wrong device.
  const auto bad = [&](std::string_view what) {
    Trace("sim node " + path.string() + ": bad " + std::string(what) + " '" + word + "'");
    return false;
  };
  while (in >> key) {
    if (key == "descriptor") {
      std::string rest;
      std::getline(in, rest);
      std::istringstream bytes(rest);
      while (bytes >> word) {
        const std::optional<std::uint64_t> byte = ParseNumber(word, 16, 0xff);
        if (!byte) return bad("descriptor byte");
        info.report_descriptor.push_back(static_cast<std::uint8_t>(*byte));
      }
      complete = true;
      continue;
    }
    if (!(in >> word)) break;
    if (key == "instance") {
      if (!ParseNumber(word, 10, UINT64_MAX)) return bad("instance");
      info.instance = word;
      continue;
    }
    std::uint16_t* field = key == "vendor"      ? &info.vendor_id
                           : key == "product"   ? &info.product_id
                           : key == "version"   ? &info.version
                           : key == "interface" ? &info.interface_number
                                                : nullptr;
    if (!field) continue;  // a later writer's key
    const std::optional<std::uint64_t> value = ParseNumber(word, 16, 0xffff);
    if (!value) return bad(key);
    *field = static_cast<std::uint16_t>(*value);
  }
  return complete && !info.instance.empty();
}

}  // namespace brontal
