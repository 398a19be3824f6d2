#include "devices/device_controls.h"

#include "devices/device_option_ui.h"
#include "ui/controls/device_power_ui.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/control_factory.h"

namespace brontal {

void RegisterDeviceControls(CControlFactory& factory) {
  factory.Register("CDeviceOptionUI", [] { return std::make_unique<CDeviceOptionUI>(); });
  factory.Register("CMpDevicePowerUI", [] { return std::make_unique<CMpDevicePowerUI>(); });
  factory.Register("CDeviceProfileUI", [] { return std::make_unique<CDeviceProfileUI>(); });
}

}  // namespace brontal
