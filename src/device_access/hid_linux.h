#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string_view>

#include "device_access/hid_backend.h"

struct udev;

namespace brontal {

// The interface number at the end of a HID device's phys string
// ("usb-0000:00:14.0-2/input1" gives 1); nothing for any other form.
std::optional<std::uint16_t> InterfaceNumberOfPhys(std::string_view phys);

// hidraw nodes found through libudev. A node's identity (ids, interface
// number, descriptor) is read once per plug and kept, so a scan costs one
// directory listing plus a path lookup per node.
class HidrawBackend final : public HidBackend {
 public:
  HidrawBackend();
  ~HidrawBackend() override;

  bool Enumerate(std::vector<HidNodeInfo>& nodes) override;
  bool Describe(std::string_view node, HidNodeInfo& info) override;
  HidOpenResult Open(std::string_view node, std::string_view instance, bool read, bool write, UniqueFd& fd) override;
  bool IsPresent(std::string_view node, std::string_view instance) override;

 private:
  bool DescribeSyspath(const std::string& syspath, HidNodeInfo& info);  // called with mutex_ held

  std::mutex mutex_;
  udev* udev_ = nullptr;
  std::map<std::string, HidNodeInfo> known_;  // by instance
};

}  // namespace brontal
