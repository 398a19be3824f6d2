#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "devices/device_tables.h"
#include "ui/toolkit/container.h"

namespace brontal {

class CCorvaneUSBDevice;
class CCheckBoxUI;
class COptionUI;

// A device's entry in the selector strip, built from its layout file, and the
// owner of the timers that drive the device from the UI thread: connect,
// lighting frame, sync, two family hooks, status and wireless presence.
class CDeviceOptionUI : public CHorizontalLayoutUI {
 public:
  static constexpr unsigned kFrameTimer = 1000;
  static constexpr unsigned kConnectTimer = 1001;
  static constexpr unsigned kSyncTimer = 1002;
  static constexpr unsigned kHookTimer1003 = 1003;
  static constexpr unsigned kHookTimer1004 = 1004;
  static constexpr unsigned kStatusTimer = 1005;
  static constexpr unsigned kPresenceTimer = 1007;

  static constexpr std::chrono::milliseconds kConnectDelay{500};
  static constexpr std::chrono::milliseconds kRetryPeriod{3000};
  static constexpr std::chrono::milliseconds kFirstFrame{5};
  static constexpr std::chrono::milliseconds kWiredFramePeriod{10};
  static constexpr std::chrono::milliseconds kReceiverFramePeriod{50};
  // How often the device picture takes the lights' colours.
  static constexpr std::chrono::milliseconds kPicturePeriod{30};
  static constexpr std::chrono::milliseconds kFirstStatus{50};
  static constexpr std::chrono::milliseconds kStatusPeriod{5000};
  static constexpr std::chrono::milliseconds kFirstPresence{2000};
  static constexpr int kFailureWrap = 20;

  std::string_view GetClass() const override { return "DeviceOption"; }

  // Entry and device know each other.
  void Attach(CCorvaneUSBDevice& device);
  CCorvaneUSBDevice* device() const { return device_; }

  void SetEntry(const DeviceEntryRow& row, int page_index);
  const std::string& tab_header_name() const { return tab_header_name_; }
  const std::string& power_switch_name() const { return power_switch_name_; }
  int page_index() const { return page_index_; }
  int power_style() const { return power_style_; }
  EntryKind kind() const { return kind_; }
  void SetCaption(const std::string& caption);

  // The "device_select" option inside the entry.
  bool IsSelected() const;
  void Select(bool notify);
  // The "synchro_device_select" check box inside the entry.
  bool IsSynchro() const;
  void SetSynchro(bool on);
  // The icons by the device's product and the synchronisation mark.
  void RefreshIcons();

  // Timers (UI thread). Arming a running timer restarts it.
  void ArmTimer(unsigned id, std::chrono::milliseconds period);
  void StopTimer(unsigned id);
  void StopAllTimers();
  void StartConnectTimer() { ArmTimer(kConnectTimer, kConnectDelay); }
  int connect_failures() const { return connect_failures_; }

  // Told when the device goes online or offline (entry shown or hidden).
  std::function<void(CDeviceOptionUI&, bool online)> on_presence_changed;

 protected:
  void DoEvent(TEventUI& event) override;

 private:
  COptionUI* SelectOption() const;
  CCheckBoxUI* SynchroCheck() const;
  void SetOnline(bool online);
  void OnConnectTimer();
  void FinishConnect();
  // Asks the device whether its wireless part answers; `then` runs with the answer.
  void CheckLink(std::function<void(bool)> then);
  void OnFrameTimer();
  void OnStatusTimer();
  void OnPresenceTimer();

  CCorvaneUSBDevice* device_ = nullptr;
  std::string tab_header_name_;
  std::string power_switch_name_;
  int page_index_ = -1;
  int power_style_ = -1;
  EntryKind kind_ = EntryKind::kKeyboard;
  int connect_failures_ = 0;
  std::chrono::milliseconds frame_period_{};   // of the running frame timer
  std::chrono::milliseconds since_picture_{};  // frame time since the picture last took the colours
  bool link_check_pending_ = false;
};

}  // namespace brontal
