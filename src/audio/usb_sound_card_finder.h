#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct udev;

namespace brontal::audio {

// An ALSA card as the kernel lists it now. Card numbers change on replug, so
// a card is found again by its USB ids rather than kept by number.
struct SoundCard {
  int index = -1;
  std::string syspath;  // the card's sysfs folder: gone with the card

  std::string ControlName() const { return "hw:" + std::to_string(index); }
  bool StillThere() const;
};

// The card number of a sound device listed by udev when it is a card's
// control node ("controlC3") whose USB device has the given ids; idVendor and
// idProduct are the USB device's sysfs attributes ("046d").
std::optional<int> MatchingCardIndex(std::string_view sysname, const char* id_vendor, const char* id_product,
                                     std::uint16_t vendor, std::uint16_t product);

// Looks up the card of a USB sound device through udev.
class UsbSoundCardFinder {
 public:
  UsbSoundCardFinder(std::uint16_t vendor, std::uint16_t product);
  ~UsbSoundCardFinder();
  UsbSoundCardFinder(const UsbSoundCardFinder&) = delete;
  UsbSoundCardFinder& operator=(const UsbSoundCardFinder&) = delete;

  // The device's card with the lowest number, if it is plugged in.
  std::optional<SoundCard> Find();

 private:
  udev* udev_;
  std::uint16_t vendor_;
  std::uint16_t product_;
};

}  // namespace brontal::audio
