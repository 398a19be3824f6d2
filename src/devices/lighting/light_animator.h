#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stop_token>
#include <utility>

#include "devices/lighting/animation_mailbox.h"
#include "devices/lighting/light_engine.h"
#include "devices/worker_thread.h"

namespace brontal::lighting {

// A device's animation thread: it ticks the device's engine once per time
// unit and hands the colours to the device. It sleeps until the next unit's
// deadline (no millisecond polling), and longer while nobody needs the
// colours, and it stops within a unit of being asked.
//
// The engine belongs to the thread; other threads reach it only through its
// mailbox, drained at every wake-up (the next unit, or the next idle check),
// so nothing of the engine is shared without a lock.
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

  // Any thread; see AnimationMailbox.
  void Configure(EngineSettings settings, bool restart) { mailbox_.PostSettings(std::move(settings), restart); }
  void OnMouseClick() { mailbox_.PostClick(); }
  void OnKeyReaction(std::uint8_t key, KeyEdge edge) { mailbox_.PostKey(key, edge); }
  void OnSpectrum(std::span<const std::int32_t> bands) { mailbox_.PostSpectrum(bands); }
  void SetColourBlock(std::array<std::uint8_t, 6> block) { mailbox_.PostColourBlock(block); }

  // Units ticked and mode steps run so far (measurements and tests).
  std::uint64_t units() const { return units_.load(std::memory_order_relaxed); }
  std::uint64_t steps() const { return steps_.load(std::memory_order_relaxed); }

 private:
  void Run(std::stop_token stop);

  LightEngine engine_;
  Hooks hooks_;
  AnimationMailbox mailbox_;
  std::atomic<std::uint64_t> units_{0};
  std::atomic<std::uint64_t> steps_{0};
  WorkerThread thread_;  // last: it stops before the members above go
};

}  // namespace brontal::lighting
