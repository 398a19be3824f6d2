#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device_access/command_channel.h"
#include "device_access/hid_device.h"
#include "devices/device_info_block.h"
#include "devices/device_io_worker.h"
#include "devices/device_tables.h"
#include "devices/lighting/light_animator.h"
#include "devices/worker_thread.h"
#include "devices/write_outcomes.h"
#include "profiles/light_names.h"
#include "profiles/profile_records.h"
#include "support/debug_log.h"
#include "support/unique_fd.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/notify.h"

namespace brontal {

class CBasicProfiledata;
class MacroIndex;
class CDeviceOptionUI;
class CDeviceProfileUI;
class CMpDevicePowerUI;
class MessageLoop;

// Family codes of the device classes.
enum class DeviceFamily : std::int32_t { kUnset = 0, kKeyboard = 1, kMouse = 2, kMousePad = 3, kHeadset = 7 };
// The family as the lighting animations name it; nothing for kUnset.
std::optional<lighting::Family> AnimationFamily(DeviceFamily family);

// What the device tables give a device at creation.
struct DeviceSetup {
  std::string page_layout;
  int position_count = 0;
  int key_list_size = 0;
  int entry_index = -1;
  bool has_battery = false;
  std::string kind_name;
  EntryKind kind = EntryKind::kKeyboard;
  std::string lighting_page;
  InterfaceRow identity{};
};

// One connected product: the container of its page, its command channel, its
// event collection, and the two worker threads (host lighting, events). The
// families override the operations of their command sets; the base behaviour
// is what a family gets when it does not. UI-thread objects; the workers share
// only the channel (locked), the per-position colours (atomic) and flags.
class CCorvaneUSBDevice : public CHorizontalLayoutUI, public CNotifyPump {
 public:
  explicit CCorvaneUSBDevice(MessageLoop& loop);
  ~CCorvaneUSBDevice() override;

  std::string_view GetClass() const override { return "CorvaneUSBDevice"; }
  // The loop of the thread that owns the device: its results and timers run there.
  MessageLoop& loop() const { return loop_; }
  void Notify(TNotifyUI&) override {}

  // Layout values of the tables; resizes (and zeroes) the per-position tables.
  void Setup(const DeviceSetup& setup);

  // Virtual operations, in their order.
  virtual void BuildKeyPicture();
  virtual int LoadLighting() { return 0; }
  virtual void SendLightFrame();
  // The position colours on the picture's keys (the entry's frame timer,
  // while the picture is looked at).
  void ShowLightsOnPicture();
  virtual void SetPositionColour(int position, std::uint32_t colour);
  virtual std::uint32_t GetPositionColour(int position) const;
  virtual void OnConnected() {}
  virtual void OnSyncRequest() {}
  virtual void OnTimer1003() {}
  virtual void OnTimer1004() {}
  virtual void PollStatus() {}
  // May talk to the device: the I/O worker's thread only, or a test's.
  virtual bool IsLinkAlive() { return true; }
  // The link test as the timers ask for it: `done` runs on the UI thread with
  // the answer. Families whose test talks to the device run it on their I/O
  // worker; the base answers at once.
  virtual void CheckLinkAlive(std::function<void(bool)> done) { done(IsLinkAlive()); }
  virtual int ReloadKeyTables() { return 0; }
  // The pages show the device's values again.
  virtual void ApplyToUi() {
    Invalidate();
    if (on_shown_on_panels) on_shown_on_panels(*this);
  }
  // Told when ApplyToUi has the pages show the device's values again.
  std::function<void(CCorvaneUSBDevice&)> on_shown_on_panels;
  virtual std::string CurrentProfileFile() const { return {}; }
  // Takes the profile the selector has selected and drives the device through
  // the application sequence; `done` hears whether every write went through.
  // Families without a command set yet have nothing to apply.
  virtual void ApplySelectedProfile(std::function<void(bool ok)> done) {
    if (done) done(false);
  }
  // "default_btn": the current profile's content replaced by the default
  // data (key and Fn lists, lighting, system settings), saved, the page shown
  // again, then the key table of layer 0 and the settings written. `done`
  // hears whether all of it went through; families without a command set
  // yet restore nothing.
  virtual void RestoreDefaults(std::function<void(bool ok)> done) {
    if (done) done(false);
  }
  // The lighting page's side. The live lighting record; none while the family
  // has no lighting of its own yet.
  virtual std::optional<LightSetting> LiveLight() const { return std::nullopt; }
  // The modes the family offers its lighting panel, by mode index: the
  // factory list with the custom effects of the user's folder.
  virtual std::vector<LightMode> LightModes() const;
  // Whether the device shows the host's colours itself now (and so needs
  // them while the window is hidden, at the full frame rate).
  virtual bool StreamsLights() const { return StreamsEveryMode(); }
  // The headset shows the host's colours in every mode.
  virtual bool StreamsEveryMode() const { return false; }
  // Whether the host draws what the device shows in this mode.
  virtual bool HostDrivesMode(int /*mode_index*/) const { return StreamsEveryMode(); }
  // Takes an edited record through the page's sequence: stored in the device
  // and the profile, the profile saved, the live lighting reloaded (the
  // animation restarted when needed), the settings written. False, with
  // nothing sent, when the profile could not be saved or the family has no
  // lighting; `done` then is not called.
  virtual bool ApplyLightRecord(const LightSetting& /*record*/, std::function<void(bool ok)> /*done*/) { return false; }
  // After the computer slept the device may have lost power: its current
  // settings are written to it again. False, with nothing sent and `done`
  // not called, when there is nothing to write or the channel is closed.
  virtual bool RewriteSettings(std::function<void(bool ok)> /*done*/) { return false; }
  // The audio feed, on the UI thread: a spectrum frame (500 values, the
  // first 25 the band levels) and the 6-byte colour block. Only keyboards
  // act on them.
  virtual void OnAudioSpectrum(std::span<const std::int32_t> /*frame*/) {}
  virtual void OnAudioColour(std::span<const std::uint8_t> /*block*/) {}
  virtual void SetEntryKind(EntryKind kind) { kind_ = kind; }
  virtual EntryKind GetEntryKind() const { return kind_; }

  // The power status record (six bytes, byte 3 the link: 1 through the
  // receiver), read on the worker; nothing when it could not be read.
  using PowerStatus = std::optional<std::array<std::uint8_t, 6>>;
  void ReadPowerStatus(std::function<void(PowerStatus)> done);
  // Where the selector's profile stands in its list: the on-board index it
  // belongs to; -1 without one.
  int ProfilePosition() const;
  // The model's mode codes by mode index.
  std::vector<int> ModeCodes() const;
  // How many macros the device folder lists.
  std::size_t MacroCount() const;
  // Told of every macro download whose outcome the user must hear.
  std::function<void(const MacroDownloadResult&)> on_macro_download_report;

  // Folders: the factory data beside the program and the user's own.
  static std::filesystem::path DefaultDataFolder();
  std::filesystem::path DefaultDataFile() const;
  // Created (both levels) when missing.
  std::filesystem::path UserDataFolder() const;

  // Links, collections and threads.
  CCommandChannel& channel() { return channel_; }
  // The thread that talks to this device; its jobs touch the channel and what
  // they carry, and hand results to the UI thread through the loop.
  DeviceIoWorker& io() { return io_; }

  bool receiver_link() const { return receiver_link_; }
  void set_receiver_link(bool on) { receiver_link_ = on; }
  // Opens the event collection and starts its thread; false when it does not open.
  bool OpenEventCollection(const std::string& path);
  // Closing releases the thread's blocked read; then the thread is stopped.
  void CloseEventCollection();
  bool event_collection_open() const { return event_collection_open_; }
  // The path of the open event collection; empty while closed.
  const std::string& event_path() const { return event_collection_.path(); }
  // Restarted after every OnConnected, with the lighting last configured.
  void StartLightingThread();
  // Whether this program animates the lights (the desktop program does;
  // brontalctl, which leaves at once, does not). Before StartLightingThread.
  void set_animates(bool on) { animates_ = on; }
  bool animating() const { return animator_ != nullptr; }
  const lighting::LightAnimator* animator() const { return animator_.get(); }
  void StopThreads();
  void StopLightingThread();
  // Closes the channel and ends the I/O worker (after its running job, whose
  // reply waits are cut short). For destructors: the device is going away.
  void StopIo();
  std::uint64_t heartbeats() const { return heartbeats_; }

  // Keeps the other programs of this user off the device while this one talks
  // to it (brontalctl and the desktop program take it alike); true while held.
  bool TakeDeviceLock();
  void ReleaseDeviceLock() { device_lock_.Reset(); }
  bool device_lock_held() const { return device_lock_.valid(); }

  // Accessors.
  const InterfaceRow& identity() const { return identity_; }
  void set_identity(const InterfaceRow& identity) { identity_ = identity; }
  CDeviceOptionUI* entry() const { return entry_; }
  void set_entry(CDeviceOptionUI* entry) { entry_ = entry; }
  CMpDevicePowerUI* battery() const { return battery_; }
  void set_battery(CMpDevicePowerUI* battery) { battery_ = battery; }
  // The profile selector of the device's page; null when the skin has none.
  CDeviceProfileUI* profile_panel() const { return profile_panel_; }
  void set_profile_panel(CDeviceProfileUI* panel) { profile_panel_ = panel; }
  int entry_index() const { return entry_index_; }
  DeviceFamily family() const { return family_; }
  bool has_battery() const { return has_battery_; }
  bool hover() const { return hover_; }
  void set_hover(bool on) { hover_ = on; }
  bool window_hidden() const { return window_hidden_; }
  void set_window_hidden(bool on) { window_hidden_ = on; }
  bool host_lighting() const { return host_lighting_; }
  // The main window's host-controls-the-lighting state; turning it on tells
  // the family (a keyboard sends its notice).
  void set_host_lighting(bool on) {
    if (!host_lighting_.exchange(on) && on) OnHostLightingOn();
  }
  // After the computer slept: the family hears it again while the state is on.
  void RepeatHostLighting() {
    if (host_lighting_) OnHostLightingOn();
  }
  int position_count() const { return position_count_; }
  const std::string& kind_name() const { return kind_name_; }
  const std::string& page_layout() const { return page_layout_; }
  const std::string& lighting_page() const { return lighting_page_; }
  // The picture's key buttons by position (null where a position has none).
  const std::vector<CControlUI*>& key_buttons() const { return key_buttons_; }
  // The frame SendLightFrame built last: three bytes per position.
  const std::vector<std::uint8_t>& light_frame() const { return light_frame_; }
  // While another program streams the colours, a host frame that changes
  // nothing is left out unless the last one went kUnchangedFrameRefresh ago:
  // the stream then costs what the program sends, not the timer's rate.
  static constexpr std::chrono::milliseconds kUnchangedFrameRefresh{50};  // the receiver's own frame period
  void set_frames_on_change(bool on) { frames_on_change_ = on; }

 protected:
  explicit CCorvaneUSBDevice(MessageLoop& loop, DeviceFamily family);

  // A code of the event collection other than the common ones (event thread).
  virtual void OnDeviceEvent(std::uint16_t /*code*/) {}
  // How long after a sync request OnSyncRequest runs.
  virtual std::chrono::milliseconds SyncDelay() const { return std::chrono::milliseconds(50); }

  // What the animation shows until the family configures it: the factory
  // profile's lighting.
  virtual lighting::EngineSettings InitialLightSettings() const;
  // The live lighting for the animation thread; `restart` resets the
  // animation and runs the mode's start step.
  void ConfigureAnimation(lighting::EngineSettings settings, bool restart);
  virtual std::string_view EventThreadExitTrace() const { return "MS设备同步线程设定退出"; }
  virtual std::string_view LightingThreadExitTrace() const { return {}; }

  virtual void OnHostLightingOn() {}

  // Whether the host frame made from `source` may be left out (see
  // set_frames_on_change); when not, it is taken as sent.
  bool SkipUnchangedFrame(std::span<const std::byte> source);

  // Runs `job` on the I/O worker and `result` with its answer on the UI
  // thread, unless the device is gone by then.
  template <typename T>
  void RunJob(std::function<T()> job, std::function<void(T)> result) {
    io_.Post([this, life = LifeToken(), job = std::move(job), result = std::move(result)] {
      T value = job();
      loop_.Post([life, result, value = std::move(value)] {
        if (!life.expired() && result) result(value);
      });
    });
  }
  // A settings read on the worker, taken on the UI thread unless a settings
  // write was posted meanwhile: that write carries a newer choice of the
  // user's, which the record read before it must not take back.
  template <typename Read>
  void ReadSettingsThen(std::function<Read()> job, std::function<void(const Read&)> take, std::function<void()> then) {
    RunJob<Read>(std::move(job), [this, take = std::move(take), then = std::move(then),
                                  writes = settings_writes_.posted()](const Read& read) {
      if (settings_writes_.posted() != writes) {
        channel_.set_polling_paused(false);
        Trace("settings read passed over: a newer write followed it");
      } else {
        take(read);
      }
      if (then) then();
    });
  }
  // Runs `task` on the UI thread while the device lives (event codes arrive on the event thread).
  void PostWhileAlive(std::function<void()> task) {
    loop_.Post([life = LifeToken(), task = std::move(task)] {
      if (!life.expired()) task();
    });
  }
  // The link test of a product that may sit behind its receiver: on the worker.
  bool ReceiverLinkAlive() { return channel_.open() && receiver_link() && channel_.QueryLink(); }
  void CheckReceiverLink(std::function<void(bool)> done) {
    RunJob<bool>([this] { return ReceiverLinkAlive(); }, std::move(done));
  }
  SettingsWriteWaiters& settings_writes() { return settings_writes_; }
  // The settings record write: `write` runs on the worker, coalesced (while
  // one waits, a newer one takes its place and every caller of the replaced
  // ones hears the newer outcome). False when the channel is closed.
  bool PostSettingsWrite(std::function<bool()> write, WriteDone done);
  // The status timer's poll of the families that report power: the battery
  // gauge and the window hear the level. Keyboards and mice skip it while the
  // window is hidden.
  void PollPowerStatus(bool while_hidden = false);
  // The profile's lighting becomes `live` and goes to the animation thread,
  // restarted when the mode changed. For the families whose animation needs
  // nothing but the profile.
  void TakeProfileLighting(CBasicProfiledata& profile, LightSetting& live);
  // The current profile's content replaced by the default data and saved;
  // false (with the profile as it was) when there is no current profile or
  // it could not be saved.
  bool ReplaceProfileWithDefaults(CBasicProfiledata& profile);
  // The family's profile bound to this model's files, once.
  void BindProfile(CBasicProfiledata& profile, LightNameLists& names);
  // Loads the profile the selector has selected into `profile`, then the
  // family's lighting from it; false without one.
  bool LoadSelectedProfile(CBasicProfiledata& profile);
  // Saves `profile`; a failure is traced.
  static bool SaveProfileData(CBasicProfiledata& profile);
  // The image of `macros` (places in `index`, the folder's list, in slot order),
  // built on the worker from one reading of each file and sent inside
  // `transaction`; the user hears the outcomes that need words through
  // on_macro_download_report, then `done` hears it. Nothing is sent for an
  // empty list. `info`: the capacity when the device's own cannot be read
  // again; `longest`: the most events a macro may have; `link_check`: the
  // receiver's link is checked before anything is sent.
  struct MacroImageLimits {
    DeviceInfoBlock info;
    std::optional<std::size_t> longest;
    bool link_check = false;
  };
  using MacroTransaction = std::function<bool(const std::function<CommandResult()>&)>;
  void DownloadMacroImage(const MacroIndex& index, std::vector<std::uint8_t> macros, const MacroImageLimits& limits,
                          MacroTransaction transaction, MacroDone done);
  // A mouse click for the reactive lighting of the animation thread.
  void ReactToClick() {
    if (animator_) animator_->OnMouseClick();
  }
  // A keyboard's inputs for its animation thread, on the UI thread: a key
  // pressed or released, the audio feed's band levels and its colour block,
  // which a restarted animation is handed again.
  void ReactToKey(std::uint8_t key, lighting::KeyEdge edge) {
    if (animator_) animator_->OnKeyReaction(key, edge);
  }
  void AnimateSpectrum(std::span<const std::int32_t> bands) {
    if (animator_) animator_->OnSpectrum(bands);
  }
  void AnimateColourBlock(std::array<std::uint8_t, 6> block) {
    colour_block_ = block;
    if (animator_) animator_->SetColourBlock(block);
  }
  // Job side: a write bracketed by 0x01 and 0x02, the end sent whatever came
  // before it; false when any of them failed or the channel is closed.
  bool Transaction(const std::function<CommandResult()>& body);
  // Sets the flag without the notice (a family's state at construction).
  void init_host_lighting(bool on) { host_lighting_ = on; }

  // The picture's key buttons by position (null where a position has none).
  void SetKeyButtons(std::vector<CControlUI*> buttons) { key_buttons_ = std::move(buttons); }

 private:
  void RunEventThread(std::stop_token stop);
  void HandleEvent(std::uint16_t code);

  MessageLoop& loop_;
  CCommandChannel channel_;
  DeviceIoWorker io_;  // after the channel: its jobs use it until they end
  UniqueFd device_lock_;
  std::atomic<bool> receiver_link_{false};
  CHidDevice event_collection_;
  std::atomic<bool> event_collection_open_{false};
  InterfaceRow identity_{};
  CDeviceOptionUI* entry_ = nullptr;
  CMpDevicePowerUI* battery_ = nullptr;
  CDeviceProfileUI* profile_panel_ = nullptr;
  bool profile_bound_ = false;
  SettingsWriteWaiters settings_writes_;
  int entry_index_ = -1;
  DeviceFamily family_ = DeviceFamily::kUnset;
  EntryKind kind_ = EntryKind::kKeyboard;
  bool has_battery_ = false;
  std::atomic<bool> hover_{false};
  std::atomic<bool> window_hidden_{false};
  std::atomic<bool> host_lighting_{false};
  int position_count_ = 0;
  int key_list_size_ = 0;
  std::unique_ptr<std::atomic<std::uint32_t>[]> colours_;  // written by the animation, read by the frame timer
  std::vector<std::array<std::uint8_t, 14>> position_records_;
  std::vector<std::uint8_t> light_frame_;
  bool frames_on_change_ = false;
  std::vector<std::byte> last_host_frame_;
  std::chrono::steady_clock::time_point last_host_frame_at_;
  std::vector<CControlUI*> key_buttons_;  // the picture's keys by position, owned by the tree
  std::string page_layout_;
  std::string kind_name_;
  std::string lighting_page_;
  std::atomic<std::uint64_t> heartbeats_{0};

  WorkerThread event_thread_;
  bool animates_ = true;
  std::optional<lighting::EngineSettings> light_settings_;   // the last configured, for a restart
  std::optional<std::array<std::uint8_t, 6>> colour_block_;  // likewise
  std::unique_ptr<lighting::LightAnimator> animator_;
};

}  // namespace brontal
