#pragma once

#include <functional>

#include "control/device_request.h"

namespace brontal {

class CMainWnd;

// brontalctl's "sync" as brontal-driver carries it out on its UI thread:
// start ticks the synchronisation boxes of the devices it names (every
// attached one by default) and runs the same-mode action with the effect it
// names; stop clears the boxes and hands every device back its own lighting;
// status reports the effect and the devices that show it.
void RunSyncRequest(CMainWnd& window, const DeviceRequest& request, std::function<void(DeviceReply)> done);

}  // namespace brontal
