#include "audio/usb_sound_card_finder.h"

#include <libudev.h>

#include <charconv>
#include <filesystem>

namespace brontal::audio {
namespace {

std::optional<unsigned> ParseNumber(std::string_view text, int base) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IdIs(const char* attribute, std::uint16_t wanted) { return attribute && ParseNumber(attribute, 16) == wanted; }

}  // namespace

bool SoundCard::StillThere() const {
  std::error_code ignored;
  return !syspath.empty() && std::filesystem::exists(syspath, ignored);
}

std::optional<int> MatchingCardIndex(std::string_view sysname, const char* id_vendor, const char* id_product,
                                     std::uint16_t vendor, std::uint16_t product) {
  constexpr std::string_view kPrefix = "controlC";
  if (!sysname.starts_with(kPrefix) || !IdIs(id_vendor, vendor) || !IdIs(id_product, product)) return std::nullopt;
  const auto index = ParseNumber(sysname.substr(kPrefix.size()), 10);
  if (!index || *index > 1000) return std::nullopt;
  return static_cast<int>(*index);
}

UsbSoundCardFinder::UsbSoundCardFinder(std::uint16_t vendor, std::uint16_t product)
    : udev_(udev_new()), vendor_(vendor), product_(product) {}

UsbSoundCardFinder::~UsbSoundCardFinder() {
  if (udev_) udev_unref(udev_);
}

std::optional<SoundCard> UsbSoundCardFinder::Find() {
  if (!udev_) return std::nullopt;
  udev_enumerate* enumerate = udev_enumerate_new(udev_);
  if (!enumerate) return std::nullopt;
  std::optional<SoundCard> found;
  if (udev_enumerate_add_match_subsystem(enumerate, "sound") >= 0 &&
      udev_enumerate_add_match_sysname(enumerate, "controlC*") >= 0 && udev_enumerate_scan_devices(enumerate) >= 0) {
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
      udev_device* control = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
      if (!control) continue;  // gone while listing
      udev_device* usb = udev_device_get_parent_with_subsystem_devtype(control, "usb", "usb_device");
      const auto index = MatchingCardIndex(
          udev_device_get_sysname(control), usb ? udev_device_get_sysattr_value(usb, "idVendor") : nullptr,
          usb ? udev_device_get_sysattr_value(usb, "idProduct") : nullptr, vendor_, product_);
      udev_device* card = udev_device_get_parent(control);
      if (index && card && (!found || *index < found->index)) found = SoundCard{*index, udev_device_get_syspath(card)};
      udev_device_unref(control);
    }
  }
  udev_enumerate_unref(enumerate);
  return found;
}

}  // namespace brontal::audio
