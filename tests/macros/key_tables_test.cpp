// The key code, scan code and mouse action tables as documented, and how a
// captured key finds its row.
#include <gtest/gtest.h>

#include <set>
#include <utility>

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
