#include "devices/mousepad/corvane_mouse_pad_device.h"

#include "support/debug_log.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {
namespace {

bool Succeeded(CommandResult r) { return r == CommandResult::kSuccess; }

}  // namespace

CCorvaneMousePadDevice::CCorvaneMousePadDevice(MessageLoop& loop)
    : CCorvaneMousePadDevice(loop, DeviceFamily::kMousePad) {}

CCorvaneMousePadDevice::CCorvaneMousePadDevice(MessageLoop& loop, DeviceFamily family)
    : CCorvaneUSBDevice(loop, family) {}

CCorvaneMousePadDevice::~CCorvaneMousePadDevice() {
  // The workers call this family's operations: they stop before it goes.
  StopThreads();
  StopIo();
}

// ---- Connect and profile ----

void CCorvaneMousePadDevice::OnConnected() {
  ready_ = false;
  // The device information only: the lighting record is read on a sync.
  std::function<std::optional<DeviceInfoBlock>()> job = [this]() -> std::optional<DeviceInfoBlock> {
    DeviceInfoBlock info;
    bool read = false;
    if (!Transaction([&] {
          const CommandResult r = channel().ReadDeviceInfo(info.bytes);
          read = Succeeded(r);
          return r;
        }) &&
        !read)
      return std::nullopt;
    return info;
  };
  RunJob<std::optional<DeviceInfoBlock>>(std::move(job), [this](std::optional<DeviceInfoBlock> info) {
    if (info) info_ = *info;
    ApplyToUi();
    ready_ = true;
    if (on_ready) on_ready();
  });
  LoadProfile();
}

bool CCorvaneMousePadDevice::LoadProfile() {
  BindProfile(profile_, light_names_);
  return LoadSelectedProfile(profile_);
}

int CCorvaneMousePadDevice::LoadLighting() {
  TakeProfileLighting(profile_, live_light_);
  return 1;
}

bool CCorvaneMousePadDevice::ApplyLightRecord(const LightSetting& record, Done done) {
  profile_.SetLight(record);
  if (!SaveProfile()) return false;
  LoadLighting();
  WriteSettings(std::move(done));
  return true;
}

void CCorvaneMousePadDevice::ApplySelectedProfile(Done done) {
  if (!LoadProfile()) return Tell(done, false);
  ApplyToUi();
  WriteSettings(std::move(done));
}

void CCorvaneMousePadDevice::RestoreDefaults(Done done) {
  if (!ReplaceProfileWithDefaults(profile_)) return Tell(done, false);
  LoadLighting();
  ApplyToUi();
  WriteSettings(std::move(done));
}

// ---- The lighting record ----

void CCorvaneMousePadDevice::OnSyncRequest() {
  std::function<RecordRead()> job = [this] {
    RecordRead read;
    CCommandChannel& c = channel();
    if (!c.open()) return read;
    std::array<std::uint8_t, 1> index{};
    if (!Succeeded(c.ReadAt(command::kReadParameters, index, 0))) return read;
    std::array<std::uint8_t, pad::kReadSize> raw{};
    if (!Succeeded(c.ReadAt(command::kReadParameters, raw, index[0] * pad::kReadStride))) return read;
    std::copy_n(raw.begin(), pad::kRecordSize, read.raw.begin());
    read.raw[0] = index[0];
    read.read = true;
    return read;
  };
  ReadSettingsThen<RecordRead>(
      std::move(job),
      [this](const RecordRead& read) {
        channel().set_polling_paused(false);
        // A failed read keeps the record as it was: zeros would be written back.
        if (!read.read) return;
        record_ = read.raw;
        pad::DecodeRecord(record_, ModeCodes());
      },
      [this] { ApplyToUi(); });
}

bool CCorvaneMousePadDevice::WriteSettings(Done done) {
  pad::TakeLight(record_, live_light_);
  const pad::LightRecord sent = pad::EncodeRecord(record_, ModeCodes());
  return PostSettingsWrite(
      [this, sent] { return Transaction([&] { return channel().WriteAt(command::kWriteParameters, sent, 0); }); },
      std::move(done));
}

}  // namespace brontal
