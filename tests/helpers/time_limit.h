#pragma once

#include <chrono>
#include <future>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

namespace brontal::test {

// f's result, or nothing when it has not returned within `limit`. f runs on a
// thread of its own that is left behind if it hangs, so a hang fails the test
// instead of stalling it; f must therefore own what it uses (capture by value).
template <typename F>
std::optional<std::invoke_result_t<F>> RunWithin(std::chrono::milliseconds limit, F f) {
  std::packaged_task<std::invoke_result_t<F>()> task(std::move(f));
  std::future<std::invoke_result_t<F>> result = task.get_future();
  std::thread(std::move(task)).detach();
  if (result.wait_for(limit) != std::future_status::ready) return std::nullopt;
  return result.get();
}

}  // namespace brontal::test
