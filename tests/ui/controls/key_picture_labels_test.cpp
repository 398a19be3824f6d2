// What the keys of a device picture show for their actions, and which carry
// the mark of a user assignment.
#include "ui/controls/key_picture_labels.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls/device_key_button_ui.h"
#include "ui/toolkit/label.h"

namespace brontal::testing {
namespace {

// A language of a few texts; any other identifier comes back bracketed.
std::string Translate(std::string_view id) {
  static const std::map<std::string, std::string, std::less<>> kTexts = {
      {"keyboard_key_LCtrl", "Ctrl"}, {"keyboard_key_RShift", "Shift"},
      {"keyboard_key_A", "A"},        {"media_play", "Play"},
      {"close_text", "Off"},          {"关闭", "None"}};
  const auto text = kTexts.find(id);
  return text == kTexts.end() ? "[" + std::string(id) + "]" : text->second;
}

std::string MacroName(std::uint8_t index) { return index < 2 ? "macro " + std::to_string(index) : std::string(); }

TEST(KeyPictureLabelsTest, AnActionShowsTheTranslatedNamesOfWhatItDoes) {
  const std::pair<KeyAction, std::string> cases[] = {
      {{0x30, 0xCD, 0x00}, "Play"},
      {{0x20, 0x00, 0x04}, "A"},
      {{0x20, 0x21, 0x04}, "Ctrl+Shift+A"},  // no single row: each name
      {{0x20, 0x01, 0x00}, "Ctrl"},          // the modifier's own row
      {{0x20, 0x00, 0x00}, "Off"},
      {{0x00, 0x00, 0x00}, "Off"},
      {{0x20, 0x00, 0xF0}, "None"},  // a usage no key has
      {{0x99, 0x01, 0x02}, "None"},  // a category without a table
      {{0xA0, 0x02, 0x00}, "None"},
      {{0x70, 1, 0}, "macro 1"},
      {{0x71, 0, 5}, "macro 0"},
      {{0x70, 4, 0}, "None"},  // a macro the folder no longer has
      {{0x20, 0x10, 0x16}, "[custem_save]"},
  };
  for (const auto& [action, text] : cases) {
    EXPECT_EQ(KeyActionText(action, Translate, MacroName), text) << ::testing::PrintToString(action);
  }
}

// Keys whose text shows as their default's carry no mark, even with other
// bytes: the user sees nothing assigned there.
TEST(KeyPictureLabelsTest, KeysAreMarkedWhereTheirTextDiffersFromTheDefault) {
  std::vector<std::unique_ptr<CControlUI>> owned;
  std::vector<CControlUI*> buttons;
  for (int i = 0; i < 4; ++i) {
    owned.push_back(std::make_unique<CDeviceKeyButtonUI>());
    buttons.push_back(owned.back().get());
  }
  buttons[3] = nullptr;  // a key the picture does not show
  auto plain = std::make_unique<CLabelUI>();
  buttons[2] = plain.get();  // a label rather than a key: text only

  auto key = [](std::uint16_t index, KeyAction action, KeyAction default_action) {
    KeyAssignment k;
    k.key_index = index;
    k.assignment = action;
    k.default_action = default_action;
    return k;
  };
  const std::vector<KeyAssignment> keys = {
      key(0, {0x30, 0xCD, 0x00}, {0x20, 0x00, 0x04}),  // assigned
      key(1, {0xA0, 0x02, 0x00}, {0xA0, 0x24, 0x00}),  // other bytes, the same text
      key(2, {0x30, 0xCD, 0x00}, {0x20, 0x00, 0x04}), key(3, {0x30, 0xCD, 0x00}, {0x20, 0x00, 0x04}),
      key(9, {0x30, 0xCD, 0x00}, {0x20, 0x00, 0x04}),  // beyond the picture
  };
  LabelKeyPicture(buttons, keys, Translate, MacroName);
  auto& first = dynamic_cast<CDeviceKeyButtonUI&>(*buttons[0]);
  auto& second = dynamic_cast<CDeviceKeyButtonUI&>(*buttons[1]);
  EXPECT_EQ(first.GetText(), "Play");
  EXPECT_FALSE(first.IsKeySetHidden());
  EXPECT_EQ(second.GetText(), "None");
  EXPECT_TRUE(second.IsKeySetHidden());
  EXPECT_EQ(plain->GetText(), "Play");

  // Back to its default, the first key loses its mark.
  std::vector<KeyAssignment> restored = keys;
  restored[0].assignment = restored[0].default_action;
  LabelKeyPicture(buttons, restored, Translate, MacroName);
  EXPECT_EQ(first.GetText(), "A");
  EXPECT_TRUE(first.IsKeySetHidden());
  EXPECT_TRUE(first.IsKeyUnsetHidden());
}

}  // namespace
}  // namespace brontal::testing
