#include "devices/keyboard/corvane_keyboard_device.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "devices/device_option_ui.h"
#include "devices/keyboard/keyboard_picture.h"
#include "macros/macro_index.h"
#include "macros/macro_key_repair.h"
#include "profiles/data_folders.h"
#include "support/debug_log.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/device_power_ui.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/controls/key_picture_labels.h"
#include "ui/controls/select_panel_ui.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/window.h"
#include "ui/windows/hidden_label_translation.h"

namespace brontal {
namespace {

using keyboard::Table;

// Where the device page shows the picture in the main window, right of the
// profile selector (floating controls take window coordinates).
constexpr Rect kPictureArea{284, 136, 792, 312};
constexpr std::chrono::milliseconds kPauseAfterFailedColours{200};
constexpr std::size_t kIndexCount = 4;
// A macro of 126 press and release pairs or more is more than the keyboard plays.
constexpr std::size_t kLongestKeyboardMacro = 251;

bool Succeeded(CommandResult r) { return r == CommandResult::kSuccess; }

}  // namespace

// The images a connect-time read starts from and fills: a failed read leaves
// its image as it was.
struct CCorvaneKeyboardDevice::ConnectRead {
  bool channel_open = false;
  bool tables_read = false;  // false when the slot count was refused
  DeviceInfoBlock info;
  Table base{};
  std::array<Table, kIndexCount> tables{};
  std::array<std::uint8_t, keyboard::kMaxSlots> led{};
  Table fn{};
  Table fn_index0{};
  SettingsRead settings;
};

CCorvaneKeyboardDevice::CCorvaneKeyboardDevice(MessageLoop& loop) : CCorvaneUSBDevice(loop, DeviceFamily::kKeyboard) {
  init_host_lighting(true);
}

CCorvaneKeyboardDevice::~CCorvaneKeyboardDevice() {
  // The workers call this family's operations: they stop before it goes.
  StopThreads();
  StopIo();
}

const Table& CCorvaneKeyboardDevice::key_table(int index) const {
  if (index < 0 || index >= static_cast<int>(kIndexCount)) return base_table_;
  return key_tables_[static_cast<std::size_t>(index)];
}

// ---- Picture ----

void CCorvaneKeyboardDevice::BuildKeyPicture() {
  auto panel = std::make_unique<CSelectPanelUI>();
  panel->SetName("key_picture");
  const int variant = KeyPictureVariantOf(identity().product_id).value_or(0);
  const auto keys = BuildKeyboardPicture(*panel, variant, kPictureArea);
  std::vector<CControlUI*> buttons(keys.begin(), keys.end());
  buttons.resize(static_cast<std::size_t>(position_count()), nullptr);
  SetKeyButtons(std::move(buttons));
  Add(std::move(panel));
}

void CCorvaneKeyboardDevice::RefreshKeyMarks() {
  CPaintManagerUI* manager = GetManager();
  if (!manager) return;
  WindowImplBase& window = manager->GetWindow();
  std::optional<MacroIndex> macros;  // read once, and only for a key that plays a macro
  LabelKeyPicture(
      key_buttons(), FnLayerChosen() ? fn_keys_ : keys_,
      [&window](std::string_view id) { return TranslateThroughLabel(window, id); },
      [&](std::uint8_t index) {
        if (!macros) macros = MacroIndex::Read(UserDataFolder());
        return macros->Name(index);
      });
}

void CCorvaneKeyboardDevice::SelectKey(int logical_key) {
  if (logical_key < 0 || logical_key >= static_cast<int>(kLogicalKeyCount)) return;
  selected_key_ = static_cast<std::uint8_t>(logical_key);
  RefreshKeyMarks();
}

void CCorvaneKeyboardDevice::SelectFnKey(int logical_key) {
  if (logical_key < 0 || logical_key >= static_cast<int>(kLogicalKeyCount)) return;
  selected_fn_key_ = static_cast<std::uint8_t>(logical_key);
  RefreshKeyMarks();
}

// ---- Connect ----

void CCorvaneKeyboardDevice::OnConnected() {
  BindProfile(profile_, light_names_);
  ready_ = false;
  ConnectRead start;
  start.info = info_;
  start.base = base_table_;
  start.tables = key_tables_;
  start.led = led_table_;
  start.fn = fn_table_;
  start.fn_index0 = fn_table_index0_;
  start.settings.raw = raw_;
  std::function<ConnectRead()> job = [this, read = std::move(start)]() mutable {
    CCommandChannel& c = channel();
    read.channel_open = c.open();
    if (!read.channel_open) return read;
    c.Begin();
    c.ReadDeviceInfo(read.info.bytes);
    const std::size_t slots = read.info.key_slot_count();
    if (c.SetDataLength(static_cast<std::uint16_t>(slots * 3))) {
      c.ReadKeyTable(read.base);
      for (std::size_t i = 0; i < kIndexCount; ++i)
        c.ReadIndexBlock(command::kReadIndexedKeyTable, static_cast<int>(i), read.tables[i]);
      c.ReadKeyByteTable(read.led);
      c.ReadSecondKeyTable(read.fn);
      c.ReadIndexBlock(command::kReadSecondIndexedKeyTable, 0, read.fn_index0);
      read.tables_read = true;
    }
    // Ended even when the read stopped early: the device must not be left in a transaction.
    c.End();
    // The settings record, for the decode that follows the profile load.
    std::array<std::uint8_t, 1> index{};
    if (Succeeded(c.ReadAt(command::kReadParameters, index, 0))) {
      keyboard::SettingsRecord raw{};
      if (Succeeded(c.ReadAt(command::kReadParameters, raw, index[0] * keyboard::kRecordStride))) {
        raw[0] = index[0];
        read.settings = {true, raw};
      }
    }
    return read;
  };
  RunJob<ConnectRead>(std::move(job), [this](ConnectRead read) { TakeConnectRead(std::move(read)); });
  // The profile file is read while the device is: the two do not meet until
  // the tables are handed over.
  LoadProfile();
}

void CCorvaneKeyboardDevice::TakeConnectRead(ConnectRead read) {
  if (read.channel_open) {
    info_ = read.info;
    if (!read.tables_read) {
      Trace("按键数量超出：" + std::to_string(read.info.key_slot_count()));
    } else {
      slot_count_ = read.info.key_slot_count();
      base_table_ = read.base;
      key_tables_ = read.tables;
      led_table_ = read.led;
      fn_table_ = read.fn;
      fn_table_index0_ = read.fn_index0;
      maps_ = keyboard::BuildKeyMaps(base_table_, led_table_, fn_table_, slot_count_);
    }
    // The collections open and close on this thread: their attributes are read here.
    firmware_version_ =
        receiver_link() ? channel().receiver_collection().version() : channel().wired_collection().version();
    if (identity().product_id == kFirmwareCheckedProduct && firmware_version_ != 0 &&
        firmware_version_ < kFirmwareUpdatedVersion && !firmware_outdated_) {
      // On Linux no updater is started and the program goes on: the user is told.
      firmware_outdated_ = true;
      Trace("固件版本过低");
      if (on_firmware_outdated) on_firmware_outdated();
    }
  }
  HandKeyTablesToProfile();
  ReloadKeyAssignments();
  TakeSettings(read.settings);
  ApplyToUi();
  ready_ = true;
  ++connect_count_;
  if (on_ready) on_ready();
}

void CCorvaneKeyboardDevice::HandKeyTablesToProfile() {
  ProfileKeyTables& tables = profile_.KeyTables();
  tables.SetFnTable(fn_table_);
  std::vector<std::uint8_t> slots(maps_.slot.begin(), maps_.slot.end());
  tables.SetKeySlots(slots);
  tables.SetFnKeySlots(std::vector<std::uint8_t>(maps_.fn_slot.begin(), maps_.fn_slot.end()), maps_.fn_keys);
  const int k = ProfilePosition();
  if (k < 0 || k >= static_cast<int>(kIndexCount)) return;
  Table assigned = key_tables_[static_cast<std::size_t>(k)];
  keyboard::MacroSlotsToIndexes(assigned, profile_.GetStoredKeyList(), maps_, MacroCount());
  tables.SetAssignmentTable(assigned, k != 0);
  if (k == 0) tables.SetDefaultTable(base_table_);
}

bool CCorvaneKeyboardDevice::LoadProfile() {
  BindProfile(profile_, light_names_);
  return LoadSelectedProfile(profile_);
}

std::string CCorvaneKeyboardDevice::CurrentProfileFile() const { return profile_.ProfilePath().string(); }

void CCorvaneKeyboardDevice::ReloadKeyAssignments() {
  keys_ = profile_.GetKeyList();
  fn_keys_ = profile_.GetKeyFnList();
  RefreshKeyMarks();
}

bool CCorvaneKeyboardDevice::RepairDanglingMacros() {
  const bool repaired = ResetDanglingMacroActions(keys_, MacroCount());
  if (repaired) {
    profile_.SetKeyList(keys_);
    SaveProfileData(profile_);
    RefreshKeyMarks();
  }
  return repaired;
}

int CCorvaneKeyboardDevice::LoadLighting() {
  const std::uint8_t before = live_light_.select_item;
  live_light_ = profile_.GetLight();
  live_audio_ = profile_.GetAudioLight();
  const bool per_key = live_light_.select_item == keyboard::kCustomColourMode;
  if (per_key) {
    // Before the connect read the LED map is unknown: the settings decode's
    // start step writes the group then.
    if (ready_)
      LoadGroupAndWrite(live_light_.custom_group);
    else
      custom_colours_ = profile_.GetCustomColors(live_light_.custom_group, kLogicalKeyCount);
  }
  UpdateAnimation(live_light_.select_item != before || per_key);
  Invalidate();
  return 1;
}

void CCorvaneKeyboardDevice::UpdateAnimation(bool restart) {
  lighting::EngineSettings settings;
  settings.light = live_light_;
  settings.audio = live_audio_;
  settings.effect_list = profile_.GetCustomEffectSteps();
  settings.light_list = profile_.GetLightList();
  settings.custom_colours = custom_colours_;
  ConfigureAnimation(std::move(settings), restart);
}

bool CCorvaneKeyboardDevice::ApplyLightRecord(const LightSetting& record, Done done) {
  profile_.SetLight(record);
  if (!SaveProfileData(profile_)) return false;
  LoadLighting();
  WriteSettings(0, 0, std::move(done));
  return true;
}

bool CCorvaneKeyboardDevice::ApplyAudioRecord(const AudioLightSetting& record) {
  profile_.SetAudioLight(record);
  if (!SaveProfileData(profile_)) return false;
  LoadLighting();
  return true;
}

// ---- Settings ----

void CCorvaneKeyboardDevice::DecodeSettings(std::function<void()> then) {
  SettingsRead start{false, raw_};
  std::function<SettingsRead()> job = [this, read = start]() mutable {
    CCommandChannel& c = channel();
    if (!c.open()) return read;
    std::array<std::uint8_t, 1> index{};
    if (!Succeeded(c.ReadAt(command::kReadParameters, index, 0))) return read;
    keyboard::SettingsRecord raw{};
    if (!Succeeded(c.ReadAt(command::kReadParameters, raw, index[0] * keyboard::kRecordStride))) return read;
    raw[0] = index[0];
    return SettingsRead{true, raw};
  };
  ReadSettingsThen<SettingsRead>(
      std::move(job), [this](const SettingsRead& read) { TakeSettings(read); }, std::move(then));
}

void CCorvaneKeyboardDevice::TakeSettings(const SettingsRead& read) {
  channel().set_polling_paused(false);
  // A failed read decodes the record of the last read again.
  if (read.read) raw_ = read.raw;
  const std::uint8_t mode_before = live_light_.select_item;
  const keyboard::DecodedSettings decoded =
      keyboard::DecodeSettings(raw_, ModeCodes(), live_light_.select_item, live_light_);
  live_light_ = decoded.light;
  const bool restart = live_light_.select_item != mode_before || live_light_.select_item == keyboard::kCustomColourMode;
  KeyboardSystem system = profile_.GetKeyboardSystem();
  system.key6_flag = decoded.key6_flag;
  system.win_flag = decoded.win_flag;
  system.w_flag = decoded.w_flag;
  system.os_mode = decoded.os_mode;
  const Json::Value before = profile_.Document();
  profile_.SetKeyboardSystem(system);
  profile_.SetLight(live_light_);
  // The file is written only when the device told something new: most
  // connects find what the profile already holds.
  if (!profile_.ProfilePath().empty() && profile_.Document() != before) SaveProfileData(profile_);
  // Of the modes' start steps only the per-key colour read talks to the
  // device; it hands the colours to the animation when they arrive.
  UpdateAnimation(restart);
  if (live_light_.select_item == keyboard::kCustomColourMode) ReadGroupColours();
}

bool CCorvaneKeyboardDevice::WriteSettings(int address_index, std::uint8_t record_value, Done done) {
  const keyboard::SettingsRecord record =
      keyboard::EncodeSettings(raw_, profile_.GetLight(), profile_.GetKeyboardSystem(), ModeCodes(), record_value);
  const auto address = static_cast<std::uint32_t>(std::max(0, address_index)) * keyboard::kRecordStride;
  return PostSettingsWrite(
      [this, record, address] {
        return Transaction([&] { return channel().WriteAt(command::kWriteParameters, record, address); });
      },
      std::move(done));
}

// ---- Key tables ----

bool CCorvaneKeyboardDevice::WriteKeyTable(int index, std::span<const KeyAssignment> keys, Done done) {
  return SendKeyTable(index, keyboard::BuildKeyTable(key_table(index), keys, maps_, MacroCount()), std::move(done));
}

bool CCorvaneKeyboardDevice::SendKeyTable(int index, const Table& table, Done done) {
  if (!channel().open()) {
    Tell(done, false);
    return false;
  }
  std::function<bool()> job = [this, index, table] {
    DeviceInfoBlock info;
    channel().ReadDeviceInfo(info.bytes);
    return Transaction([&] { return channel().WriteIndexBlock(command::kWriteIndexedKeyTable, index, table); });
  };
  RunJob<bool>(std::move(job), [this, index, table, done = std::move(done)](bool ok) {
    // The device holds what was written: later reads of the key list see it.
    if (ok && index >= 0 && index < static_cast<int>(kIndexCount)) {
      key_tables_[static_cast<std::size_t>(index)] = table;
      if (index == ProfilePosition()) HandKeyTablesToProfile();
    }
    if (!ok) Trace("按键表写入失败");
    Tell(done, ok);
  });
  return true;
}

bool CCorvaneKeyboardDevice::WriteFnKeyTable(int index, std::vector<KeyAssignment>& fn_keys, Done done) {
  if (!channel().open()) {
    Tell(done, false);
    return false;
  }
  const Table table = keyboard::BuildFnKeyTable(fn_table_, fn_keys, maps_, selected_fn_key_);
  std::function<bool()> job = [this, index, table] {
    DeviceInfoBlock info;
    channel().ReadDeviceInfo(info.bytes);
    return Transaction([&] { return channel().WriteIndexBlock(command::kWriteSecondIndexedKeyTable, index, table); });
  };
  RunJob<bool>(std::move(job), [done = std::move(done)](bool ok) {
    if (!ok) Trace("Fn 按键表写入失败");
    Tell(done, ok);
  });
  return true;
}

void CCorvaneKeyboardDevice::WriteMacros(std::span<const KeyAssignment> keys, MacroDone done) {
  const MacroIndex index = MacroIndex::Read(UserDataFolder());
  // The key table write gives the slots: its walk is the one the image must follow.
  std::vector<std::uint8_t> used;
  keyboard::BuildKeyTable(base_table_, keys, maps_, index.Count(), &used);
  DownloadMacros(index, std::move(used), std::move(done));
}

void CCorvaneKeyboardDevice::DownloadMacros(const MacroIndex& index, std::vector<std::uint8_t> macros, MacroDone done) {
  DownloadMacroImage(
      index, std::move(macros), {info_, kLongestKeyboardMacro, false},
      [this](const auto& body) { return Transaction(body); }, std::move(done));
}

void CCorvaneKeyboardDevice::WriteKeysWithMacros(int index, std::span<const KeyAssignment> keys, KeyWriteDone done) {
  if (index < 0 || index >= static_cast<int>(kIndexCount)) {
    if (done) done({{}, false});
    return;
  }
  // Table and image from one reading of the macro index, so that their slots agree.
  const MacroIndex macros = MacroIndex::Read(UserDataFolder());
  std::vector<std::uint8_t> used;
  const Table table = keyboard::BuildKeyTable(key_table(index), keys, maps_, macros.Count(), &used);
  DownloadMacros(macros, std::move(used),
                 ThenKeyTable([this, index, table](Done written) { SendKeyTable(index, table, std::move(written)); },
                              std::move(done)));
}

void CCorvaneKeyboardDevice::WriteFnKeysWithMacros(int index, KeyWriteDone done) {
  WriteMacros(keys_, ThenKeyTable([this, index](Done written) { WriteCurrentFnKeyTable(index, std::move(written)); },
                                  std::move(done)));
}

int CCorvaneKeyboardDevice::ReloadKeyTables(std::function<void()> then) {
  if (!channel().open()) {
    HandKeyTablesToProfile();
    ReloadKeyAssignments();
    if (then) then();
    return 0;
  }
  std::function<std::array<Table, kIndexCount>()> job = [this, tables = key_tables_]() mutable {
    for (std::size_t i = 0; i < kIndexCount; ++i)
      channel().ReadIndexBlock(command::kReadIndexedKeyTable, static_cast<int>(i), tables[i]);
    return tables;
  };
  RunJob<std::array<Table, kIndexCount>>(std::move(job),
                                         [this, then = std::move(then)](std::array<Table, kIndexCount> tables) {
                                           key_tables_ = tables;
                                           HandKeyTablesToProfile();
                                           ReloadKeyAssignments();
                                           if (then) then();
                                         });
  return 1;
}

// ---- Profile application ----

bool CCorvaneKeyboardDevice::FnLayerChosen() const {
  CPaintManagerUI* manager = GetManager();
  const auto* option = manager ? dynamic_cast<const COptionUI*>(manager->FindControl("key_set_FN_tier")) : nullptr;
  return option && option->IsSelected();
}

void CCorvaneKeyboardDevice::ApplySelectedProfile(Done done) {
  HandKeyTablesToProfile();
  if (!LoadProfile()) {
    Tell(done, false);
    return;
  }
  ReloadKeyAssignments();
  RepairDanglingMacros();
  ApplyToUi();
  const auto join = WriteJoin::Of(2, std::move(done));
  WriteSettings(0, 0, WriteJoin::Part(join));
  auto keys_written = [part = WriteJoin::Part(join)](const KeyWriteOutcome& outcome) { part(outcome.ok()); };
  const int position = ProfilePosition();
  if (FnLayerChosen()) {
    WriteFnKeysWithMacros(0, std::move(keys_written));
  } else if (position >= static_cast<int>(kIndexCount)) {
    // The keyboard keeps four on-board key tables: a later profile's keys
    // live in the profile alone, and its macros would only replace the image
    // that the on-board tables play.
    Trace("no on-board key table for profile " + std::to_string(position + 1));
    WriteJoin::Part(join)(true);
  } else {
    WriteKeysWithMacros(position, keys_, std::move(keys_written));
  }
}

void CCorvaneKeyboardDevice::RestoreDefaults(Done done) {
  if (!ReplaceProfileWithDefaults(profile_)) return Tell(done, false);
  // The device's tables lie over the list GetKeyList gives; the defaults are
  // the file's own list.
  keys_ = profile_.GetStoredKeyList();
  fn_keys_ = profile_.GetKeyFnList();
  RefreshKeyMarks();
  LoadLighting();
  ApplyToUi();
  // The settings follow the key table on the wire.
  WriteKeysWithMacros(0, keys_, [this, done = std::move(done)](const KeyWriteOutcome& keys) {
    WriteSettings(0, 0, [done, keys_ok = keys.ok()](bool ok) { Tell(done, keys_ok && ok); });
  });
}

void CCorvaneKeyboardDevice::SwitchLayer(int layer, std::function<void(const LayerSwitch&)> done) {
  if (layer < 0 || layer >= static_cast<int>(kIndexCount)) layer = 0;
  CDeviceProfileUI* panel = profile_panel();
  // A deleted profile leaves its position empty: another profile would take
  // the layer's keys.
  if (!panel || !panel->Select(layer) || !LoadProfile()) {
    Trace("no profile for on-board layer " + std::to_string(layer));
    if (done) done({layer, true, {}});
    return;
  }
  ReloadKeyTables([this, layer, done = std::move(done)] {
    RepairDanglingMacros();
    ApplyToUi();
    auto written = [layer, done](const KeyWriteOutcome& keys) {
      if (done) done({layer, false, keys});
    };
    if (FnLayerChosen())
      WriteFnKeysWithMacros(0, std::move(written));
    else
      WriteKeysWithMacros(layer, keys_, std::move(written));
  });
}

void CCorvaneKeyboardDevice::RepairKeysAfterMacroRemoval(std::size_t removed,
                                                         std::function<void(const MacroRemovalRepair&)> done) {
  const LoadedListsRepair loaded = RenumberMacroActions(profile_, keys_, fn_keys_, removed);
  auto repair = std::make_shared<MacroRemovalRepair>();
  repair->changed = loaded.keys || loaded.fn_keys;
  if (!repair->changed) return done(*repair);
  RefreshKeyMarks();
  repair->saved = SaveProfileData(profile_);
  const int position = ProfilePosition();
  const bool key_table = repair->saved && loaded.keys && position >= 0 && position < static_cast<int>(kIndexCount);
  const bool fn_table = repair->saved && loaded.fn_keys;
  auto left = std::make_shared<int>(int{key_table} + int{fn_table});
  if (*left == 0) return done(*repair);
  auto part = [repair, left, done](const KeyWriteOutcome& outcome) {
    repair->writes.push_back(outcome);
    if (--*left == 0) done(*repair);
  };
  if (key_table) WriteKeysWithMacros(position, keys_, part);
  if (fn_table) WriteFnKeysWithMacros(0, part);
}

// ---- Per-key colours ----

void CCorvaneKeyboardDevice::ReadGroupColours(Done done) {
  const std::uint8_t group = live_light_.custom_group;
  const std::size_t length = slot_count_ * 3;
  std::function<Table()> job = [this, group, length] {
    Table read{};
    channel().ReadStrided(command::kReadKeyColours, std::span(read).first(length), group, keyboard::kTableSize);
    return read;
  };
  RunJob<Table>(std::move(job), [this, group, done = std::move(done)](Table read) {
    std::vector<CustomColour> colours = profile_.GetCustomColors(group, kLogicalKeyCount);
    keyboard::TakeReadColours(colours, read, maps_);
    profile_.SetCustomColors(group, colours);
    custom_colours_ = profile_.GetCustomColors(group, colours.size());
    UpdateAnimation(false);
    const bool written = WriteCurrentGroup(done);
    if (!written) Tell(done, true);
  });
}

bool CCorvaneKeyboardDevice::WriteColourTable(const Table& table, std::uint8_t group, bool pause_on_failure,
                                              Done done) {
  const std::size_t length = slot_count_ * 3;
  std::function<bool()> job = [this, table, group, length, pause_on_failure] {
    const bool ok = Succeeded(
        channel().WriteStrided(command::kWriteKeyColours, std::span(table).first(length), group, keyboard::kTableSize));
    if (!ok && pause_on_failure) std::this_thread::sleep_for(kPauseAfterFailedColours);
    return ok;
  };
  RunJob<bool>(std::move(job), [done = std::move(done)](bool ok) { Tell(done, ok); });
  return true;
}

bool CCorvaneKeyboardDevice::WriteCurrentGroup(Done done) {
  if (live_light_.select_item != keyboard::kCustomColourMode) return false;
  return WriteColourTable(keyboard::ColourTableUnscaled(custom_colours_, maps_), live_light_.custom_group, true,
                          std::move(done));
}

bool CCorvaneKeyboardDevice::LoadGroupAndWrite(std::uint8_t group, Done done) {
  custom_colours_ = profile_.GetCustomColors(group, kLogicalKeyCount);
  UpdateAnimation(false);
  if (!channel().open()) {
    Tell(done, false);
    return false;
  }
  return WriteColourTable(keyboard::ColourTableScaled(custom_colours_, maps_), group, true, std::move(done));
}

void CCorvaneKeyboardDevice::PaintKeys(std::span<const int> keys, std::optional<std::uint8_t> store_as) {
  if (live_light_.select_item != keyboard::kCustomColourMode) return;
  bool painted = false;
  for (const int key : keys) {
    if (key < 0 || static_cast<std::size_t>(key) >= custom_colours_.size()) continue;
    CustomColour& colour = custom_colours_[static_cast<std::size_t>(key)];
    colour.red = live_light_.red;
    colour.green = live_light_.green;
    colour.blue = live_light_.blue;
    painted = true;
  }
  if (!painted) return;
  if (store_as) {
    profile_.SetCustomColors(*store_as, custom_colours_);
    SaveProfileData(profile_);
  }
  UpdateAnimation(false);
  WriteColourTable(keyboard::ColourTableUnscaled(custom_colours_, maps_), live_light_.custom_group, false, {});
}

void CCorvaneKeyboardDevice::FillKeyColours(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                            std::optional<std::uint8_t> store_as) {
  custom_colours_.resize(kLogicalKeyCount);
  for (CustomColour& colour : custom_colours_) {
    colour.red = red;
    colour.green = green;
    colour.blue = blue;
  }
  UpdateAnimation(false);
  WriteCurrentGroup();
  if (!store_as) return;
  profile_.SetCustomColors(*store_as, custom_colours_);
  SaveProfileData(profile_);
}

void CCorvaneKeyboardDevice::SelectCustomGroup(std::uint8_t group, Done done) {
  profile_.SetCustomGroup(group);
  live_light_.custom_group = group;
  profile_.SetLight(live_light_);
  SaveProfileData(profile_);
  WriteSettings(0, 0, std::move(done));
  LoadGroupAndWrite(group);
}

// ---- Frames, status, events ----

void CCorvaneKeyboardDevice::SendLightFrame() {
  if (!host_lighting()) return;
  CCorvaneUSBDevice::SendLightFrame();
  if (!keyboard::IsHostDrivenMode(live_light_.select_item) || !channel().open()) return;
  std::array<std::uint32_t, kLogicalKeyCount> colours{};
  for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = GetPositionColour(static_cast<int>(i));
  const Table frame = keyboard::BuildLightFrame(colours, maps_);
  const std::size_t length = slot_count_ * 3;
  if (SkipUnchangedFrame(std::as_bytes(std::span(frame).first(length)))) return;
  io().PostFrame([this, frame, length] {
    if (!Succeeded(channel().StreamFrame(std::span(frame).first(length))))
      std::this_thread::sleep_for(kPauseAfterFailedColours);
  });
}

void CCorvaneKeyboardDevice::OnHostLightingOn() {
  io().Post([this] {
    if (channel().open()) channel().HostTakesLighting();
  });
}

void CCorvaneKeyboardDevice::OnDeviceEvent(std::uint16_t code) {
  PostWhileAlive([this, code] { HandleEvent(code); });
}

void CCorvaneKeyboardDevice::HandleEvent(std::uint16_t code) {
  const keyboard::KeyboardEvent event = keyboard::ClassifyEvent(code);
  switch (event.kind) {
    case keyboard::KeyboardEvent::Kind::kFullSync:
      pending_full_sync_ = true;
      if (entry()) entry()->ArmTimer(CDeviceOptionUI::kSyncTimer, SyncDelay());
      break;
    case keyboard::KeyboardEvent::Kind::kKeyPress: OnKeyEvent(event.slot, 1); break;
    case keyboard::KeyboardEvent::Kind::kKeyRelease: OnKeyEvent(event.slot, 2); break;
    case keyboard::KeyboardEvent::Kind::kIndexSwitch:
      if (!channel().open()) break;
      raw_[0] = event.index;
      if (event.record_byte) raw_[17] = *event.record_byte;
      ApplyToUi();
      break;
    default: break;  // sync requests and heartbeats are the base's
  }
}

void CCorvaneKeyboardDevice::OnKeyEvent(int slot, int kind) {
  if (slot < 0 || slot > 0xFF) return;
  const std::optional<std::uint8_t> key = keyboard::LogicalKeyOfSlot(maps_, static_cast<std::uint8_t>(slot));
  if (!key) return;
  if (kind == 1) ReactToKey(*key, lighting::KeyEdge::kPress);
  if (kind == 2) ReactToKey(*key, lighting::KeyEdge::kRelease);
}

void CCorvaneKeyboardDevice::OnAudioSpectrum(std::span<const std::int32_t> frame) {
  AnimateSpectrum(frame.first(std::min(frame.size(), lighting::kSpectrumBands)));
}

void CCorvaneKeyboardDevice::OnAudioColour(std::span<const std::uint8_t> block) {
  std::array<std::uint8_t, 6> colours{};
  std::copy_n(block.begin(), std::min(block.size(), colours.size()), colours.begin());
  AnimateColourBlock(colours);
}

void CCorvaneKeyboardDevice::OnSyncRequest() {
  if (pending_full_sync_) {
    if (CDeviceProfileUI* panel = profile_panel()) panel->Initialise();
    LoadProfile();
    ReloadKeyAssignments();
    for (KeyAssignment& key : keys_) key.assignment = key.default_action;
    RefreshKeyMarks();
    pending_full_sync_ = false;
  }
  DecodeSettings([this] { ApplyToUi(); });
}

}  // namespace brontal
