#pragma once

namespace brontal {

class CControlFactory;

// Registers the controls of the device strip: the selector entry and the battery indicator.
void RegisterDeviceControls(CControlFactory& factory);

}  // namespace brontal
