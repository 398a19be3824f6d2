#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "bus_test_window.h"
#include "helpers/temporary_folder.h"
#include "helpers/trace_recorder.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/toolkit.h"

namespace brontal::testing {

using test::TemporaryFolder;

// Windows of this process on a bus in a folder of the test's own, on a manual
// loop that this thread pumps; the trace is kept for the test to read.
class BusFixture : public ::testing::Test {
 public:
  static constexpr std::chrono::milliseconds kPatience{5000};

  BusFixture();

  // A window on the bus that lets `allowed` in; fails the test when it cannot be made.
  BusTestWindow& AddWindow(const std::string& name, const std::vector<std::uint32_t>& allowed);
  // Takes the window off the bus; the window stays.
  void CloseEndpoint(const std::string& name);

  // Pumps the loop until `done` holds or `limit` of real time has passed;
  // the result is `done` at the end. Messages from other threads and
  // processes wake the loop; after each, `done` is asked again.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kPatience);
  // Runs `work` on another thread while this one pumps the loop.
  void PumpWhile(const std::function<void()>& work);

  bool TraceHas(std::string_view text) const { return trace_.Contains(text); }

  TemporaryFolder root{"brontal_bus"};
  LocalBus bus{root.path() / "bus"};
  ManualMessageLoop loop;
  Toolkit toolkit{loop};

 private:
  void Recheck();

  test::TraceRecorder trace_;  // the endpoints' threads trace too
  std::list<BusTestWindow> windows_;
  std::vector<std::unique_ptr<BusEndpoint>> endpoints_;
  std::function<bool()> done_;
  int pump_run_ = 0;
};

}  // namespace brontal::testing
