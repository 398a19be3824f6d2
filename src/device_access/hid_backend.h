#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/unique_fd.h"

namespace brontal {

// One HID device node: a USB interface with its report descriptor. Its top-level
// collections each get a path of their own (see hid_path.h).
struct HidNodeInfo {
  std::string node;      // "/dev/hidraw3", "sim:..."
  std::string instance;  // differs between two plugs of the same node
  std::uint16_t vendor_id = 0;
  std::uint16_t product_id = 0;
  std::uint16_t version = 0;
  std::uint16_t interface_number = 0;
  std::vector<std::uint8_t> report_descriptor;
};

enum class HidOpenResult { kOpened, kGone, kPermissionDenied, kFailed };

// A source of HID nodes. Opened nodes are file descriptors that behave like
// hidraw: one report per read()/write(), report id byte first when the
// descriptor uses report ids, POLLHUP/POLLERR once the device is gone.
class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // Every node present now, in a stable order. False when the listing failed.
  virtual bool Enumerate(std::vector<HidNodeInfo>& nodes) = 0;
  // The node as it is now (after a replug the instance differs).
  virtual bool Describe(std::string_view node, HidNodeInfo& info) = 0;
  // Opens the node non-blocking; `instance` must still be the current one.
  virtual HidOpenResult Open(std::string_view node, std::string_view instance, bool read, bool write, UniqueFd& fd) = 0;
  // Cheap presence test: the node exists and is still the same plug.
  virtual bool IsPresent(std::string_view node, std::string_view instance) = 0;
};

// The backends of this process. Nodes whose name starts with "sim:" belong to
// the simulated bus, everything else to hidraw. Enumeration lists the active
// bus: the simulated one when installed (--simulate, BRONTAL_HID=sim:DIR),
// hidraw otherwise.
class HidBus {
 public:
  static std::shared_ptr<HidBackend> ForNode(std::string_view node);
  static std::shared_ptr<HidBackend> Active();
  // Installs (or with nullptr removes) the simulated bus.
  static void SetSimulated(std::shared_ptr<HidBackend> backend);
  static bool SimulatedActive();
  // Names the active bus for other programs: "hidraw", "sim:DIR" of a
  // simulator daemon, or a name of this process's own for a simulation inside
  // it (no other program reaches that one).
  static std::string Identity();
  // What is wrong with BRONTAL_HID: only "sim:DIR" (or no value) names a bus.
  // A program refuses to start on another value rather than fall back to the
  // real devices behind the user's back.
  static std::optional<std::string> EnvironmentError();
};

inline constexpr std::string_view kSimulatedNodePrefix = "sim:";

}  // namespace brontal
