#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "transport/node_host.h"

namespace brontal::sim {

inline constexpr const char* kUhidDevicePath = "/dev/uhid";

// Opens the uhid device or something that speaks its event records; an invalid
// fd with errno set when it cannot.
using UhidOpener = std::function<UniqueFd()>;
UniqueFd OpenUhidDevice();

// Simulated products as kernel HID devices: each plugged product is one open of
// the uhid device, so programs reach it through a real hidraw node. A bridge
// thread per product passes the kernel's output reports to a connection that
// the node server serves, and the server's reports back as input reports.
class UhidNodeHost final : public NodeHost {
 public:
  // Plug failures are reported on `log` when given.
  explicit UhidNodeHost(UhidOpener open = OpenUhidDevice, std::ostream* log = nullptr);
  ~UhidNodeHost() override;
  UhidNodeHost(const UhidNodeHost&) = delete;
  UhidNodeHost& operator=(const UhidNodeHost&) = delete;

  // The node's name is the device's phys; empty when uhid refused the device.
  std::string PlugNode(const ProductSpec& product, std::function<void(UniqueFd)> on_connect) override;
  // Destroys the kernel device; returns once its bridge has stopped.
  void UnplugNode(const std::string& node) override;

 private:
  class Bridge;

  const UhidOpener open_;
  std::ostream* const log_;
  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<Bridge>> nodes_;  // by node name
};

}  // namespace brontal::sim
