#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devices/corvane_usb_device.h"
#include "devices/device_info_block.h"
#include "devices/mouse/mouse_wire.h"
#include "devices/write_outcomes.h"
#include "profiles/family_profile_data.h"
#include "profiles/light_names.h"
#include "profiles/screen_size_setting.h"

namespace brontal {

class MacroIndex;

// The mouse, on its cable or through its receiver: its connect-time read,
// where its buttons sit, its settings record (lighting, DPI stages, report
// rate, surface correction), its key table with the macros it plays, the shoot
// patterns, power status and events, and the profile it carries.
//
// Through the receiver every command of a read or write waits on a link
// check, and a failed check ends the operation there. The exchanges run as
// jobs on the device's I/O worker, as the keyboard's do.
class CCorvaneMouseDevice : public CCorvaneUSBDevice {
 public:
  using Done = WriteDone;

  explicit CCorvaneMouseDevice(MessageLoop& loop);
  ~CCorvaneMouseDevice() override;

  std::string_view GetClass() const override { return "CorvaneMouseDevice"; }

  // Operations of the device base.
  int LoadLighting() override;
  void OnConnected() override;
  void OnSyncRequest() override;
  void PollStatus() override { PollPowerStatus(); }
  bool IsLinkAlive() override { return ReceiverLinkAlive(); }
  void CheckLinkAlive(std::function<void(bool)> done) override { CheckReceiverLink(std::move(done)); }
  std::string CurrentProfileFile() const override { return profile_.ProfilePath().string(); }
  std::optional<LightSetting> LiveLight() const override { return live_light_; }
  std::vector<LightMode> LightModes() const override { return light_names_.modes; }
  bool ApplyLightRecord(const LightSetting& record, Done done) override;
  bool RewriteSettings(Done done) override { return WriteSettings(std::move(done)); }
  void ApplySelectedProfile(Done done) override;
  void RestoreDefaults(Done done) override;

  // The whole settings record, built from the profile (record index 0, flag 1,
  // the stored screen size or `screen`). Writes coalesce as the keyboard's
  // do. False when the channel is closed (nothing is sent).
  bool WriteSettings(Done done = {}, std::optional<ScreenSize> screen = std::nullopt);
  // Key table of on-board index 0..3 from the buttons' assignments, macro
  // actions renumbered as the macro download numbers them.
  bool WriteKeyTable(int index, std::span<const KeyAssignment> keys, Done done = {});
  // The macros `keys` plays, downloaded into the mouse's macro memory.
  void WriteMacros(std::span<const KeyAssignment> keys, MacroDone done = {});
  // The macros first, then the key table, only if the download went through.
  void WriteKeysWithMacros(int index, std::span<const KeyAssignment> keys, KeyWriteDone done = {});
  // The shoot image (the four recoil patterns) with command 0x17.
  void WriteShootImage(std::vector<std::uint8_t> image, Done done = {});

  // Loads the profile the selector has selected; false without one.
  bool LoadProfile();
  // The button list from the profile.
  void ReloadKeyAssignments();
  // Macro actions whose macro no longer exists fall back to the button's
  // default; true (and the profile saved) when any did.
  bool RepairDanglingMacros();
  bool SaveProfile();

  // What the mouse holds now.
  CMouseProfiledata& profile() { return profile_; }
  const DeviceInfoBlock& info() const { return info_; }
  mouse::DpiScale dpi_scale() const { return mouse::DpiScale::Of(info_); }
  const mouse::SettingsRecord& raw_record() const { return raw_; }
  const mouse::ButtonSlots& button_slots() const { return slots_; }
  std::size_t slot_count() const { return slot_count_; }
  const keyboard::Table& base_key_table() const { return base_table_; }
  const LightSetting& live_light() const { return live_light_; }
  const std::vector<KeyAssignment>& keys() const { return keys_; }
  std::vector<KeyAssignment>& mutable_keys() { return keys_; }
  std::uint8_t settings_index() const { return raw_[0]; }
  bool ready() const { return ready_; }

  // Told each time OnConnected has finished.
  std::function<void()> on_ready;

 protected:
  void OnDeviceEvent(std::uint16_t code) override;
  std::string_view LightingThreadExitTrace() const override { return "MS灯光线程设定退出"; }

 private:
  struct ConnectRead;
  struct SettingsRead {
    bool read = false;
    mouse::SettingsRecord raw{};
  };

  // `overtaken`: a settings write was posted while the read ran.
  void TakeConnectRead(const ConnectRead& read, bool overtaken);
  // Job side: the record index, then the record, each behind a link check.
  SettingsRead ReadSettings(SettingsRead last);
  void DecodeSettings(std::function<void()> then = {});
  void TakeSettings(const SettingsRead& read);
  void HandleEvent(std::uint16_t code);
  // Job side: `body` between 0x01 and 0x02, each command behind a link
  // check; a begun transaction is ended whatever happened in between.
  bool LinkedTransaction(const std::function<CommandResult()>& body);
  void DownloadMacros(const MacroIndex& index, std::vector<std::uint8_t> macros, MacroDone done);
  bool SendKeyTable(int index, const keyboard::Table& table, Done done);

  CMouseProfiledata profile_;
  LightNameLists light_names_;
  DeviceInfoBlock info_;
  std::size_t slot_count_ = 0;
  keyboard::Table base_table_{};
  mouse::ButtonSlots slots_ = mouse::BuildButtonSlots({}, 0);
  mouse::SettingsRecord raw_{};
  LightSetting live_light_{};
  std::vector<KeyAssignment> keys_;
  ScreenSize screen_;
  bool ready_ = false;
};

}  // namespace brontal
