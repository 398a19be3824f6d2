#include "devices/mouse/corvane_mouse_device.h"

#include <algorithm>
#include <memory>

#include "devices/device_option_ui.h"
#include "macros/macro_index.h"
#include "macros/macro_key_repair.h"
#include "profiles/data_folders.h"
#include "support/debug_log.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {
namespace {

constexpr int kIndexCount = 4;

bool Succeeded(CommandResult r) { return r == CommandResult::kSuccess; }

}  // namespace

// The images a connect-time read starts from and fills: a failed read leaves
// its image as it was.
struct CCorvaneMouseDevice::ConnectRead {
  bool channel_open = false;
  bool info_read = false;
  bool table_read = false;
  DeviceInfoBlock info;
  keyboard::Table base{};
  SettingsRead settings;
};

CCorvaneMouseDevice::CCorvaneMouseDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kMouse) {}

CCorvaneMouseDevice::~CCorvaneMouseDevice() {
  // The workers call this family's operations: they stop before it goes.
  StopThreads();
  StopIo();
}

bool CCorvaneMouseDevice::LinkedTransaction(const std::function<CommandResult()>& body) {
  CCommandChannel& c = channel();
  if (!c.open() || !c.QueryLink()) return false;
  const bool began = Succeeded(c.Begin());
  const bool sent = began && c.QueryLink() && Succeeded(body());
  const bool linked = c.QueryLink();
  const bool ended = Succeeded(c.End());
  return began && sent && linked && ended;
}

// ---- Connect ----

void CCorvaneMouseDevice::OnConnected() {
  BindProfile(profile_, light_names_);
  ready_ = false;
  screen_ = ReadScreenSize();
  ConnectRead start;
  start.info = info_;
  start.base = base_table_;
  start.settings.raw = raw_;
  std::function<ConnectRead()> job = [this, read = std::move(start)]() mutable {
    CCommandChannel& c = channel();
    read.channel_open = c.open();
    if (!read.channel_open || !c.QueryLink()) return read;
    if (Succeeded(c.Begin())) {
      read.info_read = c.QueryLink() && Succeeded(c.ReadDeviceInfo(read.info.bytes));
      const std::size_t slots = read.info.key_slot_count();
      if (read.info_read && c.SetDataLength(static_cast<std::uint16_t>(slots * 3)))
        read.table_read = c.QueryLink() && Succeeded(c.ReadKeyTable(read.base));
      // Ended even when the read stopped early: the mouse must not be left in a transaction.
      c.QueryLink();
      c.End();
    }
    read.settings = ReadSettings(read.settings);
    return read;
  };
  RunJob<ConnectRead>(std::move(job), [this, writes = settings_writes().posted()](const ConnectRead& read) {
    TakeConnectRead(read, settings_writes().posted() != writes);
  });
  LoadProfile();
}

void CCorvaneMouseDevice::TakeConnectRead(const ConnectRead& read, bool overtaken) {
  if (read.info_read) info_ = read.info;
  if (read.table_read) {
    slot_count_ = read.info.key_slot_count();
    base_table_ = read.base;
    slots_ = mouse::BuildButtonSlots(base_table_, slot_count_);
  } else if (read.channel_open) {
    Trace("mouse: the device information or the key table could not be read");
  }
  ReloadKeyAssignments();
  // A change the user made while the read ran is newer than what it found.
  if (!overtaken) TakeSettings(read.settings);
  ApplyToUi();
  ready_ = true;
  if (on_ready) on_ready();
}

bool CCorvaneMouseDevice::LoadProfile() {
  BindProfile(profile_, light_names_);
  return LoadSelectedProfile(profile_);
}

void CCorvaneMouseDevice::ReloadKeyAssignments() { keys_ = profile_.GetKeyList(); }

bool CCorvaneMouseDevice::RepairDanglingMacros() {
  const bool repaired = ResetDanglingMacroActions(keys_, MacroCount());
  if (repaired) {
    profile_.SetKeyList(keys_);
    SaveProfile();
  }
  return repaired;
}

bool CCorvaneMouseDevice::SaveProfile() { return SaveProfileData(profile_); }

int CCorvaneMouseDevice::LoadLighting() {
  TakeProfileLighting(profile_, live_light_);
  return 1;
}

bool CCorvaneMouseDevice::ApplyLightRecord(const LightSetting& record, Done done) {
  profile_.SetLight(record);
  if (!SaveProfile()) return false;
  LoadLighting();
  WriteSettings(std::move(done));
  return true;
}

// ---- Settings ----

CCorvaneMouseDevice::SettingsRead CCorvaneMouseDevice::ReadSettings(SettingsRead last) {
  CCommandChannel& c = channel();
  last.read = false;
  if (!c.open() || !c.QueryLink()) return last;
  std::array<std::uint8_t, 1> index{};
  if (!Succeeded(c.ReadAt(command::kReadParameters, index, 0)) || !c.QueryLink()) return last;
  mouse::SettingsRecord raw{};
  if (!Succeeded(c.ReadAt(command::kReadParameters, raw, index[0] * mouse::kRecordStride))) return last;
  raw[0] = index[0];
  return {true, raw};
}

void CCorvaneMouseDevice::DecodeSettings(std::function<void()> then) {
  std::function<SettingsRead()> job = [this, last = SettingsRead{false, raw_}] { return ReadSettings(last); };
  ReadSettingsThen<SettingsRead>(
      std::move(job), [this](const SettingsRead& read) { TakeSettings(read); }, std::move(then));
}

void CCorvaneMouseDevice::TakeSettings(const SettingsRead& read) {
  channel().set_polling_paused(false);
  // A read that failed on an open channel tells nothing; only a closed one
  // decodes the record of the last read again.
  if (!read.read && channel().open()) return;
  if (read.read) raw_ = read.raw;
  const mouse::DecodedSettings decoded = mouse::DecodeSettings(raw_, ModeCodes(), live_light_);
  const Json::Value before = profile_.Document();
  profile_.SetActiveStage(decoded.active_stage);
  profile_.SetLight(decoded.light);
  // Most connects find what the profile already holds: the file is written
  // only when the mouse told something new.
  if (!profile_.ProfilePath().empty() && profile_.Document() != before) SaveProfile();
  TakeProfileLighting(profile_, live_light_);
}

bool CCorvaneMouseDevice::WriteSettings(Done done, std::optional<ScreenSize> screen) {
  const std::vector<DpiStage> stages = profile_.GetDpiStages();
  const std::vector<SurfaceCorrection> corrections = profile_.GetCorrections();
  const ScreenSize size = screen.value_or(screen_);
  const mouse::SettingsRecord record = mouse::EncodeSettings({.light = profile_.GetLight(),
                                                              .system = profile_.GetMouseSystem(),
                                                              .active_stage = profile_.GetActiveStage(),
                                                              .stages = stages,
                                                              .corrections = corrections,
                                                              .record_value = 0,
                                                              .flag = 1,
                                                              .screen_width = size.width,
                                                              .screen_height = size.height},
                                                             ModeCodes());
  return PostSettingsWrite(
      [this, record] {
        return LinkedTransaction([&] {
          return channel().WriteAt(command::kWriteParameters, std::span(record).first(mouse::kWrittenBytes), 0);
        });
      },
      std::move(done));
}

// ---- Key table and macros ----

bool CCorvaneMouseDevice::WriteKeyTable(int index, std::span<const KeyAssignment> keys, Done done) {
  return SendKeyTable(index, keyboard::BuildKeyTable(base_table_, keys, mouse::ButtonKeyMaps(slots_), MacroCount()),
                      std::move(done));
}

bool CCorvaneMouseDevice::SendKeyTable(int index, const keyboard::Table& table, Done done) {
  // Without the base table read at connect there is no table to write over:
  // zeros would wipe the mouse's buttons.
  if (!channel().open() || index < 0 || index >= kIndexCount || slot_count_ == 0) {
    Tell(done, false);
    return false;
  }
  std::function<bool()> job = [this, index, table, length = slot_count_ * 3] {
    CCommandChannel& c = channel();
    DeviceInfoBlock info;
    if (!c.QueryLink() || !Succeeded(c.ReadDeviceInfo(info.bytes))) return false;
    if (!c.SetDataLength(static_cast<std::uint16_t>(length))) return false;
    return LinkedTransaction(
        [&] { return c.WriteIndexBlock(command::kWriteIndexedKeyTable, index, std::span(table).first(length)); });
  };
  RunJob<bool>(std::move(job), [done = std::move(done)](bool ok) {
    if (!ok) Trace("按键表写入失败");
    Tell(done, ok);
  });
  return true;
}

void CCorvaneMouseDevice::WriteMacros(std::span<const KeyAssignment> keys, MacroDone done) {
  const MacroIndex index = MacroIndex::Read(UserDataFolder());
  std::vector<std::uint8_t> used;
  keyboard::BuildKeyTable(base_table_, keys, mouse::ButtonKeyMaps(slots_), index.Count(), &used);
  DownloadMacros(index, std::move(used), std::move(done));
}

void CCorvaneMouseDevice::DownloadMacros(const MacroIndex& index, std::vector<std::uint8_t> macros, MacroDone done) {
  DownloadMacroImage(
      index, std::move(macros), {info_, std::nullopt, true},
      [this](const auto& body) { return LinkedTransaction(body); }, std::move(done));
}

void CCorvaneMouseDevice::WriteKeysWithMacros(int index, std::span<const KeyAssignment> keys, KeyWriteDone done) {
  if (index < 0 || index >= kIndexCount) {
    if (done) done({{}, false});
    return;
  }
  // Table and image from one reading of the macro index, so that their slots agree.
  const MacroIndex macros = MacroIndex::Read(UserDataFolder());
  std::vector<std::uint8_t> used;
  const keyboard::Table table =
      keyboard::BuildKeyTable(base_table_, keys, mouse::ButtonKeyMaps(slots_), macros.Count(), &used);
  DownloadMacros(macros, std::move(used),
                 ThenKeyTable([this, index, table](Done written) { SendKeyTable(index, table, std::move(written)); },
                              std::move(done)));
}

void CCorvaneMouseDevice::WriteShootImage(std::vector<std::uint8_t> image, Done done) {
  if (!channel().open()) return Tell(done, false);
  std::function<bool()> job = [this, image = std::move(image)] {
    CCommandChannel& c = channel();
    DeviceInfoBlock info;
    if (!c.QueryLink() || !Succeeded(c.ReadDeviceInfo(info.bytes))) return false;
    return LinkedTransaction([&] { return c.WriteShoot(image); });
  };
  RunJob<bool>(std::move(job), [done = std::move(done)](bool ok) {
    if (!ok) Trace("shoot data not written");
    Tell(done, ok);
  });
}

// ---- Profile application ----

void CCorvaneMouseDevice::ApplySelectedProfile(Done done) {
  if (!LoadProfile()) return Tell(done, false);
  ReloadKeyAssignments();
  RepairDanglingMacros();
  ApplyToUi();
  const auto join = WriteJoin::Of(2, std::move(done));
  WriteSettings(WriteJoin::Part(join));
  const int position = ProfilePosition();
  if (position < 0 || position >= kIndexCount) {
    // Four on-board key tables: a later profile's buttons live in the profile alone.
    Trace("no on-board key table for profile " + std::to_string(position + 1));
    return WriteJoin::Part(join)(true);
  }
  WriteKeysWithMacros(position, keys_,
                      [part = WriteJoin::Part(join)](const KeyWriteOutcome& outcome) { part(outcome.ok()); });
}

void CCorvaneMouseDevice::RestoreDefaults(Done done) {
  if (!ReplaceProfileWithDefaults(profile_)) return Tell(done, false);
  ReloadKeyAssignments();
  LoadLighting();
  ApplyToUi();
  // The key table first, then the settings.
  WriteKeysWithMacros(0, keys_, [this, done = std::move(done)](const KeyWriteOutcome& outcome) {
    WriteSettings([done, keys_ok = outcome.ok()](bool ok) { Tell(done, keys_ok && ok); });
  });
}

// ---- Events ----

void CCorvaneMouseDevice::OnDeviceEvent(std::uint16_t code) {
  PostWhileAlive([this, code] { HandleEvent(code); });
}

void CCorvaneMouseDevice::HandleEvent(std::uint16_t code) {
  const mouse::MouseEvent event = mouse::ClassifyEvent(code);
  switch (event.kind) {
    case mouse::MouseEvent::Kind::kClick: ReactToClick(); break;
    case mouse::MouseEvent::Kind::kSyncRequest:
      // 0x0401 reached the base already; the mouse's second code does the same.
      if (code != 0x0401 && entry()) entry()->ArmTimer(CDeviceOptionUI::kSyncTimer, SyncDelay());
      break;
    case mouse::MouseEvent::Kind::kIndexSwitch:
      if (!channel().open()) break;
      raw_[0] = event.index;
      if (event.active_stage) {
        // The mouse's own DPI button: the pages and the next record write follow it.
        raw_[12] = *event.active_stage;
        profile_.SetActiveStage(*event.active_stage);
        SaveProfile();
      }
      ApplyToUi();
      break;
    case mouse::MouseEvent::Kind::kIgnored: break;
  }
}

void CCorvaneMouseDevice::OnSyncRequest() {
  DecodeSettings([this] { ApplyToUi(); });
}

}  // namespace brontal
