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

TEST(RegisteredMessagesTest, LookupsNeverRegister) {
  EXPECT_EQ(FindWindowMessage("RegisteredMessagesTest.Unseen"), std::nullopt);
  EXPECT_EQ(FindWindowMessage("RegisteredMessagesTest.Unseen"), std::nullopt);
  const std::uint32_t number = RegisterWindowMessage("RegisteredMessagesTest.Seen");
  EXPECT_EQ(FindWindowMessage("RegisteredMessagesTest.Seen"), number);
  EXPECT_EQ(WindowMessageName(number), "RegisteredMessagesTest.Seen");
  // The unseen name did not take a number: the next registration gets the next one.
  EXPECT_EQ(RegisterWindowMessage("RegisteredMessagesTest.Next"), number + 1);
  EXPECT_EQ(WindowMessageName(number + 2), std::nullopt);
  EXPECT_EQ(WindowMessageName(kFirstRegisteredMessage - 1), std::nullopt);
}

}  // namespace
}  // namespace brontal
