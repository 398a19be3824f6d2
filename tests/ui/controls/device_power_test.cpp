#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/controls/device_power_ui.h"
#include "ui/toolkit/control_factory.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/layout_builder.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/slider.h"

namespace brontal::testing {
namespace {

using Status = std::array<std::uint8_t, 6>;

// The indicator as the skin's layout builds it.
class DevicePowerTest : public ::testing::Test {
 public:
  DevicePowerTest() {
    CControlFactory factory;
    factory.Register("CMpDevicePowerUI", [] { return std::make_unique<CMpDevicePowerUI>(); });
    LayoutResult layout =
        LayoutBuilder(factory, nullptr).Build(BRONTAL_SKIN_DIR "/XML/CustomControlXML/MpDevicePower.xml");
    if (!layout.root) throw std::runtime_error(layout.error);
    root = std::move(layout.root);
    indicator = dynamic_cast<CMpDevicePowerUI*>(root.get());
    if (!indicator) throw std::runtime_error("the layout's root is not the indicator");
  }

  template <typename T = CControlUI>
  T& Child(std::string_view name) {
    auto* control = dynamic_cast<T*>(CPaintManagerUI::FindSubControlByName(root.get(), name));
    if (!control) throw std::runtime_error("no such control: " + std::string(name));
    return *control;
  }

  std::unique_ptr<CControlUI> root;
  CMpDevicePowerUI* indicator = nullptr;
};

TEST_F(DevicePowerTest, LayoutHoldsTheNamedParts) {
  const auto& progress = Child<CSliderUI>("device_Power_progress");
  EXPECT_EQ(progress.GetMinValue(), 0);
  EXPECT_EQ(progress.GetMaxValue(), 100);
  EXPECT_NO_THROW(Child<CLabelUI>("device_power_value"));
  EXPECT_NO_THROW(Child("device_power_status"));
  // Nothing shows before the device says it has a battery and is wireless.
  EXPECT_FALSE(Child("device_power_Layout").IsVisible());
  EXPECT_FALSE(Child("device_wuxian_logo").IsVisible());
  EXPECT_FALSE(Child("device_phone_type").IsVisible());
}

TEST_F(DevicePowerTest, BatteryShowsTheIndicator) {
  indicator->SetHasBattery(true);
  EXPECT_TRUE(Child("device_power_Layout").IsVisible());
  indicator->SetHasBattery(false);
  EXPECT_FALSE(Child("device_power_Layout").IsVisible());
}

struct StatusCase {
  const char* name;
  Status status;
  int charge;
  const char* text;
  bool wireless;
  const char* charging_image;
  friend void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.name; }
};

class PowerStatusTest : public DevicePowerTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(PowerStatusTest, ShowsChargeLinkAndCharging) {
  const StatusCase& c = GetParam();
  indicator->SetPowerStatus(c.status);
  EXPECT_EQ(Child<CSliderUI>("device_Power_progress").GetValue(), c.charge);
  EXPECT_EQ(Child("device_power_value").GetText(), c.text);
  EXPECT_EQ(Child("device_wuxian_logo").IsVisible(), c.wireless);
  EXPECT_EQ(Child("device_power_status").GetBkImage(), c.charging_image);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PowerStatusTest,
    ::testing::Values(
        StatusCase{"ChargedOnCable", {80, 0, 0, 0, 0, 0}, 80, "80%", false, "file='power/powered.png'"},
        StatusCase{"ChargingOverReceiver", {5, 1, 0, 1, 0, 0}, 5, "5%", true, "file='power/powering.png'"},
        StatusCase{"OnBatteryAnyLinkByte", {100, 2, 7, 0x80, 9, 0}, 100, "100%", true, "file='power/power.png'"},
        StatusCase{"Empty", {0, 2, 0, 0, 0, 0}, 0, "0%", false, "file='power/power.png'"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(DevicePowerTest, UnknownChargingStateKeepsThePicture) {
  indicator->SetPowerStatus(Status{50, 1, 0, 0, 0, 0});
  indicator->SetPowerStatus(Status{50, 3, 0, 0, 0, 0});
  EXPECT_EQ(Child("device_power_status").GetBkImage(), "file='power/powering.png'");
}

struct PhoneCase {
  std::uint8_t phone;
  const char* name;
  friend void PrintTo(const PhoneCase& c, std::ostream* out) { *out << c.name << " (" << int(c.phone) << ")"; }
};

class PhoneTypeTest : public DevicePowerTest, public ::testing::WithParamInterface<PhoneCase> {};

TEST_P(PhoneTypeTest, PhoneStyleNamesAndPicturesThePhone) {
  indicator->SetPowerStyle(CMpDevicePowerUI::kPhoneStyle);
  // A first status renames the control; the second must still find it.
  indicator->SetPowerStatus(Status{50, 0, 0, 0, 0, 1});
  indicator->SetPowerStatus(Status{50, 0, 0, 0, 0, GetParam().phone});
  const auto& phone = Child(GetParam().name);
  EXPECT_TRUE(phone.IsVisible());
  EXPECT_EQ(phone.GetBkImage(), std::string("file='power/") + GetParam().name + ".png'");
}

INSTANTIATE_TEST_SUITE_P(Phones, PhoneTypeTest,
                         ::testing::Values(PhoneCase{0, "Phone_type_no_device"}, PhoneCase{1, "Phone_type_iphone"},
                                           PhoneCase{2, "Phone_type_samsung"}, PhoneCase{3, "Phone_type_other"},
                                           PhoneCase{4, "Phone_type_no_device"},
                                           PhoneCase{255, "Phone_type_no_device"}));

TEST_F(DevicePowerTest, OtherStylesLeaveThePhoneAlone) {
  indicator->SetPowerStyle(CMpDevicePowerUI::kPhoneStyle);
  indicator->SetPowerStyle(0);
  EXPECT_EQ(indicator->GetPowerStyle(), 0);
  indicator->SetPowerStatus(Status{50, 0, 0, 0, 0, 2});
  const auto& phone = Child("device_phone_type");
  EXPECT_FALSE(phone.IsVisible());
  EXPECT_EQ(phone.GetBkImage(), "file='power/Phone_type_no_device.png'");
}

}  // namespace
}  // namespace brontal::testing
