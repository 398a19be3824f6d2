#include "device_access/sim_node_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace brontal {

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
  std::ifstream in(folder / (name + kSimNodeInfoSuffix));
  if (!in) return false;
  info = HidNodeInfo{};
  info.node = "sim:" + (folder / name).string();
  std::string key;
  unsigned value = 0;
  bool complete = false;
  while (in >> key) {
    if (key == "instance") {
      in >> info.instance;
    } else if (key == "descriptor") {
      std::string rest;
      std::getline(in, rest);
      std::istringstream bytes(rest);
      while (bytes >> std::hex >> value) info.report_descriptor.push_back(static_cast<std::uint8_t>(value));
      complete = true;
    } else if (in >> std::hex >> value) {
      const auto v = static_cast<std::uint16_t>(value);
      if (key == "vendor") info.vendor_id = v;
      else if (key == "product") info.product_id = v;
      else if (key == "version") info.version = v;
      else if (key == "interface") info.interface_number = v;
    }
  }
  return complete && !info.instance.empty();
}

}  // namespace brontal
