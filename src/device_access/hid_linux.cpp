#include "device_access/hid_linux.h"

#include <fcntl.h>
#include <libudev.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace brontal {
namespace {

// A hidraw node's sysfs path ends in ".../<hid device>/hidraw/hidrawN"; the hid
// device's name ("0003:320F:5100.000A") carries a sequence number that the
// kernel never reuses, so it tells one plug of the node from the next.
bool SplitSyspath(const std::string& syspath, std::string& node, std::string& instance) {
  const std::filesystem::path p(syspath);
  const std::filesystem::path hid = p.parent_path().parent_path();
  if (p.parent_path().filename() != "hidraw" || hid.empty()) return false;
  node = "/dev/" + p.filename().string();
  instance = hid.filename().string();
  return true;
}

std::string CurrentSyspath(std::string_view node) {
  if (!node.starts_with("/dev/hidraw")) return {};
  const std::string link = "/sys/class/hidraw/" + std::string(node.substr(5));
  char resolved[PATH_MAX];
  if (!realpath(link.c_str(), resolved)) return {};
  return resolved;
}

}  // namespace

std::optional<std::uint16_t> InterfaceNumberOfPhys(std::string_view phys) {
  const std::size_t slash = phys.rfind('/');
  if (slash == std::string_view::npos || !phys.substr(slash + 1).starts_with("input")) return std::nullopt;
  const std::string_view digits = phys.substr(slash + 1 + 5);
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() || value > 0xFF) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

namespace {

std::uint16_t HexAttribute(udev_device* device, const char* name) {
  const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
  return value ? static_cast<std::uint16_t>(std::strtoul(value, nullptr, 16)) : 0;
}

}  // namespace

HidrawBackend::HidrawBackend() : udev_(udev_new()) {}

HidrawBackend::~HidrawBackend() {
  if (udev_) udev_unref(udev_);
}

bool HidrawBackend::DescribeSyspath(const std::string& syspath, HidNodeInfo& info) {
  std::string node, instance;
  if (!SplitSyspath(syspath, node, instance)) return false;
  if (const auto it = known_.find(instance); it != known_.end()) {
    info = it->second;
    return true;
  }
  udev_device* raw = udev_device_new_from_syspath(udev_, syspath.c_str());
  if (!raw) return false;
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(raw, "hid", nullptr);
  const char* hid_id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;  // "0003:0000320F:00005100"
  unsigned bus = 0, vendor = 0, product = 0;
  if (!hid_id || std::sscanf(hid_id, "%x:%x:%x", &bus, &vendor, &product) != 3) {
    udev_device_unref(raw);
    return false;
  }
  info = HidNodeInfo{};
  info.node = node;
  info.instance = instance;
  info.vendor_id = static_cast<std::uint16_t>(vendor);
  info.product_id = static_cast<std::uint16_t>(product);
  // Without a USB interface parent (uhid devices, and HID devices of other
  // transports that still name one) the interface number is the one the
  // device's phys string ends in, "usb-0000:00:14.0-2/input1"; otherwise 0.
  if (udev_device* usb_interface = udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_interface")) {
    info.interface_number = HexAttribute(usb_interface, "bInterfaceNumber");
  } else if (const char* phys = udev_device_get_property_value(hid, "HID_PHYS")) {
    info.interface_number = InterfaceNumberOfPhys(phys).value_or(0);
  }
  info.version = HexAttribute(udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_device"), "bcdDevice");
  std::ifstream descriptor(std::string(udev_device_get_syspath(hid)) + "/report_descriptor", std::ios::binary);
  info.report_descriptor.assign(std::istreambuf_iterator<char>(descriptor), std::istreambuf_iterator<char>());
  udev_device_unref(raw);
  known_[instance] = info;
  return true;
}

bool HidrawBackend::Enumerate(std::vector<HidNodeInfo>& nodes) {
  std::scoped_lock lock(mutex_);
  nodes.clear();
  if (!udev_) return false;
  udev_enumerate* enumerate = udev_enumerate_new(udev_);
  if (!enumerate) return false;
  bool ok = udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 && udev_enumerate_scan_devices(enumerate) >= 0;
  std::map<std::string, HidNodeInfo> still_known;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, ok ? udev_enumerate_get_list_entry(enumerate) : nullptr) {
    HidNodeInfo info;
    if (!DescribeSyspath(udev_list_entry_get_name(entry), info)) continue;  // gone while listing
    still_known.emplace(info.instance, info);
    nodes.push_back(std::move(info));
  }
  udev_enumerate_unref(enumerate);
  if (ok) known_ = std::move(still_known);
  return ok;
}

bool HidrawBackend::Describe(std::string_view node, HidNodeInfo& info) {
  const std::string syspath = CurrentSyspath(node);
  std::scoped_lock lock(mutex_);
  return udev_ && !syspath.empty() && DescribeSyspath(syspath, info);
}

HidOpenResult HidrawBackend::Open(std::string_view node, std::string_view instance, bool read, bool write,
                                  UniqueFd& fd) {
  if (!IsPresent(node, instance)) return HidOpenResult::kGone;
  const int access = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  fd.Reset(::open(std::string(node).c_str(), access | O_NONBLOCK | O_CLOEXEC));
  if (fd) return HidOpenResult::kOpened;
  if (errno == EACCES || errno == EPERM) return HidOpenResult::kPermissionDenied;
  if (errno == ENOENT || errno == ENODEV || errno == ENXIO) return HidOpenResult::kGone;
  return HidOpenResult::kFailed;
}

bool HidrawBackend::IsPresent(std::string_view node, std::string_view instance) {
  std::string current_node, current_instance;
  return SplitSyspath(CurrentSyspath(node), current_node, current_instance) && current_instance == instance;
}

}  // namespace brontal
