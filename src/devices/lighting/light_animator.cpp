#include "devices/lighting/light_animator.h"

#include <algorithm>
#include <random>

namespace brontal::lighting {
namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t FreshSeed() { return std::random_device{}(); }

}  // namespace

LightAnimator::LightAnimator(Family family, std::uint16_t product_id, std::size_t light_count, Hooks hooks)
    : engine_(family, product_id, light_count, FreshSeed()), hooks_(std::move(hooks)) {}

void LightAnimator::Start() {
  if (!thread_.running()) thread_.Start([this](std::stop_token stop) { Run(stop); });
}

void LightAnimator::Run(std::stop_token stop) {
  const auto unit = std::chrono::duration_cast<Clock::duration>(kAnimationUnit);
  const Clock::time_point origin = Clock::now();
  Clock::time_point deadline = origin + unit;
  for (;;) {
    // New settings wait for the next unit: nothing wakes the thread early but the stop.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (!WorkerThread::Sleep(stop, std::max(wait, std::chrono::milliseconds{0}))) break;
    const Clock::time_point now = Clock::now();
    if (now < deadline) continue;
    // Drained while idle too: the keys and spectra of a hidden window do not
    // pile up to play out when it shows.
    mailbox_.DrainInto(engine_);
    if (hooks_.wanted && !hooks_.wanted()) {
      deadline = now + kIdlePause;
      continue;
    }
    if (engine_.Tick(std::chrono::duration_cast<std::chrono::milliseconds>(now - origin)))
      steps_.fetch_add(1, std::memory_order_relaxed);
    units_.fetch_add(1, std::memory_order_relaxed);
    if (hooks_.publish) hooks_.publish(engine_.colours());
    // A late wake-up does not bunch the units that follow it.
    deadline += unit;
    if (deadline <= now) deadline = now + unit;
  }
}

}  // namespace brontal::lighting
