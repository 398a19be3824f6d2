#include "device_access/hid_sim_dir.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "device_access/sim_node_file.h"

namespace brontal {

std::filesystem::path SimulatedDirBackend::Bus() const {
  std::error_code ec;
  const std::filesystem::path inner = folder_ / "brontal-sim-bus";  // brontal-sim's kBusSubfolderName
  return std::filesystem::is_directory(std::filesystem::symlink_status(inner, ec)) ? inner : folder_;
}

std::string SimulatedDirBackend::NameOf(std::string_view node) const {
  const std::string prefix = "sim:" + Bus().string() + "/";
  if (!node.starts_with(prefix)) return {};
  const std::string_view name = node.substr(prefix.size());
  return name.find('/') == std::string_view::npos ? std::string(name) : std::string();
}

bool SimulatedDirBackend::Enumerate(std::vector<HidNodeInfo>& nodes) {
  nodes.clear();
  const std::filesystem::path bus = Bus();
  std::error_code ec;
  std::filesystem::directory_iterator it(bus, ec);
  if (ec) return false;
  for (const auto& entry : it) {
    const std::filesystem::path& p = entry.path();
    if (p.extension() != kSimNodeInfoSuffix || p.filename().string().starts_with(".")) continue;
    HidNodeInfo info;
    if (ReadSimNodeFile(bus, p.stem().string(), info)) nodes.push_back(std::move(info));
  }
  // Plug order, which the daemon's instance numbers keep; ReadSimNodeFile
  // admits only decimal instances, so the longer is the larger.
  std::sort(nodes.begin(), nodes.end(), [](const HidNodeInfo& a, const HidNodeInfo& b) {
    return std::pair(a.instance.size(), std::string_view(a.instance)) <
           std::pair(b.instance.size(), std::string_view(b.instance));
  });
  return true;
}

bool SimulatedDirBackend::Describe(std::string_view node, HidNodeInfo& info) {
  const std::string name = NameOf(node);
  return !name.empty() && ReadSimNodeFile(Bus(), name, info);
}

HidOpenResult SimulatedDirBackend::Open(std::string_view node, std::string_view instance, bool, bool, UniqueFd& fd) {
  if (!IsPresent(node, instance)) return HidOpenResult::kGone;
  const std::string socket_path = (Bus() / (NameOf(node) + kSimNodeSocketSuffix)).string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket_path.size() >= sizeof address.sun_path) return HidOpenResult::kFailed;
  std::memcpy(address.sun_path, socket_path.c_str(), socket_path.size() + 1);
  fd.Reset(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return HidOpenResult::kFailed;
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    return HidOpenResult::kOpened;
  const int error = errno;
  fd.Reset();
  if (error == EACCES || error == EPERM) return HidOpenResult::kPermissionDenied;
  if (error == ENOENT || error == ECONNREFUSED) return HidOpenResult::kGone;
  return HidOpenResult::kFailed;
}

bool SimulatedDirBackend::IsPresent(std::string_view node, std::string_view instance) {
  HidNodeInfo info;
  return Describe(node, info) && info.instance == instance;
}

}  // namespace brontal
