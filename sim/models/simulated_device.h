#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "models/command_frame.h"
#include "models/command_journal.h"
#include "models/device_memory.h"
#include "models/fault_plan.h"
#include "models/link.h"
#include "models/model_traits.h"
#include "models/product_catalog.h"

namespace brontal::sim {

// An input report for the host, to be delivered `delay` later than the
// transport's own latency model would.
struct TimedReport {
  std::vector<std::uint8_t> bytes;
  std::chrono::microseconds delay{0};
};

// A snapshot for status displays.
struct DeviceStatus {
  bool wireless_link_on = false;
  bool transaction_open = false;  // between commands 0x01 and 0x02
  bool host_lighting = false;     // command 0x1C received
  std::uint8_t record_index = 0;  // parameter byte 0
  std::uint8_t key_slots = 0;
  std::size_t macro_bytes = 0;
  JournalSummary journal;
};

// One physical product, the way its firmware answers. A cabled product and
// its receiver share one device; reports say which link they came through.
// Knows nothing of how reports travel. All public methods are thread-safe.
//
// Where the host's behaviour leaves the firmware open, the model chooses:
// a frame whose checksum does not match is answered 0xFE, a request outside
// the memory it addresses 0xFF (nothing of it is applied); a dropped reply's
// command still takes effect, an injected error status means the command was
// rejected.
class SimulatedDevice {
 public:
  // Nullptr for a product the catalogue does not know.
  static std::unique_ptr<SimulatedDevice> Create(const ProductSpec& any_link_of_the_product);

  SimulatedDevice(const SimulatedDevice&) = delete;
  SimulatedDevice& operator=(const SimulatedDevice&) = delete;

  const ProductSpec& CabledProduct() const { return cabled_; }
  const ProductSpec* ReceiverProduct() const { return receiver_; }

  // One output report the host wrote (byte 0 = report id). Returns the input
  // reports to send back, in order: none when the reply is dropped or the
  // report is not a command frame.
  std::vector<TimedReport> HandleOutputReport(Link link, std::span<const std::uint8_t> report);

  // The consumer-collection input report carrying `code`.
  std::vector<std::uint8_t> EventReport(std::uint16_t code) const;
  // As EventReport, after doing on the device what the event announces (an
  // on-board index switch changes the current record index).
  std::vector<std::uint8_t> EmitEvent(std::uint16_t code);

  // The wireless part behind the receiver (on at creation).
  void SetWirelessLink(bool on);
  bool WirelessLinkOn() const;

  FaultPlan& Faults() { return faults_; }
  // True once after an "unplug after N commands" fault fired.
  bool TakeUnplugRequest();

  std::size_t MemorySize(MemoryRegion region) const;
  // Nothing when the range does not fit the region.
  std::optional<std::vector<std::uint8_t>> ReadMemory(MemoryRegion region, std::size_t address,
                                                      std::size_t length) const;
  bool WriteMemory(MemoryRegion region, std::size_t address, std::span<const std::uint8_t> data);

  CommandJournal& Journal() { return journal_; }
  const CommandJournal& Journal() const { return journal_; }
  DeviceStatus Status() const;

 private:
  SimulatedDevice(const ProductSpec& cabled, const ModelTraits& traits);

  void AcceptOtherReport(Link link, std::span<const std::uint8_t> report);
  Frame Execute(const CommandRequest& request);

  const ProductSpec& cabled_;
  const ProductSpec* const receiver_;
  const ModelTraits& traits_;

  mutable std::mutex mutex_;  // guards the members below it
  DeviceMemory memory_;
  bool transaction_open_ = false;
  bool host_lighting_ = false;

  std::atomic<bool> wireless_link_on_{true};
  std::atomic<bool> unplug_requested_{false};
  FaultPlan faults_;
  CommandJournal journal_;
};

}  // namespace brontal::sim
