#pragma once

#include "ui/toolkit/test_window.h"

namespace brontal::testing {

// The key picture of data/key_picture.xml in a created window, with the two
// classes registered on the test's own toolkit.
class KeyPictureTest : public WindowFixture {
 public:
  KeyPictureTest();
};

}  // namespace brontal::testing
