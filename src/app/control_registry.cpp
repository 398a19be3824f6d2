#include "app/control_registry.h"

#include "devices/device_controls.h"
#include "ui/controls/color_palette_ui.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/key_capture_field_ui.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/controls/light_control_ui.h"
#include "ui/controls/macro_control_ui.h"
#include "ui/controls/redio_macro_button_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/controls/shoot_control_ui.h"
#include "ui/toolkit/control_factory.h"

namespace brontal {

void RegisterProgramControls(CControlFactory& factory) {
  factory.Register("CSelectPanelUI", [] { return std::make_unique<CSelectPanelUI>(); });
  factory.Register("CDeviceKeyButtonUI", [] { return std::make_unique<CDeviceKeyButtonUI>(); });
  factory.Register("CColorPaletteUI", [] { return std::make_unique<CColorPaletteUI>(); });
  factory.Register("CLightControlUI", [] { return std::make_unique<CLightControlUI>(); });
  factory.Register("CKeySetControlUI", [] { return std::make_unique<CKeySetControlUI>(); });
  factory.Register("CKeyCaptureFieldUI", [] { return std::make_unique<CKeyCaptureFieldUI>(); });
  factory.Register("CMacroControlUI", [] { return std::make_unique<CMacroControlUI>(); });
  factory.Register("CRedioMacroButtonUI", [] { return std::make_unique<CRedioMacroButtonUI>(); });
  factory.Register("CShootControlUI", [] { return std::make_unique<CShootControlUI>(); });
  RegisterDeviceControls(factory);  // "CDeviceOptionUI", "CMpDevicePowerUI", "CDeviceProfileUI"
}

}  // namespace brontal
