// The key code, scan code and mouse action tables as documented, and how a
// captured key finds its row.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "macros/key_code_table.h"
#include "macros/mouse_action_table.h"
#include "macros/scan_code_table.h"

namespace brontal {
namespace {

// Keyboard keys first..last carry the usages from `usage` upward.
struct UsageRun {
  std::size_t first, last;
  std::uint8_t usage;
};

TEST(KeyCodeTable, KeyboardKeysCarryTheDocumentedUsages) {
  constexpr UsageRun kRuns[] = {{8, 33, 0x04},    {34, 43, 0x1E},   {44, 48, 0x28},   {49, 53, 0x2D},
                                {54, 59, 0x33},   {60, 72, 0x39},   {73, 101, 0x46},  {102, 102, 0x63},
                                {103, 103, 0x65}, {104, 104, 0x64}, {105, 105, 0x87}, {106, 106, 0x89},
                                {107, 107, 0x85}, {108, 108, 0x8B}, {109, 109, 0x8A}, {110, 110, 0x88},
                                {111, 111, 0x91}, {112, 112, 0x90}, {113, 113, 0x32}};
  std::size_t next = kFirstOrdinaryKeyRow;
  for (const UsageRun& run : kRuns) {
    ASSERT_EQ(run.first, next);
    for (std::size_t row = run.first; row <= run.last; ++row) {
      const KeyAction expected = {0x20, 0, static_cast<std::uint8_t>(run.usage + (row - run.first))};
      EXPECT_EQ(kKeyCodeTable[row].action, expected) << "row " << row;
    }
    next = run.last + 1;
  }
  EXPECT_EQ(next, 114u);
}

TEST(KeyCodeTable, ModifierConsumerSystemAndSpecialRowsAsDocumented) {
  for (std::size_t row = 0; row < kFirstOrdinaryKeyRow; ++row) {
    const KeyAction expected = {0x20, static_cast<std::uint8_t>(1u << row), 0};
    EXPECT_EQ(kKeyCodeTable[row].action, expected) << "row " << row;
  }
  EXPECT_EQ(kKeyCodeTable[5].name_key, "keyboard_key_RShift");
  EXPECT_EQ(kKeyCodeTable[114].action, (KeyAction{0x30, 0x92, 0x01}));
  EXPECT_EQ(kKeyCodeTable[116].action, (KeyAction{0x30, 0xCD, 0x00}));
  EXPECT_EQ(kKeyCodeTable[130].name_key, "wed_stop");
  EXPECT_EQ(kKeyCodeTable[131].action, (KeyAction{0x30, 0x83, 0x01}));
  EXPECT_EQ(kKeyCodeTable[133].action, (KeyAction{0x40, 0x02, 0x00}));
  EXPECT_EQ(kKeyCodeTable[139].action, (KeyAction{0xD0, 0xA2, 0x05}));
  EXPECT_EQ(kKeyCodeTable[140].action, (KeyAction{0xA0, 0x01, 0x00}));
  EXPECT_EQ(kKeyCodeTable[141].action, (KeyAction{0xA0, 0x1B, 0x00}));
  EXPECT_EQ(kKeyCodeTable[141].name_key, "keyboard_key_GM");
}

TEST(KeyCodeTable, EveryRowHasItsOwnNameAndAction) {
  std::set<std::string_view> names;
  std::set<KeyAction> actions;
  for (const KeyCodeRow& row : kKeyCodeTable) {
    EXPECT_TRUE(names.insert(row.name_key).second) << row.name_key;
    EXPECT_TRUE(actions.insert(row.action).second) << row.name_key;
    EXPECT_TRUE(row.name_key.starts_with("keyboard_key_") || row.name_key == "wed_stop") << row.name_key;
  }
}

// The rows' scan codes written out a second way, as set-1 make codes in row
// order: "+" marks the extended flag, "A-B" stands for every code from A to
// B. Typed independently of the table, so that two swapped keys show.
constexpr std::string_view kScanCodesInRowOrder =
    "1D 2A 38 5B+ 1D+ 36+ 38+ 5C+ "
    "1E 30 2E 20 12 21 22 23 17 24 25 26 32 31 18 19 10 13 1F 14 16 2F 11 2D 15 2C "
    "02-0B 1C 01 0E 0F 39 0C 0D 1A 1B 2B 27 28 29 33 34 35 3A "
    "3B-44 57 58 "
    "37+ 46 45 52+ 47+ 49+ 53+ 4F+ 51+ 4D+ 4B+ 50+ 48+ "
    "45+ 35+ 37 4A 4E 1C+ 4F 50 51 4B 4C 4D 47 48 49 52 53 5D+ "
    "56 73 7D 7E 7B 79 70 71 72";

std::vector<ScanCode> ScanCodesInRowOrder() {
  std::vector<ScanCode> codes;
  std::istringstream words{std::string(kScanCodesInRowOrder)};
  for (std::string word; words >> word;) {
    const bool extended = word.ends_with('+');
    if (extended) word.pop_back();
    const std::size_t dash = word.find('-');
    const int first = std::stoi(word.substr(0, dash), nullptr, 16);
    const int last = dash == std::string::npos ? first : std::stoi(word.substr(dash + 1), nullptr, 16);
    for (int code = first; code <= last; ++code) codes.push_back({static_cast<std::uint8_t>(code), extended});
  }
  return codes;
}

TEST(ScanCodeTable, MatchesTheMakeCodesRowByRow) {
  const std::vector<ScanCode> expected = ScanCodesInRowOrder();
  ASSERT_EQ(expected.size(), kScanCodeRowCount);
  for (std::size_t row = 0; row < kScanCodeRowCount; ++row) {
    EXPECT_EQ(kScanCodeTable[row].code, expected[row].code) << "row " << row;
    EXPECT_EQ(kScanCodeTable[row].extended, expected[row].extended) << "row " << row;
  }
}

TEST(ScanCodeTable, EveryKeyHasItsOwnScanCodeAndFindsItsRow) {
  std::set<std::pair<std::uint8_t, bool>> seen;
  for (std::size_t row = 0; row < kScanCodeRowCount; ++row) {
    const ScanCode key = kScanCodeTable[row];
    EXPECT_NE(key.code, 0) << "row " << row;
    EXPECT_TRUE(seen.emplace(key.code, key.extended).second) << "row " << row;
    EXPECT_EQ(KeyRowForScanCode(key.code, key.extended), row);
  }
}

TEST(ScanCodeTable, TheExtendedFlagTellsKeysApart) {
  const struct {
    std::uint32_t code;
    bool extended;
    std::optional<std::size_t> row;
    const char* key;
  } cases[] = {
      {0x36, true, 5, "Right Shift"},
      {0x36, false, std::nullopt, "no key"},
      {0x2A, false, 1, "Left Shift"},
      {0x45, false, 75, "Pause"},
      {0x45, true, 86, "Num Lock"},
      {0x1D, false, 0, "Left Ctrl"},
      {0x1D, true, 4, "Right Ctrl"},
      {0x1C, true, 91, "Num Enter"},
      {0x1C, false, 44, "Enter"},
      {0x37, true, 73, "Print Screen"},
      {0x37, false, 88, "Num *"},
      {0x72, false, 112, "K151"},
      {0x11D, true, std::nullopt, "a wider code is not Right Ctrl"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(KeyRowForScanCode(c.code, c.extended), c.row);
  }
  EXPECT_EQ(kKeyCodeTable[75].name_key, "keyboard_key_Pause");
  EXPECT_EQ(kKeyCodeTable[86].name_key, "keyboard_key_Num Lock");
}

TEST(MouseActionTable, ActionCodesAreTheEventTypeWithTheDownBit) {
  for (std::size_t row = 0; row < kFirstMovementRow + kMovementRows; ++row) {
    const MouseActionRow& action = kMouseActionTable[row];
    const bool down = row % 2 == 0;
    const int type = row < kMouseButtonRows ? 1 : (row < kFirstMovementRow + 2 ? 4 : 5);
    EXPECT_EQ(action.action_code, type | (down ? kActionDownBit : 0)) << "row " << row;
    EXPECT_EQ(action.category, row < kMouseButtonRows ? 0x10 : 0x15) << "row " << row;
  }
  EXPECT_EQ(kMouseActionTable[6].mask, 0x10);  // the second extra button is forward
  EXPECT_EQ(kMouseActionTable[8].mask, 0x08);
  EXPECT_EQ(kMouseActionTable[6].message, kMouseActionTable[8].message);
}

}  // namespace
}  // namespace brontal
