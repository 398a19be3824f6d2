#include "app/restart_backoff.h"

#include <gtest/gtest.h>

#include <vector>

namespace brontal {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

TEST(RestartBackoff, WaitsDoubleUpToTheLongestAndStartOverAfterASteadyRun) {
  RestartBackoff backoff(1s, 60s, 30s);
  struct Loss {
    milliseconds run, wait;
    bool first_word;
  };
  const Loss losses[] = {
      {0ms, 1s, true},   {0ms, 2s, false},  {5s, 4s, false}, {0ms, 8s, false}, {0ms, 16s, false}, {29999ms, 32s, false},
      {0ms, 60s, false}, {0ms, 60s, false}, {30s, 1s, true}, {0ms, 2s, false}, {1h, 1s, true},
  };
  for (std::size_t i = 0; i < std::size(losses); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(backoff.AfterLoss(losses[i].run), losses[i].wait);
    EXPECT_EQ(backoff.FirstWordOfOutage(), losses[i].first_word);
    EXPECT_FALSE(backoff.FirstWordOfOutage());  // asked again in the same outage
  }
}

}  // namespace
}  // namespace brontal
