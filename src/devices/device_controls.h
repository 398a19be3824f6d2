#pragma once

namespace brontal {

class CControlFactory;

// Registers the controls the roster builds for a device: the selector entry,
// the battery indicator and the profile selector of the device page.
void RegisterDeviceControls(CControlFactory& factory);

}  // namespace brontal
