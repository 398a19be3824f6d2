#pragma once

#include <map>
#include <mutex>

#include "device_access/hid_backend.h"

struct udev;

namespace brontal {

// hidraw nodes found through libudev. A node's identity (ids, interface
// number, descriptor) is read once per plug and kept, so a scan costs one
// directory listing plus a path lookup per node.
class HidrawBackend final : public HidBackend {
 public:
  HidrawBackend();
  ~HidrawBackend() override;

  bool Enumerate(std::vector<HidNodeInfo>& nodes) override;
  bool Describe(std::string_view node, HidNodeInfo& info) override;
  HidOpenResult Open(std::string_view node, std::string_view instance, bool read, bool write,
                     UniqueFd& fd) override;
  bool IsPresent(std::string_view node, std::string_view instance) override;

 private:
  bool DescribeSyspath(const std::string& syspath, HidNodeInfo& info);  // called with mutex_ held

  std::mutex mutex_;
  udev* udev_ = nullptr;
  std::map<std::string, HidNodeInfo> known_;  // by instance
};

}  // namespace brontal
