// Which udev sound devices are the headset's card: its control node, under a
// USB device with the headset's ids.
#include "audio/usb_sound_card_finder.h"

#include <gtest/gtest.h>

namespace brontal::audio {
namespace {

TEST(UsbSoundCardFinder, TakesTheControlNodeOfTheHeadset) {
  struct Case {
    const char* sysname;
    const char* id_vendor;
    const char* id_product;
    std::optional<int> card;
  } cases[] = {
      {"controlC3", "046d", "0a87", 3},
      {"controlC12", "046d", "0a87", 12},
      {"controlC0", "046D", "0A87", 0},
      {"controlC3", "046d", "0a88", std::nullopt},    // another product
      {"controlC3", "046e", "0a87", std::nullopt},    // another vendor
      {"controlC3", nullptr, nullptr, std::nullopt},  // not on USB
      {"pcmC3D0p", "046d", "0a87", std::nullopt},     // a PCM of the card
      {"card3", "046d", "0a87", std::nullopt},
      {"controlC", "046d", "0a87", std::nullopt},
      {"controlC3x", "046d", "0a87", std::nullopt},
      {"controlC-1", "046d", "0a87", std::nullopt},
      {"controlC3", "", "0a87", std::nullopt},
      {"controlC3", "1046d", "0a87", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchingCardIndex(c.sysname, c.id_vendor, c.id_product, 0x046d, 0x0a87), c.card)
        << c.sysname << " " << (c.id_vendor ? c.id_vendor : "-") << ":" << (c.id_product ? c.id_product : "-");
}

}  // namespace
}  // namespace brontal::audio
