#pragma once

#include <cstdint>

#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/simulated_product_fixture.h"

namespace brontal::test {

// The keyboard on its cable, read as the main window reads it.
class KeyboardFixture : public SimulatedProductFixture<CCorvaneKeyboardDevice> {
 protected:
  static constexpr std::uint16_t kCabled = 0x5100;

  KeyboardFixture() : SimulatedProductFixture(kCabled) {}

  CCorvaneKeyboardDevice* Keyboard() { return Product(); }

  // Discovery finds it, the connect timer runs, and the read comes back.
  CCorvaneKeyboardDevice& Connect(std::uint64_t connects = 1) {
    Open();
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return Keyboard()->connect_count() >= connects; }));
    return *Keyboard();
  }
};

}  // namespace brontal::test
