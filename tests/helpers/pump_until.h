#pragma once

#include <chrono>
#include <thread>

#include "ui/toolkit/manual_message_loop.h"

namespace brontal::test {

// Runs the manual loop until `done` holds, for tests whose other side (a
// discovery thread, a simulated device, another program) works in real time.
template <typename Predicate>
bool PumpUntil(ManualMessageLoop& loop, Predicate done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    loop.RunUntilIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace brontal::test
