#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "devices/slot_list.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/window_messages.h"

namespace brontal {

// Finds the supported collections as they come and go. Every 100 ms, while a
// slot is free, it enumerates the HID collections and claims free slots for
// matching ones; it probes the present slots and frees those whose collection
// is gone. Each claim and each release is sent to the UI thread (it waits
// until the window has handled it); after the first pass it posts the
// application's message once.
class DiscoveryThread {
 public:
  using WindowProc = std::function<void(const WindowMessage&)>;

  // `window` runs on the loop's thread.
  DiscoveryThread(SlotList& slots, MessageLoop& loop, WindowProc window, std::uint32_t application_message);
  ~DiscoveryThread();
  DiscoveryThread(const DiscoveryThread&) = delete;
  DiscoveryThread& operator=(const DiscoveryThread&) = delete;

  void Start();
  // Sets the stop event and waits for the thread; also releases a pending send.
  void Stop();

  static constexpr std::chrono::milliseconds kPassInterval{100};

 private:
  void Run(std::stop_token stop);
  bool ScanForArrivals(std::stop_token stop);  // false when enumeration failed
  void ProbePresentSlots(std::stop_token stop);
  void SendToWindow(std::uint32_t message, std::size_t slot, std::stop_token stop);

  SlotList& slots_;
  MessageLoop& loop_;
  WindowProc window_;
  const std::uint32_t application_message_;
  bool first_pass_done_ = false;
  bool scan_failure_traced_ = false;  // once per run of failures, not every pass
  std::jthread thread_;
};

}  // namespace brontal
