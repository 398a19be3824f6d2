#pragma once

#include "profiles/data_folders.h"

// Whether the desktop program starts its SDK server: the settings window's
// switch, an app-wide value of the user's ("SdkServer" in settings.ini); off
// until the user turns it on.
namespace brontal::sdk {

bool ReadSdkServerSwitch(const AppFolders& folders = AppFolders::Installed());
bool WriteSdkServerSwitch(bool on, const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal::sdk
