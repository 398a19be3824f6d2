#pragma once

#include <optional>
#include <string>
#include <vector>

#include "devices/corvane_usb_device.h"
#include "devices/device_info_block.h"
#include "devices/mousepad/pad_wire.h"
#include "devices/write_outcomes.h"
#include "profiles/basic_profile_data.h"
#include "profiles/light_names.h"

namespace brontal {

// The mouse pad with lights: no keys and no macros, one short lighting
// record written whole, its power status and its sync event. The exchanges
// run as jobs on the device's I/O worker.
class CCorvaneMousePadDevice : public CCorvaneUSBDevice {
 public:
  using Done = WriteDone;

  explicit CCorvaneMousePadDevice(MessageLoop& loop);
  ~CCorvaneMousePadDevice() override;

  std::string_view GetClass() const override { return "CorvaneMousePadDevice"; }

  // Operations of the device base.
  int LoadLighting() override;
  void OnConnected() override;
  void OnSyncRequest() override;
  // The pad reports its power whether the window shows or not.
  void PollStatus() override { PollPowerStatus(true); }
  std::string CurrentProfileFile() const override { return profile_.ProfilePath().string(); }
  std::optional<LightSetting> LiveLight() const override { return live_light_; }
  std::vector<LightMode> LightModes() const override { return light_names_.modes; }
  bool ApplyLightRecord(const LightSetting& record, Done done) override;
  bool RewriteSettings(Done done) override { return WriteSettings(std::move(done)); }
  void ApplySelectedProfile(Done done) override;
  void RestoreDefaults(Done done) override;

  // The kept record with the live lighting, written whole. Writes coalesce.
  // False when the channel is closed (nothing is sent).
  bool WriteSettings(Done done = {});

  virtual bool LoadProfile();
  bool SaveProfile() { return SaveProfileData(profile_); }

  CBasicProfiledata& profile() { return profile_; }
  const DeviceInfoBlock& info() const { return info_; }
  const pad::LightRecord& record() const { return record_; }
  const LightSetting& live_light() const { return live_light_; }
  bool ready() const { return ready_; }

  // Told each time OnConnected has finished.
  std::function<void()> on_ready;

 protected:
  // The headset keeps the pad's lighting record and power status.
  CCorvaneMousePadDevice(MessageLoop& loop, DeviceFamily family);
  std::chrono::milliseconds SyncDelay() const override { return std::chrono::milliseconds(500); }

 private:
  struct RecordRead {
    bool read = false;
    pad::LightRecord raw{};
  };

  CBasicProfiledata profile_;
  LightNameLists light_names_;
  DeviceInfoBlock info_;
  pad::LightRecord record_{};
  LightSetting live_light_{};
  bool ready_ = false;
};

}  // namespace brontal
