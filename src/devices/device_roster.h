#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/slot_list.h"

namespace brontal {

class CCorvaneUSBDevice;
class CDeviceOptionUI;
class WindowImplBase;

// What happened to the devices, for whoever watches (brontalctl monitor).
struct RosterEvent {
  enum class Kind { kArrived, kRemoved, kCreated, kLink, kOnline, kOffline };
  Kind kind;
  std::optional<std::size_t> slot;
  InterfaceRow row{};           // the slot's row, or the device's identity
  bool receiver_link = false;   // kLink
  std::uint8_t chunk_size = 0;  // kLink
};
const char* RosterEventName(RosterEvent::Kind kind);

// The main window's side of discovery: one device object per product, created
// at the first arrival of any of its interfaces, with its page, selector entry
// and battery indicator; the collections of arriving slots connected; a
// product switched between cable and receiver (the cable wins); the selector
// strip and the no-device state kept. Runs on the UI thread, in the handlers
// of the two messages discovery sends.
//
// The window provides "device_switch" and "device_power_switch" (tab layouts
// whose page 0 stands for no device), "device_select_layout" (the strip) and
// "No_device_Link".
class DeviceRoster {
 public:
  DeviceRoster(WindowImplBase& window, SlotList& slots);
  ~DeviceRoster();
  DeviceRoster(const DeviceRoster&) = delete;
  DeviceRoster& operator=(const DeviceRoster&) = delete;

  void OnDeviceArrived(std::size_t slot);
  void OnDeviceRemoved(std::size_t slot);
  // Command collections whose device another program held when they arrived.
  void RetryWaitingSlots();

  const std::vector<CCorvaneUSBDevice*>& devices() const { return devices_; }
  // The device whose identity is the slot's product's.
  CCorvaneUSBDevice* DeviceOfSlot(std::size_t slot) const;
  CDeviceOptionUI* SelectedEntry() const;
  // Selects the entry and shows its device's pages.
  void ShowEntry(CDeviceOptionUI& entry);
  void RefreshNoDeviceState();

  std::function<void(const RosterEvent&)> listener;
  // Whether device pages get their profile selector, which makes the model's
  // profiles in the user's data folder: the program's, not a monitor's.
  bool profile_panels = false;
  // Told of each device made, once it is in the window.
  std::function<void(CCorvaneUSBDevice&)> device_created;
  // The main window's host-lighting state, which new devices take.
  bool host_lighting = true;
  // Whether devices run their host-side lighting animation: the program's;
  // brontalctl leaves at once, and the lights it computed would stop with it.
  bool animations = true;
  // Called before an unplugged device's channel closes.
  std::function<void(CCorvaneUSBDevice&)> before_device_closes;
  // Called before the selected device goes away (macro recording stops then).
  std::function<void()> before_selected_device_leaves;

 private:
  CCorvaneUSBDevice* CreateDevice(std::size_t slot);
  void ConnectCommandSlot(std::size_t slot);
  void ConnectEventSlot(std::size_t slot);
  void SwitchLinks(CCorvaneUSBDevice& device, std::size_t slot);
  // Opens the event collection of the link that carries the device (or of
  // the other link while that has none) in place of the one open.
  void FollowEvents(CCorvaneUSBDevice& device);
  void Emit(RosterEvent::Kind kind, std::optional<std::size_t> slot, const InterfaceRow& row);
  void EmitLink(CCorvaneUSBDevice& device);
  std::vector<CDeviceOptionUI*> Entries() const;

  WindowImplBase& window_;
  SlotList& slots_;
  std::vector<CCorvaneUSBDevice*> devices_;  // owned by the window's control tree
  std::string traced_selector_;              // the entries last traced as shown
  std::vector<std::size_t> waiting_slots_;   // command slots of devices in use elsewhere
};

// The command identity of a slot's product: the wired command row for a
// receiver that has a cable partner, the product's own command row otherwise.
InterfaceRow ProductIdentityOf(const Slot& slot);

}  // namespace brontal
