#pragma once

// What the scenarios that drive the UI loop share: running it until a
// condition holds, and measuring how long it could not run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

#include "ui/toolkit/message_loop.h"

namespace brontal::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
inline const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// Runs the loop until `done` holds (looked at every 5 ms) or `limit` has passed.
inline bool RunUntil(MessageLoop& loop, const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  bool met = false;
  const TimerId poll = loop.StartTimer(std::chrono::milliseconds(5), [&] {
    met = done();
    if (met || Clock::now() >= deadline) loop.Exit(0);
  });
  loop.Run();
  loop.StopTimer(poll);
  return met;
}

// How long the UI loop could not run: the lateness of a 1 ms timer's firings.
class BlockingProbe {
 public:
  explicit BlockingProbe(MessageLoop& loop) : loop_(loop) {
    timer_ = loop.StartTimer(kPeriod, [this] {
      const Clock::time_point now = Clock::now();
      lateness_ms_.push_back(std::max(0.0, Ms(now - last_ - kPeriod)));
      last_ = now;
    });
  }
  void Stop() { loop_.StopTimer(timer_); }
  // The lateness below which fraction `p` of the firings stayed.
  double Percentile(double p) const {
    if (lateness_ms_.empty()) return 0;
    std::vector<double> sorted = lateness_ms_;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
  }
  std::size_t samples() const { return lateness_ms_.size(); }

 private:
  static constexpr std::chrono::milliseconds kPeriod{1};
  MessageLoop& loop_;
  TimerId timer_ = 0;
  Clock::time_point last_ = Clock::now();
  std::vector<double> lateness_ms_;
};

}  // namespace brontal::bench
