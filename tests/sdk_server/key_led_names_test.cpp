#include "sdk_server/key_led_names.h"

#include <gtest/gtest.h>

#include <set>

#include "devices/keyboard/keyboard_picture.h"

namespace brontal::sdk {
namespace {

// Clients address keys by name: two LEDs of one name would make one of them unreachable.
TEST(KeyLedNames, UniqueOnEveryKeyboardPicture) {
  for (int variant = 0; variant < kKeyPictureVariantCount; ++variant) {
    std::set<std::string> names;
    for (const KeyPlace& place : KeyPictureLayout(variant)) {
      const std::string name = KeyLedName(place.logical_key);
      EXPECT_NE(name, "Key: ") << "key " << place.logical_key << " has no name";
      EXPECT_TRUE(names.insert(name).second) << name << " twice on picture " << variant;
    }
  }
}

TEST(KeyLedNames, SharedCapsAreToldApart) {
  std::set<std::string> names;
  for (const KeyPlace& place : KeyPictureLayout(0)) names.insert(KeyLedName(place.logical_key));
  for (const char* name : {"Key: Left Shift", "Key: Right Shift", "Key: Left Ctrl", "Key: 1", "Key: Number Pad 1",
                           "Key: Enter", "Key: Number Pad Enter", "Key: Fn"})
    EXPECT_TRUE(names.contains(name)) << name;
}

}  // namespace
}  // namespace brontal::sdk
