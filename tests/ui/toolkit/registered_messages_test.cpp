#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ui/toolkit/registered_messages.h"

namespace brontal {
namespace {

TEST(RegisteredMessagesTest, OneNumberPerNameFromAnyThread) {
  const std::vector<std::string> names = {"Brontal Driver", "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",
                                          "WM_HOOK_KEY_SINGLEKEY_MSG", "Game_Start"};
  std::vector<std::vector<std::uint32_t>> seen(4);
  {
    std::vector<std::jthread> threads;
    for (auto& numbers : seen) {
      threads.emplace_back([&names, &numbers] {
        for (const auto& name : names) numbers.push_back(RegisterWindowMessage(name));
      });
    }
  }
  for (const auto& numbers : seen) EXPECT_EQ(numbers, seen.front());
  EXPECT_EQ(std::set<std::uint32_t>(seen.front().begin(), seen.front().end()).size(), names.size());
  for (const std::uint32_t number : seen.front()) EXPECT_GE(number, kFirstRegisteredMessage);
  EXPECT_NE(RegisterWindowMessage("game_start"), RegisterWindowMessage("Game_Start"));
}

}  // namespace
}  // namespace brontal
