#include "ui/controls/device_power_ui.h"

#include <algorithm>
#include <array>
#include <string>

#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

constexpr std::string_view kPhoneTypeName = "device_phone_type";

enum StatusByte : std::size_t { kCharge = 0, kCharging = 1, kWireless = 3, kPhone = 5 };

constexpr std::array<std::string_view, 3> kChargingImages = {"file='power/powered.png'", "file='power/powering.png'",
                                                             "file='power/power.png'"};

struct PhoneLook {
  std::string_view name;
  std::string_view image;
};

// Index: the phone byte; anything past the end shows the last entry.
constexpr std::array<PhoneLook, 4> kPhoneLooks = {{
    {"Phone_type_no_device", "file='power/Phone_type_no_device.png'"},
    {"Phone_type_iphone", "file='power/Phone_type_iphone.png'"},
    {"Phone_type_samsung", "file='power/Phone_type_samsung.png'"},
    {"Phone_type_other", "file='power/Phone_type_other.png'"},
}};

const PhoneLook& LookOfPhone(std::uint8_t phone) {
  return phone < kPhoneLooks.size() ? kPhoneLooks[phone] : kPhoneLooks[0];
}

}  // namespace

CControlUI* CMpDevicePowerUI::Child(std::string_view name) { return CPaintManagerUI::FindSubControlByName(this, name); }

CControlUI* CMpDevicePowerUI::PhoneType() {
  // The control takes the phone's name, so after the first status it is found
  // under that instead.
  return FindControlIf(*this, [](CControlUI& control) {
    const std::string& name = control.GetName();
    return name == kPhoneTypeName || std::any_of(kPhoneLooks.begin(), kPhoneLooks.end(),
                                                 [&](const PhoneLook& look) { return look.name == name; });
  });
}

void CMpDevicePowerUI::SetPowerStyle(int style) {
  power_style_ = style;
  if (CControlUI* phone = PhoneType()) phone->SetVisible(style == kPhoneStyle);
}

void CMpDevicePowerUI::SetHasBattery(bool has_battery) {
  if (CControlUI* layout = Child("device_power_Layout")) layout->SetVisible(has_battery);
}

void CMpDevicePowerUI::SetPowerStatus(std::span<const std::uint8_t, 6> status) {
  const int charge = status[kCharge];
  if (auto* progress = dynamic_cast<CSliderUI*>(Child("device_Power_progress"))) progress->SetValue(charge);
  if (CControlUI* value = Child("device_power_value")) value->SetText(std::to_string(charge) + "%");
  if (CControlUI* logo = Child("device_wuxian_logo")) logo->SetVisible(status[kWireless] != 0);
  if (status[kCharging] < kChargingImages.size()) {
    if (CControlUI* charging = Child("device_power_status")) {
      charging->SetBkImage(std::string(kChargingImages[status[kCharging]]));
    }
  }
  if (power_style_ == kPhoneStyle) ShowPhoneType(status[kPhone]);
}

void CMpDevicePowerUI::ShowPhoneType(std::uint8_t phone) {
  CControlUI* control = PhoneType();
  if (!control) return;
  const PhoneLook& look = LookOfPhone(phone);
  control->SetName(std::string(look.name));
  control->SetBkImage(std::string(look.image));
}

}  // namespace brontal
