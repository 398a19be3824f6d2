#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

#include "device_access/hid_backend.h"
#include "device_access/hid_linux.h"
#include "device_access/hid_sim_dir.h"

namespace brontal {
namespace {

// BRONTAL_HID=sim:FOLDER puts the process on the bus of a brontal-sim daemon.
std::shared_ptr<HidBackend> FromEnvironment();

struct BusState {
  std::mutex mutex;
  std::shared_ptr<HidBackend> hidraw;
  std::shared_ptr<HidBackend> simulated = FromEnvironment();
};

std::shared_ptr<HidBackend> FromEnvironment() {
  const char* value = std::getenv("BRONTAL_HID");
  const std::string_view v = value ? value : "";
  if (!v.starts_with(kSimulatedNodePrefix) || v.size() == kSimulatedNodePrefix.size()) return nullptr;
  return std::make_shared<SimulatedDirBackend>(std::string(v.substr(kSimulatedNodePrefix.size())));
}

BusState& State() {
  static BusState state;
  return state;
}

std::shared_ptr<HidBackend> Hidraw(BusState& s) {
  if (!s.hidraw) s.hidraw = std::make_shared<HidrawBackend>();
  return s.hidraw;
}

}  // namespace

std::shared_ptr<HidBackend> HidBus::ForNode(std::string_view node) {
  BusState& s = State();
  std::scoped_lock lock(s.mutex);
  if (node.starts_with(kSimulatedNodePrefix)) return s.simulated;
  return Hidraw(s);
}

std::shared_ptr<HidBackend> HidBus::Active() {
  BusState& s = State();
  std::scoped_lock lock(s.mutex);
  return s.simulated ? s.simulated : Hidraw(s);
}

void HidBus::SetSimulated(std::shared_ptr<HidBackend> backend) {
  BusState& s = State();
  std::scoped_lock lock(s.mutex);
  s.simulated = std::move(backend);
}

std::optional<std::string> HidBus::EnvironmentError() {
  const char* value = std::getenv("BRONTAL_HID");
  if (!value || !*value) return std::nullopt;
  const std::string_view v = value;
  if (v.starts_with(kSimulatedNodePrefix) && v.size() > kSimulatedNodePrefix.size()) return std::nullopt;
  return "BRONTAL_HID=" + std::string(v) +
         " names no bus (sim:DIR for a brontal-sim bus; unset for the devices plugged in)";
}

std::string HidBus::Identity() {
  const char* value = std::getenv("BRONTAL_HID");
  if (value && std::string_view(value).starts_with(kSimulatedNodePrefix) && SimulatedActive()) return value;
  if (SimulatedActive()) return "in-process:" + std::to_string(::getpid());
  return "hidraw";
}

bool HidBus::SimulatedActive() {
  BusState& s = State();
  std::scoped_lock lock(s.mutex);
  return s.simulated != nullptr;
}

}  // namespace brontal
