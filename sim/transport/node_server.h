#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "models/link.h"
#include "models/simulated_device.h"
#include "support/unique_fd.h"

namespace brontal::sim {

// Serves one plugged node of a device: reads the host's reports from every
// connection, lets the device answer, and delivers each answer to every
// connection of the node, as hidraw hands every input report to every reader.
// Reports take `latency` each way (one USB frame by default).
class NodeServer {
 public:
  NodeServer(SimulatedDevice& device, Link link, std::function<void()> on_unplug_request);
  ~NodeServer();
  NodeServer(const NodeServer&) = delete;
  NodeServer& operator=(const NodeServer&) = delete;

  void AddConnection(UniqueFd fd);
  // An input report of the device's own (an event), after one frame.
  void Broadcast(std::vector<std::uint8_t> report);
  void SetLatency(std::chrono::microseconds latency);
  std::size_t ConnectionCount() const;

 private:
  using Clock = std::chrono::steady_clock;
  void Run(std::stop_token stop);
  void Schedule(Clock::time_point due, std::vector<std::uint8_t> report);  // mutex_ held
  void Wake();
  void ServeConnection(int fd);
  void SendDue();

  SimulatedDevice& device_;
  const Link link_;
  const std::function<void()> on_unplug_request_;
  UniqueFd wake_;

  mutable std::mutex mutex_;
  std::vector<UniqueFd> connections_;
  std::multimap<Clock::time_point, std::vector<std::uint8_t>> pending_;  // equal times keep their order
  std::chrono::microseconds latency_{1000};

  std::jthread thread_;  // last: starts after everything above exists
};

}  // namespace brontal::sim
