// Key lists: packing, the profile's own lists, and the keyboard's read-back
// tables taking precedence over them.
#include <gtest/gtest.h>

#include <array>

#include "profiles/json_document.h"
#include "profiles/key_list_members.h"
#include "profiles/profile_fixture.h"

namespace brontal {
namespace {

using testing::LoadedProfile;
using Table = ProfileKeyTables::Table;

TEST(KeyList, ActionsPackIntoTwentyFourBits) {
  EXPECT_EQ(PackKeyAction({0x20, 0x00, 0x29}), 0x200029);
  EXPECT_EQ(PackKeyAction({0xD0, 0xA2, 0x05}), 0xD0A205);
  const struct {
    const char* json;
    KeyAction action;
  } cases[] = {
      {"2097193", {0x20, 0x00, 0x29}}, {"13672965", {0xD0, 0xA2, 0x05}}, {"16777215", {0xFF, 0xFF, 0xFF}},
      {"33554431", {0xFF, 0xFF, 0xFF}},  // bits above the 24 are ignored
      {"-1", {0xFF, 0xFF, 0xFF}},        {"\"2097193\"", {0, 0, 0}},          {"null", {0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(UnpackKeyAction(ParseJsonDocument(std::string("[") + c.json + "]")[0]), c.action);
  }
}

TEST(KeyList, ElementsDecodeByPositionAndMissingDefaultsAreZero) {
  LoadedProfile p(R"({ "KeyList" : [ { "Assignment" : 2097156, "DefaultAssignment" : 2097157 },
      { "Assignment" : 2097158 }, 17, {} ] })");
  const std::vector<KeyAssignment> keys = p.data.GetKeyList();
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[0], (KeyAssignment{0, {0x20, 0, 0x04}, 0, 0, {0x20, 0, 0x05}, 0}));
  EXPECT_EQ(keys[1], (KeyAssignment{1, {0x20, 0, 0x06}, 0, 1, {0, 0, 0}, 0}));
  EXPECT_EQ(keys[2], (KeyAssignment{2, {}, 0, 2, {}, 0}));
  EXPECT_EQ(keys[3].key_index, 3);
}

TEST(KeyList, SettingWritesAssignmentsAndKeepsDefaults) {
  LoadedProfile p(R"({ "KeyList" : [ { "Assignment" : 1, "DefaultAssignment" : 2097157, "Note" : "kept" } ],
                      "KeyFnList" : [ { "Assignment" : 1, "DefaultAssignment" : 3 } ] })");
  std::vector<KeyAssignment> keys(2);
  keys[0].assignment = {0x70, 0x02, 0x00};
  keys[0].default_action = {0x99, 0x99, 0x99};  // never written
  keys[1].assignment = {0x30, 0xE9, 0x00};
  p.data.SetKeyList(keys);
  p.data.SetKeyFnList(std::vector<KeyAssignment>(1));
  const Json::Value saved = p.Saved();
  EXPECT_EQ(saved["KeyList"][0]["Assignment"].asInt(), 0x700200);
  EXPECT_EQ(saved["KeyList"][0]["DefaultAssignment"].asInt(), 2097157);
  EXPECT_EQ(saved["KeyList"][0]["Note"].asString(), "kept");
  EXPECT_EQ(saved["KeyList"][1]["Assignment"].asInt(), 0x30E900);
  EXPECT_FALSE(saved["KeyList"][1].isMember("DefaultAssignment"));
  EXPECT_EQ(saved["KeyFnList"][0]["Assignment"].asInt(), 0);
  EXPECT_EQ(saved["KeyFnList"][0]["DefaultAssignment"].asInt(), 3);
}

Table TableWith(std::initializer_list<std::pair<std::size_t, KeyAction>> slots) {
  Table table{};
  for (const auto& [slot, action] : slots) std::copy(action.begin(), action.end(), table.begin() + 3 * slot);
  return table;
}

constexpr std::uint8_t kNo = ProfileKeyTables::kNoSlot;

// Keys 0..2 in the file; the keyboard has key 0 in slot 5, key 3 in slot 1,
// key 110 (Fn) in slot 2, key 1 not at all, and key 2 at an impossible slot.
class KeyTableOverride : public ::testing::Test {
 protected:
  KeyTableOverride() {
    std::vector<std::uint8_t> slots(126, kNo);
    slots[0] = 5;
    slots[2] = 200;
    slots[3] = 1;
    slots[110] = 2;
    p_.data.KeyTables().SetKeySlots(slots);
    p_.data.KeyTables().SetAssignmentTable(assignments_, false);
    p_.data.KeyTables().SetDefaultTable(defaults_);
  }
  LoadedProfile p_{R"({ "KeyList" : [ { "Assignment" : 1, "DefaultAssignment" : 2 },
                                      { "Assignment" : 3, "DefaultAssignment" : 4 },
                                      { "Assignment" : 5, "DefaultAssignment" : 6 } ] })"};
  Table assignments_ = TableWith({{5, {0x20, 0, 0x0A}}, {1, {0x20, 0, 0x0B}}, {2, {0xA0, 0x01, 0}}});
  Table defaults_ = TableWith({{5, {0x20, 0, 0x1A}}, {1, {0x20, 0, 0x1B}}, {2, {0xA0, 0x24, 0}}});
};

TEST_F(KeyTableOverride, TheKeyboardsOwnTablesWinOverTheFile) {
  const std::vector<KeyAssignment> keys = p_.data.GetKeyList();
  ASSERT_EQ(keys.size(), 111u);  // grown to hold the Fn key
  EXPECT_EQ(keys[0].assignment, (KeyAction{0x20, 0, 0x0A}));
  EXPECT_EQ(keys[0].default_action, (KeyAction{0x20, 0, 0x1A}));
  EXPECT_EQ(keys[1].assignment, (KeyAction{0, 0, 3}));  // no slot: the file's
  EXPECT_EQ(keys[2].assignment, (KeyAction{0, 0, 5}));  // a slot past the table: the file's
  EXPECT_EQ(keys[3].key_index, 3);
  EXPECT_EQ(keys[3].assignment, (KeyAction{0x20, 0, 0x0B}));
  EXPECT_EQ(keys[110].default_action, (KeyAction{0xA0, 0x01, 0}));  // the Fn key's default is its assignment
  EXPECT_EQ(keys[50], (KeyAssignment{50, {}, 0, 50, {}, 0}));
}

TEST_F(KeyTableOverride, OnOtherOnBoardIndexesTheDefaultsAreCleared) {
  p_.data.KeyTables().SetAssignmentTable(assignments_, true);
  const std::vector<KeyAssignment> keys = p_.data.GetKeyList();
  EXPECT_EQ(keys[0].default_action, (KeyAction{}));
  EXPECT_EQ(keys[0].assignment, (KeyAction{0x20, 0, 0x0A}));
  EXPECT_EQ(keys[110].default_action, (KeyAction{0xA0, 0x01, 0}));
}

TEST_F(KeyTableOverride, TheMouseMarkerForAMissingButtonIsNoSlot) {
  std::vector<std::uint8_t> slots(11, 170);
  slots[0] = 1;
  p_.data.KeyTables().SetKeySlots(slots);
  const std::vector<KeyAssignment> keys = p_.data.GetKeyList();
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].assignment, (KeyAction{0x20, 0, 0x0B}));
  EXPECT_EQ(keys[1].assignment, (KeyAction{0, 0, 3}));
}

TEST(KeyFnList, KeysStillOnTheirDefaultShowTheBuiltInFnAction) {
  LoadedProfile p(R"({ "KeyFnList" : [ {}, { "Assignment" : 2097210, "DefaultAssignment" : 2097210 },
      { "Assignment" : 3170304, "DefaultAssignment" : 2097211 }, { "Assignment" : 2097212, "DefaultAssignment" : 2097212 } ] })");
  std::vector<std::uint8_t> fn_slots(170, kNo);
  fn_slots[1] = 7;
  fn_slots[2] = 8;
  fn_slots[4] = 9;
  fn_slots[5] = 10;
  const std::array<std::uint8_t, 4> fn_keys = {1, 2, 4, 5};
  p.data.KeyTables().SetFnKeySlots(fn_slots, fn_keys);
  p.data.KeyTables().SetFnTable(TableWith({{7, {0x30, 0xEA, 0}}, {8, {0x30, 0xE9, 0}}, {10, {0x30, 0xCD, 0}}}));

  const std::vector<KeyAssignment> keys = p.data.GetKeyFnList();
  ASSERT_EQ(keys.size(), 6u);
  EXPECT_EQ(keys[0].assignment, (KeyAction{}));                 // not an Fn key
  EXPECT_EQ(keys[1].assignment, (KeyAction{0x30, 0xEA, 0}));    // on its default: the device's Fn action
  EXPECT_EQ(keys[2].assignment, (KeyAction{0x30, 0x60, 0}));    // assigned by the user: kept
  EXPECT_EQ(keys[3].assignment, (KeyAction{0x20, 0, 0x3C}));    // not in the Fn key list
  EXPECT_EQ(keys[4].assignment, (KeyAction{}));                 // beyond the file, slot 9 empty
  EXPECT_EQ(keys[5].assignment, (KeyAction{0x30, 0xCD, 0}));    // beyond the file: made from the table
  // The base layer's tables do not touch the Fn layer.
  EXPECT_TRUE(p.data.GetKeyList().empty());
}

}  // namespace
}  // namespace brontal
