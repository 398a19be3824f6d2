#include "devices/keyboard/keyboard_picture.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"

namespace brontal {
namespace {

struct VariantCase {
  int variant;
  std::size_t key_count;
  Size size;
  std::vector<std::size_t> flush_right;  // keys whose right edges line up
};

// Full size and tenkeyless: Backspace, \, Enter, right Shift, right Ctrl end
// the main block; 75 %: Delete, Home, Page Up, Page Down, End, Right end the board.
const VariantCase kVariants[] = {
    {0, 104, {900, 260}, {34, 55, 75, 95, 112}},
    {1, 87, {730, 260}, {34, 55, 75, 95, 112}},
    {2, 84, {640, 250}, {56, 36, 37, 58, 57, 115}},
};

const KeyPlace* Find(int variant, std::size_t logical_key) {
  for (const KeyPlace& place : KeyPictureLayout(variant)) {
    if (place.logical_key == logical_key) return &place;
  }
  return nullptr;
}

TEST(KeyboardPictureTest, EveryVariantIsAWellFormedBoard) {
  for (const VariantCase& c : kVariants) {
    SCOPED_TRACE(c.variant);
    const auto keys = KeyPictureLayout(c.variant);
    EXPECT_EQ(keys.size(), c.key_count);
    EXPECT_EQ(KeyPictureSize(c.variant), c.size);
    const Rect bounds{0, 0, c.size.cx, c.size.cy};
    std::set<std::size_t> seen;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const KeyPlace& key = keys[i];
      SCOPED_TRACE(key.logical_key);
      EXPECT_LT(key.logical_key, kLogicalKeyCount);
      EXPECT_TRUE(seen.insert(key.logical_key).second) << "placed twice";
      EXPECT_FALSE(key.rect.IsEmpty());
      EXPECT_GE(key.rect.left, bounds.left);
      EXPECT_GE(key.rect.top, bounds.top);
      EXPECT_LE(key.rect.right, bounds.right);
      EXPECT_LE(key.rect.bottom, bounds.bottom);
      EXPECT_FALSE(KeyCapLabel(key.logical_key).empty());
      for (std::size_t j = i + 1; j < keys.size(); ++j) {
        EXPECT_FALSE(key.rect.Intersects(keys[j].rect)) << "overlaps " << keys[j].logical_key;
      }
    }
    // The lower halves of the duplicate pairs and the capless special keys.
    for (const std::size_t absent : {16, 17, 18, 19, 20, 104, 120, 121, 122, 123, 124}) {
      EXPECT_EQ(seen.count(absent), 0u) << absent;
    }
  }
}

// Logical keys of the letter rows, left to right: Q..P, A..L, Z..M.
const std::vector<std::vector<std::size_t>> kLetterRows = {
    {43, 44, 45, 46, 47, 48, 49, 50, 51, 52},
    {64, 65, 66, 67, 68, 69, 70, 71, 72},
    {85, 86, 87, 88, 89, 90, 91},
};

TEST(KeyboardPictureTest, KeysSitWhereATypistExpectsThem) {
  for (const VariantCase& c : kVariants) {
    SCOPED_TRACE(c.variant);
    int row_top = -1;
    for (const auto& row : kLetterRows) {
      const KeyPlace* previous = nullptr;
      for (const std::size_t key : row) {
        const KeyPlace* place = Find(c.variant, key);
        ASSERT_NE(place, nullptr) << key;
        if (previous) {
          EXPECT_EQ(place->rect.top, previous->rect.top) << key;
          EXPECT_GT(place->rect.left, previous->rect.left) << key;
        } else {
          EXPECT_GT(place->rect.top, row_top) << key;
          row_top = place->rect.top;
        }
        previous = place;
      }
    }
    std::set<int> block_ends;
    for (const std::size_t key : c.flush_right) {
      const KeyPlace* place = Find(c.variant, key);
      ASSERT_NE(place, nullptr) << key;
      block_ends.insert(place->rect.right);
    }
    EXPECT_EQ(block_ends.size(), 1u);
    const KeyPlace* esc = Find(c.variant, 0);
    ASSERT_NE(esc, nullptr);
    EXPECT_EQ(esc->rect.left, 0);
    EXPECT_EQ(esc->rect.top, 0);
    // Up (96) stands over Down (114), between Left (113) and Right (115).
    const KeyPlace* up = Find(c.variant, 96);
    const KeyPlace* down = Find(c.variant, 114);
    const KeyPlace* left = Find(c.variant, 113);
    const KeyPlace* right = Find(c.variant, 115);
    ASSERT_TRUE(up && down && left && right);
    EXPECT_EQ(up->rect.left, down->rect.left);
    EXPECT_LT(up->rect.top, down->rect.top);
    EXPECT_EQ(left->rect.top, down->rect.top);
    EXPECT_EQ(right->rect.top, down->rect.top);
    EXPECT_LT(left->rect.left, down->rect.left);
    EXPECT_GT(right->rect.left, down->rect.left);
    // Space (108) is the widest key.
    const KeyPlace* space = Find(c.variant, 108);
    ASSERT_NE(space, nullptr);
    for (const KeyPlace& place : KeyPictureLayout(c.variant)) {
      if (&place != space) {
        EXPECT_LT(place.rect.Width(), space->rect.Width()) << place.logical_key;
      }
    }
  }
}

TEST(KeyboardPictureTest, VariantsDifferInTheirBlocks) {
  struct Case {
    std::size_t logical_key;
    bool shown[3];
  };
  const Case cases[] = {
      {59, {true, false, false}},    // keypad 7
      {118, {true, false, false}},   // keypad Enter
      {14, {true, true, false}},     // Scroll Lock
      {15, {true, true, false}},     // Pause
      {111, {true, true, false}},    // Menu
      {35, {true, true, true}},      // Insert
      {110, {true, true, true}},     // Fn
      {62, {false, false, false}},   // ISO #
      {102, {false, false, false}},  // ISO backslash
      {125, {false, false, false}},  // right GUI, replaced by Fn
  };
  for (const Case& c : cases) {
    for (int variant = 0; variant < kKeyPictureVariantCount; ++variant) {
      EXPECT_EQ(Find(variant, c.logical_key) != nullptr, c.shown[variant]) << c.logical_key << " in " << variant;
    }
  }
  EXPECT_TRUE(KeyPictureLayout(3).empty());
  EXPECT_TRUE(KeyPictureLayout(-1).empty());
}

TEST(KeyboardPictureTest, VariantOfProduct) {
  const std::pair<std::uint16_t, std::optional<int>> cases[] = {
      {0x50EB, 0},
      {0x50EC, 0},
      {0x5100, 1},
      {0x5103, 1},
      {0x5101, 2},
      {0x5104, 2},
      {0x5102, std::nullopt},
      {0x0000, std::nullopt},
      {0x50ED, std::nullopt},
  };
  for (const auto& [product, variant] : cases) EXPECT_EQ(KeyPictureVariantOf(product), variant) << product;
}

TEST(KeyboardPictureTest, CapLabelsFollowTheUsage) {
  const std::pair<std::size_t, std::string_view> cases[] = {
      {0, "Esc"},    {1, "F1"},     {12, "F12"},    {22, "1"},     {31, "0"},      {64, "A"},   {85, "Z"},
      {89, "B"},     {18, "B"},     {108, "Space"}, {75, "Enter"}, {118, "Enter"}, {59, "7"},   {116, "0"},
      {105, "Ctrl"}, {112, "Ctrl"}, {84, "Shift"},  {109, "Alt"},  {106, "Win"},   {110, "Fn"}, {96, "↑"},
      {16, ""},      {120, ""},     {20, ""},       {126, ""},
  };
  for (const auto& [key, label] : cases) EXPECT_EQ(KeyCapLabel(key), label) << key;
}

TEST(KeyboardPictureTest, BuildAddsOneFloatingButtonPerKey) {
  CSelectPanelUI panel;
  const Size size = KeyPictureSize(1);
  const auto buttons = BuildKeyboardPicture(panel, 1, Rect{100, 50, 100 + size.cx + 40, 50 + size.cy});
  const auto layout = KeyPictureLayout(1);
  ASSERT_EQ(panel.GetCount(), static_cast<int>(layout.size()));
  for (std::size_t i = 0; i < layout.size(); ++i) {
    const KeyPlace& place = layout[i];
    SCOPED_TRACE(place.logical_key);
    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(panel.GetItemAt(static_cast<int>(i)));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(buttons[place.logical_key], key);
    EXPECT_EQ(key->GetName(), "key_" + std::to_string(place.logical_key));
    EXPECT_EQ(key->GetText(), KeyCapLabel(place.logical_key));
    EXPECT_TRUE(key->IsFloat());
    const Rect& r = place.rect;
    EXPECT_EQ(key->GetPos(), (Rect{r.left + 120, r.top + 50, r.right + 120, r.bottom + 50}));  // centred
    EXPECT_EQ(key->GetFixedWidth(), r.Width());
    EXPECT_EQ(key->GetFixedHeight(), r.Height());
  }
  EXPECT_EQ(buttons[59], nullptr);  // no keypad on this board
  EXPECT_EQ(buttons[18], nullptr);

  // A smaller area takes the whole picture at a smaller scale.
  CSelectPanelUI half;
  BuildKeyboardPicture(half, 1, Rect{0, 0, size.cx / 2, size.cy});
  const Rect last = dynamic_cast<CControlUI*>(half.GetItemAt(half.GetCount() - 1))->GetPos();
  EXPECT_LE(last.right, size.cx / 2);
  EXPECT_EQ(last, (Rect{layout.back().rect.left / 2, layout.back().rect.top / 2, layout.back().rect.right / 2,
                        layout.back().rect.bottom / 2}));

  CSelectPanelUI empty;
  const auto none = BuildKeyboardPicture(empty, 7);
  EXPECT_EQ(empty.GetCount(), 0);
  for (const auto* button : none) EXPECT_EQ(button, nullptr);
}

}  // namespace
}  // namespace brontal
