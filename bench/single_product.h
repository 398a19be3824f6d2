#pragma once

// A scenario's one product: plugged alone on a fresh in-process simulated
// bus, found and connected the way the program does it, its profiles kept.
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "devices/headless_roster.h"
#include "scenario_support.h"
#include "support/user_folders.h"
#include "transport/in_process_simulation.h"
#include "ui_loop_probe.h"

namespace brontal::bench {

template <typename DeviceT>
class SingleProduct {
 public:
  SingleProduct(MessageLoop& loop, std::uint16_t vendor, std::uint16_t product)
      : loop_(loop), device_(simulation_.simulator().Device(vendor, product)) {
    // The simulator runs in this process: its threads' CPU is told apart from the program's.
    const std::set<pid_t> before = ThreadIds();
    simulation_.simulator().Plug(vendor, product);
    std::ranges::set_difference(ThreadIds(), before, std::inserter(simulator_threads_, simulator_threads_.end()));
    devices_.roster().profile_panels = true;
    devices_.roster().device_created = [this](CCorvaneUSBDevice& created) {
      product_ = dynamic_cast<DeviceT*>(&created);
      if (product_) product_->on_ready = [this] { ready_ = true; };
    };
  }
  ~SingleProduct() { devices_.discovery().Stop(); }

  // Discovery starts and the product connects; false, said on stderr, when it
  // never became ready.
  bool Connect() {
    std::string error;
    if (!devices_.Create(error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    devices_.Start();
    if (RunUntil(
            loop_, [this] { return ready_; }, std::chrono::seconds(10)))
      return true;
    std::fprintf(stderr, "the product did not become ready\n");
    return false;
  }

  DeviceT& product() { return *product_; }
  DeviceRoster& roster() { return devices_.roster(); }
  sim::SimulatedDevice& simulated() { return *device_; }
  const std::set<pid_t>& simulator_threads() const { return simulator_threads_; }

 private:
  MessageLoop& loop_;
  sim::InProcessSimulation simulation_{std::vector<sim::ProductIds>{}};
  sim::SimulatedDevice* device_;
  std::set<pid_t> simulator_threads_;
  HeadlessRoster devices_{loop_, ProgramFolder() / "skin"};
  DeviceT* product_ = nullptr;
  bool ready_ = false;
};

}  // namespace brontal::bench
