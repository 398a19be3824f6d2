#include "devices/corvane_usb_device.h"

#include <algorithm>
#include <array>

#include "devices/device_lock.h"
#include "devices/device_option_ui.h"
#include "devices/macro_image_transfer.h"
#include "macros/macro_index.h"
#include "profiles/basic_profile_data.h"
#include "profiles/data_folders.h"
#include "profiles/json_document.h"
#include "profiles/light_members.h"
#include "support/debug_log.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/device_power_ui.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/window.h"

namespace brontal {
namespace {

constexpr std::uint16_t kSyncRequest = 0x0401;
constexpr std::uint16_t kHeartbeat = 0x0404;
// A dead collection fails every read at once; this keeps the loop from spinning.
constexpr std::chrono::milliseconds kRetryAfterFailedRead{10};
constexpr std::chrono::milliseconds kClosedChannelPause{100};

}  // namespace

std::optional<lighting::Family> AnimationFamily(DeviceFamily family) {
  switch (family) {
    case DeviceFamily::kKeyboard: return lighting::Family::kKeyboard;
    case DeviceFamily::kMouse: return lighting::Family::kMouse;
    case DeviceFamily::kMousePad: return lighting::Family::kMousePad;
    case DeviceFamily::kHeadset: return lighting::Family::kHeadset;
    case DeviceFamily::kUnset: break;
  }
  return std::nullopt;
}

CCorvaneUSBDevice::CCorvaneUSBDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kUnset) {}

CCorvaneUSBDevice::CCorvaneUSBDevice(MessageLoop& loop, DeviceFamily family) : loop_(loop), family_(family) {}

CCorvaneUSBDevice::~CCorvaneUSBDevice() {
  StopThreads();
  StopIo();
  std::scoped_lock lock(channel_.exchange_lock());
  channel_.set_open(false);
  channel_.wired_collection().Close();
  channel_.receiver_collection().Close();
}

void CCorvaneUSBDevice::Setup(const DeviceSetup& setup) {
  page_layout_ = setup.page_layout;
  position_count_ = std::max(0, setup.position_count);
  key_list_size_ = setup.key_list_size;
  entry_index_ = setup.entry_index;
  has_battery_ = setup.has_battery;
  kind_name_ = setup.kind_name;
  lighting_page_ = setup.lighting_page;
  identity_ = setup.identity;
  SetEntryKind(setup.kind);
  colours_ = std::make_unique<std::atomic<std::uint32_t>[]>(static_cast<std::size_t>(position_count_));
  position_records_.assign(static_cast<std::size_t>(position_count_), {});
  light_frame_.assign(static_cast<std::size_t>(position_count_) * 3, 0);
}

void CCorvaneUSBDevice::BuildKeyPicture() {
  auto panel = std::make_unique<CSelectPanelUI>();
  panel->SetName("key_picture");
  std::vector<CControlUI*> buttons;
  for (int i = 0; i < position_count_; ++i) {
    auto key = std::make_unique<CDeviceKeyButtonUI>();
    key->SetName("key_" + std::to_string(i));
    buttons.push_back(key.get());
    panel->Add(std::move(key));
  }
  SetKeyButtons(std::move(buttons));
  Add(std::move(panel));
}

void CCorvaneUSBDevice::SendLightFrame() {
  for (int i = 0; i < position_count_; ++i) {
    const std::uint32_t colour = colours_[static_cast<std::size_t>(i)].load(std::memory_order_relaxed);
    const std::uint32_t brightness = colour >> 24;
    for (int channel = 0; channel < 3; ++channel) {
      const std::uint32_t value = (colour >> (16 - 8 * channel)) & 0xFF;
      light_frame_[static_cast<std::size_t>(i) * 3 + static_cast<std::size_t>(channel)] =
          static_cast<std::uint8_t>(value * brightness / 256);
    }
  }
}

bool CCorvaneUSBDevice::SkipUnchangedFrame(std::span<const std::byte> source) {
  if (!frames_on_change_) return false;
  const auto now = std::chrono::steady_clock::now();
  if (std::ranges::equal(source, last_host_frame_) && now - last_host_frame_at_ < kUnchangedFrameRefresh) return true;
  last_host_frame_.assign(source.begin(), source.end());
  last_host_frame_at_ = now;
  return false;
}

void CCorvaneUSBDevice::ShowLightsOnPicture() {
  for (std::size_t i = 0; i < key_buttons_.size() && i < static_cast<std::size_t>(position_count_); ++i) {
    if (!key_buttons_[i]) continue;
    // Only a changed key repaints; the light's alpha is its opacity over the key cap.
    const std::uint32_t colour = colours_[i].load(std::memory_order_relaxed);
    if (key_buttons_[i]->GetBkColor() != colour) key_buttons_[i]->SetBkColor(colour);
  }
}

void CCorvaneUSBDevice::SetPositionColour(int position, std::uint32_t colour) {
  if (position >= 0 && position < position_count_)
    colours_[static_cast<std::size_t>(position)].store(colour, std::memory_order_relaxed);
}

std::uint32_t CCorvaneUSBDevice::GetPositionColour(int position) const {
  if (position < 0 || position >= position_count_) return 0;
  return colours_[static_cast<std::size_t>(position)].load(std::memory_order_relaxed);
}

std::filesystem::path CCorvaneUSBDevice::DefaultDataFolder() { return brontal::DefaultDataFolder(); }

std::filesystem::path CCorvaneUSBDevice::DefaultDataFile() const { return DefaultProfilePath(kind_name_); }

std::filesystem::path CCorvaneUSBDevice::UserDataFolder() const { return DeviceFolder(kind_name_); }

bool CCorvaneUSBDevice::TakeDeviceLock() {
  return device_lock_.valid() ||
         LockDevice(identity_.vendor_id, identity_.product_id, device_lock_) == DeviceLockResult::kHeld;
}

bool CCorvaneUSBDevice::OpenEventCollection(const std::string& path) {
  CloseEventCollection();
  if (!event_collection_.Open(path, true, true, true, false)) return false;
  event_collection_open_ = true;
  event_thread_.Start([this](std::stop_token stop) { RunEventThread(stop); });
  return true;
}

void CCorvaneUSBDevice::CloseEventCollection() {
  event_collection_open_ = false;
  // The thread decodes with the collection's parsed data after each read, so
  // it ends before Close releases that data; StopWaits releases its read.
  event_collection_.StopWaits();
  event_thread_.Stop();
  event_collection_.Close();
}

void CCorvaneUSBDevice::StartLightingThread() {
  StopLightingThread();
  const std::optional<lighting::Family> family = AnimationFamily(family_);
  if (!animates_ || !family || position_count_ == 0) return;
  lighting::LightAnimator::Hooks hooks;
  hooks.publish = [this](std::span<const std::uint32_t> colours) {
    const std::size_t count = std::min(colours.size(), static_cast<std::size_t>(position_count_));
    for (std::size_t i = 0; i < count; ++i) colours_[i].store(colours[i], std::memory_order_relaxed);
  };
  hooks.wanted = [this] {
    return channel_.open() && !channel_.polling_paused() && (!window_hidden_ || StreamsLights());
  };
  const auto lights = std::min<std::size_t>(static_cast<std::size_t>(position_count_), lighting::kMaxLights);
  animator_ = std::make_unique<lighting::LightAnimator>(*family, identity_.product_id, lights, std::move(hooks));
  animator_->Configure(light_settings_ ? *light_settings_ : InitialLightSettings(), true);
  if (colour_block_) animator_->SetColourBlock(*colour_block_);
  animator_->Start();
}

void CCorvaneUSBDevice::StopLightingThread() {
  if (!animator_) return;
  animator_->Stop();
  animator_.reset();
  if (!LightingThreadExitTrace().empty()) Trace(LightingThreadExitTrace());
}

void CCorvaneUSBDevice::ConfigureAnimation(lighting::EngineSettings settings, bool restart) {
  if (animator_) animator_->Configure(settings, restart);
  light_settings_ = std::move(settings);
}

std::vector<LightMode> CCorvaneUSBDevice::LightModes() const {
  LightNameLists lists;
  LoadLightNames(static_cast<std::size_t>(kind_), UserDataFolder(), lists);
  return lists.modes;
}

lighting::EngineSettings CCorvaneUSBDevice::InitialLightSettings() const {
  lighting::EngineSettings settings;
  const Json::Value document = ReadJsonDocument(DefaultDataFile());
  if (!document.isObject() || !document["Device"].isArray() || !document["Device"][0u].isObject()) return settings;
  const Json::Value& device = document["Device"][0u];
  settings.light = DecodeLight(device["LightInfo"]);
  settings.light_list = DecodeLightList(device["LightList"]);
  return settings;
}

void CCorvaneUSBDevice::ReadPowerStatus(std::function<void(PowerStatus)> done) {
  const bool receiver = receiver_link();
  std::function<PowerStatus()> job = [this, receiver]() -> PowerStatus {
    if (!channel_.open() || !channel_.QueryLink()) return std::nullopt;
    std::array<std::uint8_t, 6> status{};
    if (channel_.ReadPacket(command::kReadStatus, status, 6, 0) != CommandResult::kSuccess) return std::nullopt;
    status[3] = receiver ? 1 : 0;
    return status;
  };
  RunJob<PowerStatus>(std::move(job), std::move(done));
}

int CCorvaneUSBDevice::ProfilePosition() const { return profile_panel_ ? profile_panel_->SelectedIndex() : -1; }

std::vector<int> CCorvaneUSBDevice::ModeCodes() const {
  std::vector<int> codes;
  for (const LightMode& mode : LightModes()) codes.push_back(mode.value);
  return codes;
}

std::size_t CCorvaneUSBDevice::MacroCount() const { return MacroIndex::Read(UserDataFolder()).Count(); }

void CCorvaneUSBDevice::BindProfile(CBasicProfiledata& profile, LightNameLists& names) {
  if (profile_bound_) return;
  profile_bound_ = true;
  profile.SetDefaultProfilePath(DefaultDataFile());
  profile.SetLightConfigPath(ModelLightConfigPath(kind_name_, lighting_page_));
  profile.SetDeviceEntryIndex(0);
  LoadLightNames(static_cast<std::size_t>(GetEntryKind()), UserDataFolder(), names);
}

void CCorvaneUSBDevice::TakeProfileLighting(CBasicProfiledata& profile, LightSetting& live) {
  const std::uint8_t before = live.select_item;
  live = profile.GetLight();
  lighting::EngineSettings settings;
  settings.light = live;
  settings.audio = profile.GetAudioLight();
  settings.effect_list = profile.GetCustomEffectSteps();
  settings.light_list = profile.GetLightList();
  ConfigureAnimation(std::move(settings), live.select_item != before);
  Invalidate();
}

bool CCorvaneUSBDevice::ReplaceProfileWithDefaults(CBasicProfiledata& profile) {
  if (profile.ProfilePath().empty()) return false;
  profile.Load(DefaultDataFile());
  if (SaveProfileData(profile)) return true;
  // The defaults must not stay in memory to be saved over the profile by the next edit.
  profile.Load(profile.ProfilePath());
  return false;
}

bool CCorvaneUSBDevice::LoadSelectedProfile(CBasicProfiledata& profile) {
  if (!profile_panel_) return false;
  const std::filesystem::path path = profile_panel_->ProfileFilePath(profile_panel_->SelectedIndex());
  if (path.empty()) return false;
  profile.SetProfilePath(path);
  profile.Load(path);
  LoadLighting();
  return true;
}

bool CCorvaneUSBDevice::SaveProfileData(CBasicProfiledata& profile) {
  if (profile.Save()) return true;
  Trace("profile not saved: " + profile.ProfilePath().string());
  return false;
}

void CCorvaneUSBDevice::DownloadMacroImage(const MacroIndex& index, std::vector<std::uint8_t> macros,
                                           const MacroImageLimits& limits, MacroTransaction transaction,
                                           MacroDone done) {
  auto report = [this, done = std::move(done)](const MacroDownloadResult& result) {
    if (NoticeOf(result)) {
      Trace("macro download refused or failed");
      if (on_macro_download_report) on_macro_download_report(result);
    }
    if (done) done(result);
  };
  if (macros.empty()) return report({});
  std::vector<std::string> guids;
  for (const std::uint8_t macro : macros) guids.push_back(index.Guid(macro));
  std::function<MacroDownloadOutcome()> job = [this, folder = UserDataFolder(), guids = std::move(guids), limits,
                                               transaction = std::move(transaction)]() {
    // Through the receiver nothing is sent while the device is out of reach.
    if (limits.link_check && !channel_.QueryLink()) return MacroDownloadOutcome(MacroTransferFailed{});
    return TransferMacroImage(channel_, folder, guids, limits.info, limits.longest, transaction);
  };
  RunJob<MacroDownloadOutcome>(std::move(job),
                               [macros = std::move(macros), report = std::move(report)](MacroDownloadOutcome outcome) {
                                 report({macros, std::move(outcome)});
                               });
}

bool CCorvaneUSBDevice::PostSettingsWrite(std::function<bool()> write, WriteDone done) {
  constexpr std::uint32_t kSettingsWriteKey = 1;
  const std::uint64_t generation = settings_writes_.Post(std::move(done));
  io_.PostCoalesced(kSettingsWriteKey, [this, life = LifeToken(), write = std::move(write), generation] {
    const bool ok = write();
    loop_.Post([this, life, ok, generation] {
      if (life.expired()) return;
      if (!ok) Trace("设置写入失败");
      settings_writes_.Written(generation, ok);
    });
  });
  return channel_.open();
}

void CCorvaneUSBDevice::PollPowerStatus(bool while_hidden) {
  if (!channel_.open() || (window_hidden() && !while_hidden)) return;
  ReadPowerStatus([this](PowerStatus status) {
    if (!status) return;
    if (battery()) battery()->SetPowerStatus(*status);
    if (CPaintManagerUI* manager = GetManager())
      manager->GetWindow().SendMessage(WindowMessage(kMsgPowerLevel, (*status)[4], 0));
  });
}

bool CCorvaneUSBDevice::Transaction(const std::function<CommandResult()>& body) {
  if (!channel_.open()) return false;
  const bool began = channel_.Begin() == CommandResult::kSuccess;
  const bool sent = body() == CommandResult::kSuccess;
  // Whatever happened in between, a begun transaction is ended.
  const bool ended = channel_.End() == CommandResult::kSuccess;
  return began && sent && ended;
}

void CCorvaneUSBDevice::StopIo() {
  channel_.set_open(false);
  // A job blocked on a reply would hold shutdown for the reply's time limit.
  channel_.wired_collection().StopWaits();
  channel_.receiver_collection().StopWaits();
  io_.Stop();
}

void CCorvaneUSBDevice::StopThreads() {
  CloseEventCollection();
  StopLightingThread();
}

void CCorvaneUSBDevice::HandleEvent(std::uint16_t code) {
  if (code == kSyncRequest) {
    Trace("接收到自动添加设备的同步信息要求");
    // Re-armed, never queued: a burst of requests gives one OnSyncRequest.
    loop_.Post([life = LifeToken(), this] {
      if (!life.expired() && entry_) entry_->ArmTimer(CDeviceOptionUI::kSyncTimer, SyncDelay());
    });
  } else if (code == kHeartbeat) {
    ++heartbeats_;
  } else {
    OnDeviceEvent(code);
  }
}

void CCorvaneUSBDevice::RunEventThread(std::stop_token stop) {
  std::vector<std::uint8_t> report;
  while (!stop.stop_requested()) {
    if (!event_collection_open_) {
      WorkerThread::Sleep(stop, kClosedChannelPause);
      continue;
    }
    report.assign(std::max<std::size_t>(event_collection_.input_report_byte_length(), 1), 0);
    if (!event_collection_.ReadReport(report, nullptr, CHidDevice::kInfinite)) {
      WorkerThread::Sleep(stop, kRetryAfterFailedRead);
      continue;
    }
    const std::span<HidDataItem> items = event_collection_.input_items();
    const TopLevelCollection* collection = event_collection_.collection();
    if (items.empty() || !collection) continue;
    CHidDevice::UnpackReport(report, ReportType::kInput, items, *collection);
    const HidDataItem& first = items.front();
    if (!first.IsDataSet) continue;  // a report of another id
    const std::uint16_t code = first.IsButtonData ? (first.Usages.empty() ? 0 : first.Usages.front())
                                                  : static_cast<std::uint16_t>(first.Value);
    HandleEvent(code);
  }
  Trace(EventThreadExitTrace());
}

}  // namespace brontal
