#include "devices/device_option_ui.h"

#include <algorithm>

#include "devices/corvane_usb_device.h"
#include "ui/toolkit/event.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"

namespace brontal {

void CDeviceOptionUI::Attach(CCorvaneUSBDevice& device) {
  device_ = &device;
  device.set_entry(this);
}

void CDeviceOptionUI::SetEntry(const DeviceEntryRow& row, int page_index) {
  tab_header_name_ = row.tab_header_name;
  power_switch_name_ = row.power_switch_name;
  power_style_ = row.power_style;
  kind_ = row.kind;
  page_index_ = page_index;
}

void CDeviceOptionUI::SetCaption(const std::string& caption) {
  if (CControlUI* label = CPaintManagerUI::FindSubControlByName(this, "device_select_name")) label->SetText(caption);
}

COptionUI* CDeviceOptionUI::SelectOption() const {
  return dynamic_cast<COptionUI*>(
      CPaintManagerUI::FindSubControlByName(const_cast<CDeviceOptionUI*>(this), "device_select"));
}

CCheckBoxUI* CDeviceOptionUI::SynchroCheck() const {
  return dynamic_cast<CCheckBoxUI*>(
      CPaintManagerUI::FindSubControlByName(const_cast<CDeviceOptionUI*>(this), "synchro_device_select"));
}

bool CDeviceOptionUI::IsSelected() const {
  const COptionUI* option = SelectOption();
  return option && option->IsSelected();
}

void CDeviceOptionUI::Select(bool notify) {
  if (COptionUI* option = SelectOption()) option->Selected(true, notify);
}

bool CDeviceOptionUI::IsSynchro() const {
  const CCheckBoxUI* check = SynchroCheck();
  return check && check->IsSelected();
}

void CDeviceOptionUI::SetSynchro(bool on) {
  if (CCheckBoxUI* check = SynchroCheck()) check->Selected(on, false);
  RefreshIcons();
}

void CDeviceOptionUI::RefreshIcons() {
  COptionUI* option = SelectOption();
  if (!option || !device_) return;
  const ProductIcon& icon = IconForProduct(device_->identity().product_id);
  const bool synchro = IsSynchro();
  const std::string normal(synchro ? kSynchroNormalImage : icon.normal_image);
  const std::string selected(synchro ? kSynchroSelectedImage : icon.selected_image);
  option->SetAttribute("normalimage", normal);
  option->SetAttribute("selectedimage", selected);
  option->SetAttribute("selecteddisabledimage", selected);
}

void CDeviceOptionUI::ArmTimer(unsigned id, std::chrono::milliseconds period) {
  if (CPaintManagerUI* manager = GetManager()) manager->SetTimer(*this, id, period);
}

void CDeviceOptionUI::StopTimer(unsigned id) {
  if (CPaintManagerUI* manager = GetManager()) manager->KillTimer(*this, id);
}

void CDeviceOptionUI::StopAllTimers() {
  if (CPaintManagerUI* manager = GetManager()) manager->KillTimers(*this);
}

void CDeviceOptionUI::SetOnline(bool online) {
  SetVisible(online);
  if (on_presence_changed) on_presence_changed(*this, online);
}

void CDeviceOptionUI::DoEvent(TEventUI& event) {
  if (event.type != UiEventType::kTimer || !device_) {
    CHorizontalLayoutUI::DoEvent(event);
    return;
  }
  switch (event.wparam) {
    case kConnectTimer: OnConnectTimer(); break;
    case kFrameTimer: OnFrameTimer(); break;
    case kSyncTimer:
      StopTimer(kSyncTimer);
      device_->OnSyncRequest();
      break;
    case kHookTimer1003: device_->OnTimer1003(); break;
    case kHookTimer1004: device_->OnTimer1004(); break;
    case kStatusTimer: OnStatusTimer(); break;
    case kPresenceTimer: OnPresenceTimer(); break;
    default: CHorizontalLayoutUI::DoEvent(event);
  }
}

void CDeviceOptionUI::OnConnectTimer() {
  StopTimer(kConnectTimer);
  if (device_->receiver_link() && device_->channel().open()) {
    CheckLink([this](bool alive) {
      if (!alive) {
        connect_failures_ = (connect_failures_ + 1) % kFailureWrap;
        if (IsVisible()) SetOnline(false);
        ArmTimer(kConnectTimer, kRetryPeriod);
        return;
      }
      SetOnline(true);
      FinishConnect();
    });
    return;
  }
  FinishConnect();
}

void CDeviceOptionUI::CheckLink(std::function<void(bool)> then) {
  // A slow answer must not be asked for twice.
  if (link_check_pending_) return;
  link_check_pending_ = true;
  device_->CheckLinkAlive([this, life = LifeToken(), then = std::move(then)](bool alive) {
    if (life.expired()) return;
    link_check_pending_ = false;
    if (device_) then(alive);
  });
}

void CDeviceOptionUI::FinishConnect() {
  device_->OnConnected();
  device_->StartLightingThread();
  connect_failures_ = 0;
  ArmTimer(kFrameTimer, kFirstFrame);
  frame_period_ = kFirstFrame;
  if (device_->has_battery() && device_->channel().open()) ArmTimer(kStatusTimer, kFirstStatus);
  if (device_->receiver_link()) ArmTimer(kPresenceTimer, kFirstPresence);
}

void CDeviceOptionUI::OnFrameTimer() {
  device_->SendLightFrame();
  // The picture's keys repaint themselves when their colour changes: only
  // they are redrawn, not the whole page at every frame, and at most at the
  // picture's own rate, which the eye takes as smooth.
  since_picture_ += frame_period_;
  if (IsSelected() && device_->hover() && since_picture_ >= kPicturePeriod) {
    device_->ShowLightsOnPicture();
    since_picture_ = {};
  }
  if (!device_->channel().open()) {
    StopTimer(kFrameTimer);
    frame_period_ = {};
    return;
  }
  // The timer repeats by itself; restarting it every 10 ms would cost more than the frame.
  // A device that shows its own lighting needs frames only for the picture.
  auto period = device_->receiver_link() ? kReceiverFramePeriod : kWiredFramePeriod;
  if (!device_->StreamsLights()) period = std::max(period, kPicturePeriod);
  if (period != frame_period_) {
    ArmTimer(kFrameTimer, period);
    frame_period_ = period;
  }
}

void CDeviceOptionUI::OnStatusTimer() {
  device_->PollStatus();
  if (device_->has_battery())
    ArmTimer(kStatusTimer, kStatusPeriod);
  else
    StopTimer(kStatusTimer);
}

void CDeviceOptionUI::OnPresenceTimer() {
  if (!device_->receiver_link()) {
    StopTimer(kPresenceTimer);
    return;
  }
  ArmTimer(kPresenceTimer, kRetryPeriod);
  CheckLink([this](bool alive) {
    if (alive && !IsVisible()) {
      SetOnline(true);
      if (device_->has_battery()) device_->PollStatus();
    } else if (!alive && IsVisible()) {
      SetOnline(false);
    }
  });
}

}  // namespace brontal
