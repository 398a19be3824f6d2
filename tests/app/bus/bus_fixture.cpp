#include "bus_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <condition_variable>
#include <thread>

namespace brontal::testing {

BusFixture::BusFixture() = default;

BusTestWindow& BusFixture::AddWindow(const std::string& name, const std::vector<std::uint32_t>& allowed) {
  BusTestWindow& window = windows_.emplace_back(toolkit);
  EXPECT_TRUE(window.Open(name, allowed)) << window.GetCreateError();
  loop.RunUntilIdle();  // "windowinit"
  window.on_received = [this] { Recheck(); };
  std::string error;
  auto endpoint = BusEndpoint::Open(bus, name, window, error);
  EXPECT_TRUE(endpoint) << error;
  if (endpoint) endpoints_.push_back(std::move(endpoint));
  return window;
}

void BusFixture::CloseEndpoint(const std::string& name) {
  std::erase_if(endpoints_, [&](const auto& endpoint) { return endpoint->WindowName() == name; });
}

void BusFixture::Recheck() {
  if (done_ && done_()) loop.Exit(0);
}

bool BusFixture::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  if (done()) return true;
  const int run = ++pump_run_;
  done_ = done;
  {
    std::jthread watchdog([this, run, limit](std::stop_token stop) {
      std::mutex mutex;
      std::unique_lock lock(mutex);
      std::condition_variable_any never;
      never.wait_for(lock, stop, limit, [] { return false; });
      // Stale once the run has ended, so that it cannot end a later one.
      if (!stop.stop_requested()) loop.Post([this, run] {
          if (run == pump_run_) loop.Exit(1);
        });
    });
    loop.Run();
  }
  ++pump_run_;
  done_ = nullptr;
  return done();
}

void BusFixture::PumpWhile(const std::function<void()>& work) {
  bool finished = false;
  {
    std::jthread worker([&] {
      work();
      loop.Post([&] {
        finished = true;
        Recheck();
      });
    });
    EXPECT_TRUE(PumpUntil([&] { return finished; }));
  }
  loop.RunUntilIdle();  // the worker's last task, when the wait gave up before it
}

}  // namespace brontal::testing
