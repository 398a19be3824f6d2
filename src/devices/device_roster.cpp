#include "devices/device_roster.h"

#include <chrono>
#include <thread>

#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/headset/corvane_zu6533_device.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "devices/mousepad/corvane_mouse_pad_device.h"
#include "support/debug_log.h"
#include "support/hex_text.h"
#include "ui/controls/device_power_ui.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/layout_builder.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"
#include "ui/toolkit/window_messages.h"

namespace brontal {
namespace {

constexpr int kQueryLinkAttempts = 26;
constexpr std::chrono::milliseconds kQueryLinkPause{50};
constexpr std::chrono::milliseconds kFirstPresenceAfterSwitch{2000};

bool IsWiredKeyboardOrMouse(DeviceType type) {
  return type == DeviceType::kKeyboardWired || type == DeviceType::kMouseWired;
}

std::unique_ptr<CCorvaneUSBDevice> MakeDevice(DeviceType type, MessageLoop& loop) {
  switch (type) {
    case DeviceType::kKeyboardWired:
    case DeviceType::kKeyboardReceiver: return std::make_unique<CCorvaneKeyboardDevice>(loop);
    case DeviceType::kMouseWired:
    case DeviceType::kMouseReceiver: return std::make_unique<CCorvaneMouseDevice>(loop);
    case DeviceType::kMousePad: return std::make_unique<CCorvaneMousePadDevice>(loop);
    case DeviceType::kHeadset: return std::make_unique<CCorvaneZU6533Device>(loop);
  }
  return nullptr;
}

template <typename T>
T* Find(WindowImplBase& window, std::string_view name) {
  return dynamic_cast<T*>(window.GetPaintManager().FindControl(name));
}

// A control of the skin built from its layout file; null (traced) when it cannot be.
template <typename T>
std::unique_ptr<T> BuildFromLayout(WindowImplBase& window, std::string_view layout) {
  Toolkit& toolkit = window.GetToolkit();
  LayoutResult built = LayoutBuilder(toolkit.Factory(), nullptr).Build(toolkit.Resources().LayoutPath(layout));
  if (!built.root) {
    Trace("skin: " + built.error);
    return nullptr;
  }
  T* typed = dynamic_cast<T*>(built.root.get());
  if (!typed) {
    Trace("skin: " + std::string(layout) + " does not hold the expected control");
    return nullptr;
  }
  built.root.release();
  return std::unique_ptr<T>(typed);
}

}  // namespace

const char* RosterEventName(RosterEvent::Kind kind) {
  switch (kind) {
    case RosterEvent::Kind::kArrived: return "arrived";
    case RosterEvent::Kind::kRemoved: return "removed";
    case RosterEvent::Kind::kCreated: return "created";
    case RosterEvent::Kind::kLink: return "link";
    case RosterEvent::Kind::kOnline: return "online";
    case RosterEvent::Kind::kOffline: return "offline";
  }
  return "";
}

InterfaceRow ProductIdentityOf(const Slot& slot) {
  const InterfaceRow& row = slot.row;
  const int command = FindInterfaceRow(row.vendor_id, row.product_id, row.type, CollectionRole::kCommand);
  if (command < 0) return row;
  const InterfaceRow& command_row = kInterfaceTable[static_cast<std::size_t>(command)];
  if (IsReceiverType(row.type) && command_row.paired) return kInterfaceTable[command_row.partner];
  return command_row;
}

DeviceRoster::DeviceRoster(WindowImplBase& window, SlotList& slots) : window_(window), slots_(slots) {}

DeviceRoster::~DeviceRoster() {
  for (CCorvaneUSBDevice* device : devices_) device->StopThreads();
}

void DeviceRoster::Emit(RosterEvent::Kind kind, std::optional<std::size_t> slot, const InterfaceRow& row) {
  if (listener) listener(RosterEvent{kind, slot, row});
}

void DeviceRoster::EmitLink(CCorvaneUSBDevice& device) {
  if (listener)
    listener(RosterEvent{RosterEvent::Kind::kLink, std::nullopt, device.identity(), device.receiver_link(),
                         device.channel().chunk_size()});
}

CCorvaneUSBDevice* DeviceRoster::DeviceOfSlot(std::size_t slot) const {
  const InterfaceRow identity = ProductIdentityOf(slots_[slot]);
  for (CCorvaneUSBDevice* device : devices_)
    if (SameInterface(device->identity(), identity)) return device;
  return nullptr;
}

std::vector<CDeviceOptionUI*> DeviceRoster::Entries() const {
  std::vector<CDeviceOptionUI*> entries;
  for (CCorvaneUSBDevice* device : devices_)
    if (device->entry()) entries.push_back(device->entry());
  return entries;
}

CDeviceOptionUI* DeviceRoster::SelectedEntry() const {
  for (CDeviceOptionUI* entry : Entries())
    if (entry->IsVisible() && entry->IsSelected()) return entry;
  return nullptr;
}

void DeviceRoster::OnDeviceArrived(std::size_t slot) {
  if (slot >= slots_.size()) return;
  Emit(RosterEvent::Kind::kArrived, slot, slots_[slot].row);
  if (!DeviceOfSlot(slot) && !CreateDevice(slot)) {
    RefreshNoDeviceState();
    return;
  }
  if (slots_[slot].row.role == CollectionRole::kCommand)
    ConnectCommandSlot(slot);
  else
    ConnectEventSlot(slot);
  RefreshNoDeviceState();
}

CCorvaneUSBDevice* DeviceRoster::CreateDevice(std::size_t slot) {
  const InterfaceRow identity = ProductIdentityOf(slots_[slot]);
  const int entry_row = FindEntryRow(identity.vendor_id, identity.product_id, identity.type, CollectionRole::kCommand);
  if (entry_row < 0) return nullptr;
  const DeviceEntryRow& entry_info = kDeviceEntryTable[static_cast<std::size_t>(entry_row)];
  const DeviceLayoutRow& layout = kDeviceLayoutTable[static_cast<std::size_t>(entry_row)];
  auto* pages = Find<CTabLayoutUI>(window_, "device_switch");
  auto* strip = Find<CContainerUI>(window_, "device_select_layout");
  std::unique_ptr<CMpDevicePowerUI> battery = BuildFromLayout<CMpDevicePowerUI>(window_, kDevicePowerLayout);
  std::unique_ptr<CDeviceOptionUI> entry = BuildFromLayout<CDeviceOptionUI>(window_, entry_info.entry_layout);
  std::unique_ptr<CCorvaneUSBDevice> device = MakeDevice(identity.type, window_.GetToolkit().Loop());
  if (!pages || !strip || !battery || !entry || !device) return nullptr;

  device->Setup({std::string(layout.page_layout), layout.position_count, layout.key_list_size, entry_info.entry_index,
                 layout.has_battery, std::string(entry_info.kind_name), entry_info.kind,
                 std::string(layout.lighting_page), identity});
  // A device that arrives while the user has the host lighting off stays off.
  if (!host_lighting) device->set_host_lighting(false);
  device->set_animates(animations);
  battery->SetPowerStyle(entry_info.power_style);
  battery->SetHasBattery(layout.has_battery);
  device->set_battery(battery.get());
  device->BuildKeyPicture();
  CDeviceProfileUI* profiles = nullptr;
  if (profile_panels) {
    if (std::unique_ptr<CDeviceProfileUI> panel = BuildFromLayout<CDeviceProfileUI>(window_, kDeviceProfileLayout)) {
      profiles = panel.get();
      device->AddAt(std::move(panel), 0);
    }
  }
  device->set_profile_panel(profiles);
  if (auto* power_pages = Find<CTabLayoutUI>(window_, entry_info.power_switch_name))
    power_pages->Add(std::move(battery));

  CCorvaneUSBDevice* raw = device.get();
  const int page_index = pages->GetCount();
  pages->Add(std::move(device));
  devices_.push_back(raw);
  if (profiles) {
    // In the window now, so that the panel finds the page tabs.
    profiles->SetPaths(raw->UserDataFolder(), raw->DefaultDataFile());
    profiles->SetDeviceKind(static_cast<int>(entry_info.type));
    profiles->Initialise();
    // The tab strip is shared: it stays with the device on screen, if any.
    if (devices_.size() == 1) {
      profiles->ApplyTabVisibility();
      profiles->SelectTab(1);
    }
  }

  entry->SetEntry(entry_info, page_index);
  entry->SetVisible(false);
  entry->Attach(*raw);
  entry->SetCaption(std::string(entry_info.kind_name));
  entry->on_presence_changed = [this](CDeviceOptionUI& changed, bool online) {
    Emit(online ? RosterEvent::Kind::kOnline : RosterEvent::Kind::kOffline, std::nullopt, changed.device()->identity());
    RefreshNoDeviceState();
  };
  CDeviceOptionUI* entry_raw = entry.get();
  strip->Add(std::move(entry));
  entry_raw->RefreshIcons();
  Emit(RosterEvent::Kind::kCreated, slot, identity);
  if (device_created) device_created(*raw);
  return raw;
}

void DeviceRoster::ConnectCommandSlot(std::size_t slot) {
  const Slot& s = slots_[slot];
  CCorvaneUSBDevice* device = DeviceOfSlot(slot);
  if (!device) return;
  if (slots_.PartnerPresent(slot)) {
    if (IsWiredKeyboardOrMouse(s.row.type)) SwitchLinks(*device, slot);
    return;
  }
  const bool receiver = IsReceiverType(s.row.type);
  CCommandChannel& channel = device->channel();
  if (!channel.open() && !device->TakeDeviceLock()) {
    // Another program of this user talks to it; taken once that one is done.
    if (std::find(waiting_slots_.begin(), waiting_slots_.end(), slot) == waiting_slots_.end()) {
      Trace("device in use by another program: " + HexPair(s.row.vendor_id, s.row.product_id));
      waiting_slots_.push_back(slot);
    }
    return;
  }
  std::erase(waiting_slots_, slot);
  if (!channel.open()) {
    std::scoped_lock lock(channel.exchange_lock());
    CHidDevice& collection = receiver ? channel.receiver_collection() : channel.wired_collection();
    if (collection.Open(s.path, true, true, true, false)) {
      channel.set_open(true);
      channel.SetLink(receiver ? kLinkReceiver : kLinkWired);
      device->set_receiver_link(receiver);
      device->set_identity(ProductIdentityOf(s));
      EmitLink(*device);
    }
  }
  FollowEvents(*device);
  CDeviceOptionUI* entry = device->entry();
  if (!entry) return;
  if (!receiver) {
    const std::vector<CDeviceOptionUI*> entries = Entries();
    const bool none_visible =
        std::none_of(entries.begin(), entries.end(), [](CDeviceOptionUI* e) { return e->IsVisible(); });
    entry->SetVisible(true);
    if (none_visible) ShowEntry(*entry);
  }
  entry->StartConnectTimer();
}

void DeviceRoster::ConnectEventSlot(std::size_t slot) {
  if (CCorvaneUSBDevice* device = DeviceOfSlot(slot)) FollowEvents(*device);
}

void DeviceRoster::FollowEvents(CCorvaneUSBDevice& device) {
  // The events come through the link that carries the device: a product
  // plugged on both links sends them on the one it is used through. The other
  // link's collection serves only while the carrying one has none.
  std::optional<std::size_t> carrying, other;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& s = slots_[i];
    if (!s.present || s.row.role != CollectionRole::kEvent) continue;
    if (!SameInterface(ProductIdentityOf(s), device.identity())) continue;
    (IsReceiverType(s.row.type) == device.receiver_link() ? carrying : other) = i;
  }
  const std::optional<std::size_t> chosen = carrying ? carrying : other;
  if (!chosen) {
    device.CloseEventCollection();
    return;
  }
  if (device.event_collection_open() && device.event_path() == slots_[*chosen].path) return;
  device.OpenEventCollection(slots_[*chosen].path);
}

void DeviceRoster::SwitchLinks(CCorvaneUSBDevice& device, std::size_t slot) {
  // The wired slot and the receiver slot of the product's command collection.
  const std::size_t wired_slot = IsReceiverType(slots_[slot].row.type) ? slots_[slot].row.partner : slot;
  const std::size_t receiver_slot = slots_[wired_slot].row.partner;
  CCommandChannel& channel = device.channel();
  const bool to_wired = device.receiver_link();
  bool reopened;
  {
    std::scoped_lock lock(channel.exchange_lock());
    channel.set_open(false);
    reopened = to_wired ? channel.wired_collection().Open(slots_[wired_slot].path, true, true, true, false)
                        : channel.receiver_collection().Open(slots_[receiver_slot].path, true, true, true, false);
    if (reopened) {
      channel.set_open(true);
      device.set_receiver_link(!to_wired);
      channel.SetLink(to_wired ? kLinkWired : kLinkReceiver);
    }
  }
  if (!reopened) return;
  EmitLink(device);
  FollowEvents(device);
  CDeviceOptionUI* entry = device.entry();
  if (to_wired) {
    if (entry) entry->StartConnectTimer();
    window_.SendMessage(WindowMessage(kMsgRefreshDevicePage, static_cast<std::uintptr_t>(device.entry_index()), 1));
    if (device.has_battery()) device.PollStatus();
    return;
  }
  if (device.has_battery()) {
    for (int attempt = 0; attempt < kQueryLinkAttempts && !channel.QueryLink(); ++attempt) {
      Trace("获取2.4G模式失败");
      std::this_thread::sleep_for(kQueryLinkPause);
    }
    Trace("获取2");
    device.PollStatus();
  }
  if (entry) {
    channel.Begin();
    entry->ArmTimer(CDeviceOptionUI::kPresenceTimer, kFirstPresenceAfterSwitch);
  }
}

void DeviceRoster::RetryWaitingSlots() {
  const std::vector<std::size_t> waiting = waiting_slots_;
  for (std::size_t slot : waiting) ConnectCommandSlot(slot);
  if (!waiting.empty()) RefreshNoDeviceState();
}

void DeviceRoster::OnDeviceRemoved(std::size_t slot) {
  if (slot >= slots_.size()) return;
  std::erase(waiting_slots_, slot);
  Emit(RosterEvent::Kind::kRemoved, slot, slots_[slot].row);
  CCorvaneUSBDevice* device = DeviceOfSlot(slot);
  if (!device) return;
  if (slots_[slot].row.role == CollectionRole::kEvent) {
    FollowEvents(*device);
    return;
  }
  if (slots_.PartnerPresent(slot)) {
    if (IsWiredKeyboardOrMouse(slots_[slot].row.type)) SwitchLinks(*device, slot);
    return;
  }
  if (before_device_closes) before_device_closes(*device);
  CCommandChannel& channel = device->channel();
  {
    std::scoped_lock lock(channel.exchange_lock());
    channel.set_open(false);
    channel.wired_collection().Close();
    channel.receiver_collection().Close();
  }
  device->ReleaseDeviceLock();
  CDeviceOptionUI* entry = device->entry();
  if (!entry) return;
  const bool was_selected = entry->IsVisible() && entry->IsSelected();
  if (was_selected && before_selected_device_leaves) before_selected_device_leaves();
  entry->SetVisible(false);
  entry->RefreshIcons();
  if (was_selected) {
    for (CDeviceOptionUI* other : Entries()) {
      if (other != entry && other->IsVisible()) {
        ShowEntry(*other);
        break;
      }
    }
  }
  RefreshNoDeviceState();
}

void DeviceRoster::ShowEntry(CDeviceOptionUI& entry) {
  entry.SetVisible(true);
  entry.Select(false);
  if (entry.device() && entry.device()->profile_panel()) entry.device()->profile_panel()->ApplyTabVisibility();
  if (auto* pages = Find<CTabLayoutUI>(window_, "device_switch")) pages->SelectItem(entry.page_index());
  if (auto* power = Find<CTabLayoutUI>(window_, entry.power_switch_name())) power->SelectItem(entry.page_index());
  RefreshNoDeviceState();
}

void DeviceRoster::RefreshNoDeviceState() {
  const std::vector<CDeviceOptionUI*> entries = Entries();
  const auto visible = std::count_if(entries.begin(), entries.end(), [](CDeviceOptionUI* e) { return e->IsVisible(); });
  if (CControlUI* no_device = window_.GetPaintManager().FindControl("No_device_Link"))
    no_device->SetVisible(visible == 0);
  std::string selector = "selector:";
  for (CDeviceOptionUI* entry : entries)
    if (entry->IsVisible() && entry->device()) selector += " " + entry->device()->kind_name();
  if (selector != traced_selector_) Trace(traced_selector_ = selector);
  if (visible == 0) {
    if (auto* pages = Find<CTabLayoutUI>(window_, "device_switch")) pages->SelectItem(0);
    if (auto* power = Find<CTabLayoutUI>(window_, "device_power_switch")) power->SelectItem(0);
  }
  // Synchronised lighting needs two devices; without them each shows its own lighting again.
  const auto ticked = std::count_if(entries.begin(), entries.end(),
                                    [](CDeviceOptionUI* e) { return e->IsVisible() && e->IsSynchro(); });
  for (CDeviceOptionUI* entry : entries) {
    if (ticked < 2 && entry->IsSynchro()) {
      entry->SetSynchro(false);
      if (entry->device()) entry->device()->channel().set_polling_paused(false);
    }
    if (CControlUI* check = CPaintManagerUI::FindSubControlByName(entry, "synchro_device_select"))
      check->SetVisible(visible > 1);
  }
}

}  // namespace brontal
