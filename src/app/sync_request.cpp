#include "app/sync_request.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "control/device_commands.h"
#include "control/sync_command.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"

namespace brontal {
namespace {

using Done = std::function<void(DeviceReply)>;

DeviceReply Failure(const std::string& reason) { return {1, "", "brontalctl: sync: " + reason + "\n"}; }

sync_command::Status StatusOf(CMainWnd& window) {
  const SynchronisedLighting::Status current = window.synchronised_lighting().CurrentStatus();
  sync_command::Status status{!current.painted.empty(), current.look, {}};
  for (const CCorvaneUSBDevice* device : current.painted)
    status.participants.push_back(
        {std::string(FamilyWord(device->family())), device->identity().vendor_id, device->identity().product_id});
  return status;
}

void Start(CMainWnd& window, const sync_command::Line& line, const Done& done) {
  DeviceRoster& roster = window.roster();
  std::vector<CCorvaneUSBDevice*> chosen;
  if (line.devices.empty()) {
    for (CCorvaneUSBDevice* device : roster.devices())
      if (device->entry() && DeviceReady(*device)) chosen.push_back(device);
  }
  for (const std::string& word : line.devices) {
    CCorvaneUSBDevice* device = FindReadyDevice(roster, word);
    if (!device) return done(Failure("no " + word + " is attached and answering"));
    if (std::find(chosen.begin(), chosen.end(), device) == chosen.end()) chosen.push_back(device);
  }
  if (chosen.size() < 2)
    return done(Failure("synchronised lighting needs two devices attached and answering; " +
                        std::to_string(chosen.size()) + " found"));
  for (CCorvaneUSBDevice* device : roster.devices()) {
    CDeviceOptionUI* entry = device->entry();
    if (!entry) continue;
    const bool ticked = std::find(chosen.begin(), chosen.end(), device) != chosen.end();
    // A device left out shows its own lighting again, as when its box is unticked.
    if (!ticked) device->channel().set_polling_paused(false);
    entry->SetSynchro(ticked);
  }
  roster.RefreshNoDeviceState();
  if (!window.lighting_page().ApplySameMode(line.effect))
    return done(Failure("the device selected in brontal-driver has no lighting record to take the look from"));
  done({0, "", ""});
}

void Stop(CMainWnd& window) {
  for (CCorvaneUSBDevice* device : window.roster().devices()) {
    CDeviceOptionUI* entry = device->entry();
    if (!entry || !(entry->IsSynchro() || device->channel().polling_paused())) continue;
    entry->SetSynchro(false);
    device->channel().set_polling_paused(false);
    device->LoadLighting();
  }
  window.synchronised_lighting().LeaveAll();
  window.roster().RefreshNoDeviceState();
}

}  // namespace

void RunSyncRequest(CMainWnd& window, const DeviceRequest& request, std::function<void(DeviceReply)> done) {
  sync_command::Line line;
  std::string error;
  if (!sync_command::Parse(request.args, line, error)) return done({2, "", "brontalctl: sync: " + error + "\n"});
  if (line.help) return done({0, sync_command::HelpText(), ""});
  switch (line.action) {
    case sync_command::Line::Action::kStart: return Start(window, line, done);
    case sync_command::Line::Action::kStop: Stop(window); return done({0, "", ""});
    case sync_command::Line::Action::kStatus:
      return done({0, sync_command::StatusText(StatusOf(window), line.json), ""});
  }
}

}  // namespace brontal
