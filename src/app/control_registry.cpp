#include "app/control_registry.h"

#include "devices/device_controls.h"
#include "ui/controls/color_palette_ui.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/light_control_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/toolkit/control_factory.h"

namespace brontal {

void RegisterProgramControls(CControlFactory& factory) {
  factory.Register("CSelectPanelUI", [] { return std::make_unique<CSelectPanelUI>(); });
  factory.Register("CDeviceKeyButtonUI", [] { return std::make_unique<CDeviceKeyButtonUI>(); });
  factory.Register("CColorPaletteUI", [] { return std::make_unique<CColorPaletteUI>(); });
  factory.Register("CLightControlUI", [] { return std::make_unique<CLightControlUI>(); });
  RegisterDeviceControls(factory);  // "CDeviceOptionUI", "CMpDevicePowerUI", "CDeviceProfileUI"
}

}  // namespace brontal
