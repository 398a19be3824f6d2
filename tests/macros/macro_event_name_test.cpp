// The names event lists show for key, modifier, button and movement events.
#include "macros/macro_event_name.h"

#include <gtest/gtest.h>

namespace brontal {
namespace {

TEST(MacroEventName, FollowsTheEventKindAndItsButton) {
  const struct {
    MacroEvent event;
    std::string_view name;
  } cases[] = {
      {{macro_event_type::kKey, 0x04, true, 0}, "keyboard_key_A"},
      {{macro_event_type::kKey, 0x27, false, 0}, "keyboard_key_0"},
      {{macro_event_type::kKey, 0x32, true, 0}, "keyboard_key_K42"},
      {{macro_event_type::kKey, 0x58, true, 0}, "keyboard_key_Num Enter"},
      // a modifier's bit is not a key usage, nor the reverse
      {{macro_event_type::kKey, 0x02, true, 0}, ""},
      {{macro_event_type::kKey, 0x00, true, 0}, ""},
      {{macro_event_type::kModifierKey, 0x20, true, 0}, "keyboard_key_RShift"},
      {{macro_event_type::kModifierKey, 0x04, false, 0}, "keyboard_key_LAlt"},
      {{macro_event_type::kModifierKey, 0x03, true, 0}, ""},
      {{macro_event_type::kModifierKey, 0x00, true, 0}, ""},
      {{macro_event_type::kMouseButton, 0x01, true, 0}, "mouse_key_left"},
      {{macro_event_type::kMouseButton, 0x10, false, 0}, "mouse_key_forward"},
      {{macro_event_type::kMouseButton, 0x08, true, 0}, "mouse_key_back"},
      {{macro_event_type::kMouseButton, 0x00, true, 0}, ""},
      {{macro_event_type::kHorizontalMove, 20, true, 0}, "mouse_move_to_left_text"},
      {{macro_event_type::kHorizontalMove, 20, false, 0}, "mouse_move_to_right_text"},
      {{macro_event_type::kVerticalMove, 5, true, 0}, "mouse_move_to_up_text"},
      {{macro_event_type::kVerticalMove, 0, false, 0}, "mouse_move_to_down_text"},
      {{2, 1, true, 0}, ""},
      {{3, 1, true, 0}, ""},
      {{0, 4, true, 0}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.event.type << " button " << int{c.event.button});
    EXPECT_EQ(MacroEventNameKey(c.event), c.name);
  }
}

}  // namespace
}  // namespace brontal
