#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>

#include "devices/lighting/light_engine.h"
#include "devices/worker_thread.h"

namespace brontal::lighting {

// A device's animation thread: it ticks the device's engine once per time
// unit and hands the colours to the device. It sleeps until the next unit's
// deadline (no millisecond polling), and longer while nobody needs the
// colours, and it stops within a unit of being asked.
//
// The engine belongs to the thread; other threads reach it only through the
// mailboxes below, taken at the start of the next unit, so nothing of the
// engine is shared without a lock.
class LightAnimator {
 public:
  struct Hooks {
    // The colours after each unit, on the animation thread.
    std::function<void(std::span<const std::uint32_t>)> publish;
    // Whether to tick now (an open channel, polling not paused, someone
    // looking at or receiving the colours); asked every unit.
    std::function<bool()> wanted;
  };
  static constexpr std::chrono::milliseconds kIdlePause{100};

  LightAnimator(Family family, std::uint16_t product_id, std::size_t light_count, Hooks hooks);
  ~LightAnimator() { thread_.Stop(); }
  LightAnimator(const LightAnimator&) = delete;
  LightAnimator& operator=(const LightAnimator&) = delete;

  void Start();
  // Returns once the thread has ended.
  void Stop() { thread_.Stop(); }
  bool running() const { return thread_.running(); }

  // Any thread. A restart (new mode, or mode 20) is never lost to a later
  // plain update that lands before the thread takes them.
  void Configure(EngineSettings settings, bool restart);
  void OnMouseClick();

  // Units ticked and mode steps run so far (measurements and tests).
  std::uint64_t units() const { return units_.load(std::memory_order_relaxed); }
  std::uint64_t steps() const { return steps_.load(std::memory_order_relaxed); }

 private:
  void Run(std::stop_token stop);
  // The mailboxes, under the lock.
  void TakeMail();

  LightEngine engine_;
  Hooks hooks_;
  std::mutex mutex_;
  std::optional<EngineSettings> settings_;
  bool restart_ = false;
  int clicks_ = 0;
  std::atomic<std::uint64_t> units_{0};
  std::atomic<std::uint64_t> steps_{0};
  WorkerThread thread_;  // last: it stops before the members above go
};

}  // namespace brontal::lighting
