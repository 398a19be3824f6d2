#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/toolkit/container.h"

namespace brontal {

// The battery indicator of a device's selector entry, the root of the layout
// "MpDevicePower". Its children, found by name: "device_power_Layout" (the
// whole indicator), the progress "device_Power_progress" (a Slider 0..100),
// the label "device_power_value", the wireless logo "device_wuxian_logo", the
// charging picture "device_power_status" and the attached phone
// "device_phone_type". A missing child is skipped.
class CMpDevicePowerUI : public CHorizontalLayoutUI {
 public:
  static constexpr std::string_view kClassName = "MpDevicePower";
  // The only style the indicator itself tells apart: it shows the attached phone.
  static constexpr int kPhoneStyle = 3;

  std::string_view GetClass() const override { return kClassName; }

  // From the device's selector entry row; -1 for none. The phone picture is
  // shown only for kPhoneStyle.
  int GetPowerStyle() const { return power_style_; }
  void SetPowerStyle(int style);

  // Devices without a battery show no indicator.
  void SetHasBattery(bool has_battery);

  // The status block of the power query: byte 0 charge in percent, byte 1
  // charging state (0 charged, 1 charging, 2 on battery), byte 3 nonzero on
  // the wireless link, byte 5 the attached phone (kPhoneStyle only). An
  // unknown charging state leaves the charging picture as it was.
  void SetPowerStatus(std::span<const std::uint8_t, 6> status);

 private:
  CControlUI* Child(std::string_view name);
  CControlUI* PhoneType();
  void ShowPhoneType(std::uint8_t phone);

  int power_style_ = -1;
};

}  // namespace brontal
