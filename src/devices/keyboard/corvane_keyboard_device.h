#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "devices/corvane_usb_device.h"
#include "devices/device_info_block.h"
#include "devices/keyboard/keyboard_wire.h"
#include "macros/macro_download.h"
#include "profiles/family_profile_data.h"
#include "profiles/light_names.h"

namespace brontal {

class MacroIndex;

// A keyboard, on its cable or through its receiver: what it reads when it
// connects, its settings record, its key tables, per-key colours, lighting
// frames, power status and events, and the profile it carries.
//
// Everything here runs on the UI thread except the exchanges, which run as
// jobs on the device's I/O worker: a job gets copies of what it sends (or the
// images a read starts from) and hands its result back through the message
// loop. The packets of each operation on the wire are those of one job.
class CCorvaneKeyboardDevice : public CCorvaneUSBDevice {
 public:
  // How a write ended, on the UI thread: false when a command of it failed
  // or the channel was closed.
  using Done = WriteDone;

  static constexpr std::uint16_t kFirmwareUpdatedVersion = 0x0110;
  static constexpr std::uint16_t kFirmwareCheckedProduct = 0x5101;

  explicit CCorvaneKeyboardDevice(MessageLoop& loop);
  ~CCorvaneKeyboardDevice() override;

  std::string_view GetClass() const override { return "CorvaneKeyboardDevice"; }

  // Operations of the device base.
  void BuildKeyPicture() override;
  int LoadLighting() override;
  void SendLightFrame() override;
  void OnConnected() override;
  void OnSyncRequest() override;
  void PollStatus() override { PollPowerStatus(); }
  bool IsLinkAlive() override { return ReceiverLinkAlive(); }
  void CheckLinkAlive(std::function<void(bool)> done) override { CheckReceiverLink(std::move(done)); }
  int ReloadKeyTables() override { return ReloadKeyTables({}); }
  // The four key tables read back; `then` runs once the profile and the key
  // lists have them (at once, with the images unchanged, when the channel is
  // closed). 0 when nothing was read.
  int ReloadKeyTables(std::function<void()> then);
  std::string CurrentProfileFile() const override;
  std::optional<LightSetting> LiveLight() const override { return live_light_; }
  bool StreamsLights() const override { return keyboard::IsHostDrivenMode(live_light_.select_item); }
  std::vector<LightMode> LightModes() const override { return light_names_.modes; }
  bool HostDrivesMode(int mode_index) const override {
    return mode_index >= 0 && mode_index <= 0xFF && keyboard::IsHostDrivenMode(static_cast<std::uint8_t>(mode_index));
  }
  bool ApplyLightRecord(const LightSetting& record, Done done) override;
  bool RewriteSettings(Done done) override { return WriteSettings(0, 0, std::move(done)); }
  // The band levels go to the animation (the music mode shows them) and the
  // colour block, kept, to the audio colour mode.
  void OnAudioSpectrum(std::span<const std::int32_t> frame) override;
  void OnAudioColour(std::span<const std::uint8_t> block) override;

  // Settings record write: the record as last read with the profile's
  // settings over it. Writes coalesce: while one waits, a newer one takes
  // its place, and every `done` of the replaced ones hears the newer result.
  // False when the channel is closed (nothing is sent).
  bool WriteSettings(int address_index = 0, std::uint8_t record_value = 0, Done done = {});
  // Key table write of on-board index 0..3 (another index writes nothing and
  // fails); macro actions renumbered in order of first use.
  bool WriteKeyTable(int index, std::span<const KeyAssignment> keys, Done done = {});
  // The device's current key list through WriteKeyTable.
  bool WriteCurrentKeyTable(int index, Done done = {}) { return WriteKeyTable(index, keys_, std::move(done)); }
  // Fn table write; Fn keys that keep their default take the device's own Fn
  // action in `fn_keys`.
  bool WriteFnKeyTable(int index, std::vector<KeyAssignment>& fn_keys, Done done = {});
  bool WriteCurrentFnKeyTable(int index, Done done = {}) { return WriteFnKeyTable(index, fn_keys_, std::move(done)); }
  // How a macro download or a key write with its macros ended, on the UI thread.
  // Downloads the macros that `keys` plays into the keyboard's macro memory,
  // in the slots the key table write gives them. Nothing is sent when no key
  // plays a macro, or when the image does not fit or holds a macro longer
  // than the keyboard plays.
  void WriteMacros(std::span<const KeyAssignment> keys, MacroDone done = {});
  // The macros `keys` plays downloaded, then the key table of on-board index
  // 0..3 written from `keys`, only if the download went through (else the
  // key table would point into an image the keyboard does not have). Another
  // index sends nothing and fails.
  void WriteKeysWithMacros(int index, std::span<const KeyAssignment> keys, KeyWriteDone done = {});
  // The same for the Fn layer: the macros of the current key list (the Fn
  // list's macro actions go to the device unnumbered), then the current Fn
  // list to Fn table `index`.
  void WriteFnKeysWithMacros(int index, KeyWriteDone done = {});

  // Per-key colours of the custom groups.
  // The start step of the per-key colour mode: reads the live group from the
  // device into the profile, then writes it back as the current group.
  void ReadGroupColours(Done done = {});
  // Only in the per-key colour mode.
  bool WriteCurrentGroup(Done done = {});
  // The group as the profile holds it, each colour scaled by its alpha.
  bool LoadGroupAndWrite(std::uint8_t group, Done done = {});
  // The user clicked keys on the picture (one, or a dragged rectangle's) in
  // the per-key colour mode: they take the live colour, stored as group
  // `store_as` when the page has one chosen, and the group is written.
  void PaintKeys(std::span<const int> keys, std::optional<std::uint8_t> store_as);
  // Every key takes one colour, written as the current group; stored as
  // group `store_as` (and the profile saved) when given.
  void FillKeyColours(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::optional<std::uint8_t> store_as);
  // Custom group `group` becomes the live one: in the profile, in the
  // settings record, and its colours on the keyboard.
  void SelectCustomGroup(std::uint8_t group, Done done = {});
  // The audio lighting record: stored in the profile, saved, and the live
  // lighting reloaded (the settings record does not carry it). False when the
  // profile could not be saved.
  bool ApplyAudioRecord(const AudioLightSetting& record);

  // After macro `removed` left the folder: the key lists in memory renumbered
  // (both layers), the profile saved when they changed, and the changed
  // layers sent with the macros they play, as the key panel's save sends them.
  struct MacroRemovalRepair {
    bool changed = false;  // a key of the loaded profile played the macro or a later one
    bool saved = true;     // false: nothing was sent
    std::vector<KeyWriteOutcome> writes;
  };
  void RepairKeysAfterMacroRemoval(std::size_t removed, std::function<void(const MacroRemovalRepair&)> done);

  // Profile application, once the profile selector has selected the profile:
  // profile load, key lists, dangling macros repaired, page, settings, then
  // the macros and after them the key table (or Fn table when the Fn layer is
  // chosen on the page), which is not written when the download failed.
  void ApplySelectedProfile(Done done) override;
  // The current profile's content replaced by the default data's, saved and
  // shown; then the key table of on-board index 0 (after the macros it
  // plays) and the settings record. Nothing changes or is sent when the
  // profile cannot be saved.
  void RestoreDefaults(Done done) override;

  // How a layer switch ended.
  struct LayerSwitch {
    int layer = 0;
    bool refused = false;  // the selector has no profile at the layer's position
    KeyWriteOutcome keys;  // the macros and the key (or Fn) table
  };
  // On-board layer `layer` (0..3; any other number is 0) becomes the current
  // one: the profile at that position of the selector is selected and
  // loaded, the key tables read back, dangling macros repaired and the page
  // shown, then the macros and the layer's key table are written (the Fn
  // table when the Fn layer is chosen). The settings record is not written.
  void SwitchLayer(int layer, std::function<void(const LayerSwitch&)> done);
  // Loads the profile the selector has selected; false without one.
  bool LoadProfile();
  // The key and Fn lists from the profile, marks refreshed.
  void ReloadKeyAssignments();
  // Macro actions whose macro no longer exists fall back to the key's
  // default; true (and the profile saved) when any did.
  bool RepairDanglingMacros();

  // The picture's keys show their actions in the layer "key_set_FN_tier"
  // chooses, and mark the keys whose action shows otherwise than their default.
  void RefreshKeyMarks();
  // A key slot was pressed (1) or released (2): the key reaction of the live
  // lighting mode, on the animation thread.
  void OnKeyEvent(int slot, int kind);
  void SelectKey(int logical_key);
  void SelectFnKey(int logical_key);

  // What the device holds now.
  CKeyboardProfiledata& profile() { return profile_; }
  const DeviceInfoBlock& info() const { return info_; }
  const keyboard::SettingsRecord& raw_record() const { return raw_; }
  const keyboard::KeyMaps& maps() const { return maps_; }
  const LightSetting& live_light() const { return live_light_; }
  const AudioLightSetting& live_audio() const { return live_audio_; }
  const std::vector<CustomColour>& custom_colours() const { return custom_colours_; }
  const LightNameLists& light_names() const { return light_names_; }
  const std::vector<KeyAssignment>& keys() const { return keys_; }
  const std::vector<KeyAssignment>& fn_keys() const { return fn_keys_; }
  std::vector<KeyAssignment>& mutable_keys() { return keys_; }
  std::vector<KeyAssignment>& mutable_fn_keys() { return fn_keys_; }
  const keyboard::Table& key_table(int index) const;
  const keyboard::Table& base_key_table() const { return base_table_; }
  std::uint8_t settings_index() const { return raw_[0]; }
  std::size_t slot_count() const { return slot_count_; }
  bool firmware_outdated() const { return firmware_outdated_; }
  // bcdDevice of the collection read at the last connect; 0 when it has none.
  std::uint16_t firmware_version() const { return firmware_version_; }
  // OnConnected has finished: the device was read and its profile loaded.
  bool ready() const { return ready_; }
  std::uint64_t connect_count() const { return connect_count_; }
  std::optional<std::uint8_t> selected_key() const { return selected_key_; }
  std::optional<std::uint8_t> selected_fn_key() const { return selected_fn_key_; }

  // Told each time OnConnected has finished.
  std::function<void()> on_ready;
  // Told when the firmware is older than the one the program needs.
  std::function<void()> on_firmware_outdated;

 protected:
  void OnDeviceEvent(std::uint16_t code) override;
  void OnHostLightingOn() override;

 private:
  struct ConnectRead;
  struct SettingsRead {
    bool read = false;
    keyboard::SettingsRecord raw{};
  };

  void TakeConnectRead(ConnectRead read);
  void HandKeyTablesToProfile();
  // Reads the settings record on the worker, then decodes it here.
  void DecodeSettings(std::function<void()> then = {});
  void TakeSettings(const SettingsRead& read);
  void HandleEvent(std::uint16_t code);
  bool FnLayerChosen() const;
  // The key table write proper, of a table already built.
  bool SendKeyTable(int index, const keyboard::Table& table, Done done);
  void DownloadMacros(const MacroIndex& index, std::vector<std::uint8_t> macros, MacroDone done);
  bool WriteColourTable(const keyboard::Table& table, std::uint8_t group, bool pause_on_failure, Done done);
  // Hands the live lighting to the animation thread.
  void UpdateAnimation(bool restart);

  CKeyboardProfiledata profile_;
  LightNameLists light_names_;
  DeviceInfoBlock info_;
  std::size_t slot_count_ = keyboard::kMaxSlots;
  keyboard::Table base_table_{};
  std::array<keyboard::Table, 4> key_tables_{};
  keyboard::Table fn_table_{};
  keyboard::Table fn_table_index0_{};
  std::array<std::uint8_t, keyboard::kMaxSlots> led_table_{};
  keyboard::KeyMaps maps_{};
  keyboard::SettingsRecord raw_{};
  LightSetting live_light_{};
  AudioLightSetting live_audio_{};
  std::vector<KeyAssignment> keys_;
  std::vector<KeyAssignment> fn_keys_;
  std::vector<CustomColour> custom_colours_;
  std::optional<std::uint8_t> selected_key_;
  std::optional<std::uint8_t> selected_fn_key_;
  std::uint16_t firmware_version_ = 0;
  bool firmware_outdated_ = false;
  bool pending_full_sync_ = false;
  bool ready_ = false;
  std::uint64_t connect_count_ = 0;
};

}  // namespace brontal
