#include "devices/headset/corvane_zu6533_device.h"

#include <algorithm>
#include <cctype>

#include "audio/linux_headset_audio.h"
#include "audio/simulated_headset_audio.h"
#include "device_access/hid_backend.h"
#include "devices/headset/headset_wire.h"
#include "profiles/eq_members.h"
#include "support/debug_log.h"

namespace brontal {
namespace {

using audio::AudioStatus;
using audio::SoundControl;

constexpr std::uint32_t kEqualiserJobKey = 2;

// A simulated headset has a simulated sound card: the real card of a
// headset that may be attached as well is left alone.
std::unique_ptr<audio::HeadsetAudio> MakeAudio(const InterfaceRow& identity) {
  if (HidBus::SimulatedActive()) return std::make_unique<audio::SimulatedHeadsetAudio>();
  return std::make_unique<audio::LinuxHeadsetAudio>(identity.vendor_id, identity.product_id);
}

void Tell(const CCorvaneZU6533Device::SoundDone& done, AudioStatus status) {
  if (done) done(status);
}

// Curve names compare without regard to letter case (ASCII letters).
bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// What the card said at connect; a value only where its read went through.
struct ConnectRead {
  bool mic = false, monitor = false, voice_changer = false, surround = false, noise_cancel = false;
  std::optional<int> mic_level, mic_mute, monitor_level, monitor_mute, voice_changer_on, voice_effect;
  std::string equaliser_unavailable;
};

std::optional<int> ReadIfDone(audio::HeadsetAudio& audio, SoundControl control) {
  const audio::SoundRead read = audio.Read(control);
  return read.status == AudioStatus::kDone ? std::optional<int>(read.value) : std::nullopt;
}

}  // namespace

CCorvaneZU6533Device::CCorvaneZU6533Device(MessageLoop& loop) : CCorvaneMousePadDevice(loop, DeviceFamily::kHeadset) {
  // The host draws the headset's lights from the start, as the main window's state begins.
  init_host_lighting(true);
}

CCorvaneZU6533Device::~CCorvaneZU6533Device() {
  // The jobs use the audio layer: the worker stops before it goes.
  StopThreads();
  StopIo();
  if (save_timer_) SaveNow();
}

// ---- Connect and profile ----

void CCorvaneZU6533Device::OnConnected() {
  if (!audio_) audio_ = MakeAudio(identity());
  // The card's own state first: what it reads overwrites the profile's.
  ReadSoundAtConnect();
  CCorvaneMousePadDevice::OnConnected();
  // Nothing keeps the host's equaliser between runs but the profile.
  SendEqualiser({});
}

bool CCorvaneZU6533Device::LoadProfile() {
  if (save_timer_) SaveNow();
  if (!CCorvaneMousePadDevice::LoadProfile()) return false;
  TakeSoundFromProfile();
  return true;
}

void CCorvaneZU6533Device::TakeSoundFromProfile() {
  CBasicProfiledata& data = profile();
  HeadsetSoundState& s = sound_;
  s.mirror = data.GetHeadsetSystem();
  const int curve = s.mirror.custom_eq_select;
  const std::size_t curves = data.GetCustomEqNames().size();
  s.shown_curve =
      curve >= 0 && static_cast<std::size_t>(curve) < curves ? std::optional<std::size_t>(curve) : std::nullopt;
  if (s.mirror.eq_type == kCustomEqPreset)
    s.bands = s.shown_curve ? data.GetCustomEqBands(*s.shown_curve) : EqBands{};
  else
    s.bands = data.GetEqBands(s.mirror.eq_type).value_or(EqBands{});
}

void CCorvaneZU6533Device::ReadSoundAtConnect() {
  std::function<ConnectRead()> job = [this] {
    ConnectRead read;
    audio::HeadsetAudio& a = *audio_;
    read.equaliser_unavailable = a.EqualiserUnavailableReason();
    read.mic = a.Supports(SoundControl::kMicLevel);
    read.monitor = a.Supports(SoundControl::kMonitorLevel);
    read.voice_changer = a.Supports(SoundControl::kVoiceChanger);
    read.surround = a.Supports(SoundControl::kSurround);
    read.noise_cancel = a.Supports(SoundControl::kNoiseCancel);
    // A read that fails leaves the setting as it is: nothing is written in
    // its place, least of all a zero level or an open microphone.
    read.mic_mute = ReadIfDone(a, SoundControl::kMicMute);
    read.mic_level = ReadIfDone(a, SoundControl::kMicLevel);
    if (read.monitor) {
      read.monitor_mute = ReadIfDone(a, SoundControl::kMonitorMute);
      read.monitor_level = ReadIfDone(a, SoundControl::kMonitorLevel);
    }
    if (read.voice_changer) {
      read.voice_changer_on = ReadIfDone(a, SoundControl::kVoiceChanger);
      read.voice_effect = ReadIfDone(a, SoundControl::kVoiceEffect);
    }
    return read;
  };
  RunJob<ConnectRead>(std::move(job), [this](const ConnectRead& read) {
    HeadsetSoundState& s = sound_;
    s.mic = read.mic;
    s.monitor = read.monitor;
    s.voice_changer = read.voice_changer;
    s.surround = read.surround;
    s.noise_cancel = read.noise_cancel;
    s.equaliser_unavailable = read.equaliser_unavailable;
    if (read.mic_mute) s.mirror.mic_in_select = *read.mic_mute != 0 ? 0 : 1;
    if (read.mic_level) s.mirror.mic_in_value = *read.mic_level;
    if (read.monitor_mute) s.mirror.mic_monitor_select = *read.monitor_mute != 0 ? 0 : 1;
    if (read.monitor_level) s.mirror.mic_monitor_value = *read.monitor_level;
    if (read.voice_changer_on) s.mirror.magic_enable = *read.voice_changer_on != 0 ? 1 : 0;
    if (read.voice_effect && *read.voice_effect >= 0 && *read.voice_effect <= 3)
      s.mirror.magic_type = *read.voice_effect + 1;
    ApplyToUi();
  });
}

void CCorvaneZU6533Device::ApplySelectedProfile(Done done) {
  CCorvaneMousePadDevice::ApplySelectedProfile(std::move(done));
  WriteSoundToHeadset({});
}

void CCorvaneZU6533Device::RestoreDefaults(Done done) {
  CCorvaneMousePadDevice::RestoreDefaults(std::move(done));
  TakeSoundFromProfile();
  ApplyToUi();
  WriteSoundToHeadset({});
}

bool CCorvaneZU6533Device::RewriteSettings(Done done) {
  if (!CCorvaneMousePadDevice::RewriteSettings(std::move(done))) return false;
  WriteSoundToHeadset([](AudioStatus status) {
    if (status == AudioStatus::kFailed) Trace("the headset's sound settings were not written again");
  });
  return true;
}

void CCorvaneZU6533Device::WriteSoundToHeadset(SoundDone done) {
  if (!audio_) return Tell(done, AudioStatus::kAbsent);
  const HeadsetSoundState s = sound_;
  std::function<AudioStatus()> job = [this, s] {
    audio::HeadsetAudio& a = *audio_;
    AudioStatus worst = AudioStatus::kDone;
    const auto note = [&worst](AudioStatus status) {
      if (status != AudioStatus::kDone && status != AudioStatus::kUnsupported) worst = status;
    };
    const std::pair<SoundControl, int> values[] = {
        {SoundControl::kMicLevel, s.mirror.mic_in_value},
        {SoundControl::kMicMute, s.mic_muted() ? 1 : 0},
        {SoundControl::kMonitorLevel, s.mirror.mic_monitor_value},
        {SoundControl::kMonitorMute, s.monitor_muted() ? 1 : 0},
        {SoundControl::kVoiceChanger, s.mirror.magic_enable},
        {SoundControl::kVoiceEffect, std::clamp(s.mirror.magic_type, 1, 4) - 1},
    };
    for (const auto& [control, value] : values)
      if (a.Supports(control)) note(a.Write(control, value));
    note(a.SetEqualiser(s.mirror.eq_type != 0 ? std::optional<EqBands>(s.bands) : std::nullopt));
    return worst;
  };
  RunJob<AudioStatus>(std::move(job), [done](AudioStatus status) { Tell(done, status); });
}

// ---- Lights ----

void CCorvaneZU6533Device::SendLightFrame() {
  if (!host_lighting()) return;
  CCorvaneUSBDevice::SendLightFrame();
  if (!channel().open()) return;
  std::array<std::uint32_t, headset::kLightCount> colours{};
  for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = GetPositionColour(static_cast<int>(i));
  // The colours make the reports whole.
  if (SkipUnchangedFrame(std::as_bytes(std::span(colours)))) return;
  const headset::LightReports reports = headset::BuildLightReports(headset::PlanesOf(colours));
  std::vector<std::vector<std::uint8_t>> sent;
  for (const headset::LightReport& report : reports) sent.emplace_back(report.begin(), report.end());
  io().PostFrame([this, sent = std::move(sent)]() mutable {
    std::scoped_lock lock(channel().exchange_lock());
    // A report the headset refuses is dropped; the others still go.
    channel().wired_collection().SetOutputReports(std::move(sent), kLightFrameTimeoutMs);
  });
}

// ---- The equaliser ----

void CCorvaneZU6533Device::SendEqualiser(SoundDone done) {
  if (!audio_) return Tell(done, AudioStatus::kAbsent);
  const std::optional<EqBands> gains = sound_.mirror.eq_type != 0 ? std::optional<EqBands>(sound_.bands) : std::nullopt;
  if (!done) {
    // A slider drag: only the latest bands matter.
    io().PostCoalesced(kEqualiserJobKey, [this, gains] { audio_->SetEqualiser(gains); });
    return;
  }
  struct Sent {
    AudioStatus status;
    std::string unavailable;
  };
  RunJob<Sent>(
      [this, gains] {
        const AudioStatus status = audio_->SetEqualiser(gains);
        return Sent{status, status == AudioStatus::kDone ? std::string() : audio_->EqualiserUnavailableReason()};
      },
      [this, done](const Sent& sent) {
        // The sound server may have come or gone since the headset was read.
        if (sent.unavailable != sound_.equaliser_unavailable) {
          sound_.equaliser_unavailable = sent.unavailable;
          ApplyToUi();
        }
        done(sent.status);
      });
}

bool CCorvaneZU6533Device::SelectEqOption(int option, SoundDone done) {
  HeadsetSoundState& s = sound_;
  if (option == kCustomEqPreset) {
    s.mirror.eq_type = kCustomEqPreset;
    if (!s.shown_curve || !ApplyCustomEq(*s.shown_curve, done)) {
      StoreSound(false);
      Tell(done, AudioStatus::kDone);
    }
    ApplyToUi();
    return true;
  }
  if (option < 1 || option > kEqPresetCount) return false;
  s.bands = EqPresetBands(option);
  s.mirror.eq_type = option;
  profile().SetEqBands(option, s.bands);
  StoreSound(false);
  SendEqualiser(std::move(done));
  ApplyToUi();
  return true;
}

void CCorvaneZU6533Device::SetEqBand(std::size_t band, int value) {
  if (band >= kEqBandCount) return;
  HeadsetSoundState& s = sound_;
  if (s.mirror.eq_type != kCustomEqPreset) {
    s.mirror.eq_type = kCustomEqPreset;
    s.shown_curve.reset();
  }
  s.bands[band] = value;
  SendEqualiser({});
}

bool CCorvaneZU6533Device::ApplyCustomEq(std::size_t index, SoundDone done) {
  HeadsetSoundState& s = sound_;
  if (index >= profile().GetCustomEqNames().size()) return false;
  s.bands = profile().GetCustomEqBands(index);
  s.mirror.eq_type = kCustomEqPreset;
  s.mirror.custom_eq_select = static_cast<std::int32_t>(index);
  s.shown_curve = index;
  StoreSound(false);
  SendEqualiser(std::move(done));
  ApplyToUi();
  return true;
}

int CCorvaneZU6533Device::SaveCustomEq(const std::string& name, std::optional<std::size_t> selected) {
  HeadsetSoundState& s = sound_;
  CBasicProfiledata& data = profile();
  std::vector<std::string> names = data.GetCustomEqNames();
  std::size_t index = 0;
  if (name.empty()) {
    if (!selected || *selected >= names.size()) return -1;
    index = *selected;
    s.shown_curve = index;
  } else {
    if (names.size() >= kMaxCustomEqCurves) return -1;
    if (std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); })) return 0;
    names.push_back(name);
    index = names.size() - 1;
    data.SetCustomEqNames(names);
    s.shown_curve = index;
  }
  data.SetCustomEqBands(index, s.bands);
  s.mirror.custom_eq_select = static_cast<std::int32_t>(index);
  StoreSound(false);
  ApplyToUi();
  return 1;
}

bool CCorvaneZU6533Device::DeleteCustomEq(std::size_t index) {
  HeadsetSoundState& s = sound_;
  CBasicProfiledata& data = profile();
  std::vector<std::string> names = data.GetCustomEqNames();
  if (index >= names.size()) return false;
  const bool was_playing = s.mirror.eq_type == kCustomEqPreset;
  names.erase(names.begin() + static_cast<std::ptrdiff_t>(index));
  data.RemoveCustomEqBands(index);
  data.SetCustomEqNames(names);
  // The equaliser keeps playing a preset; only a curve that played is
  // replaced, by what the page then shows, and the headset gets that.
  if (names.empty()) {
    s.shown_curve.reset();
    if (was_playing) {
      s.mirror.eq_type = 1;
      s.bands = data.GetEqBands(1).value_or(EqBands{});
    }
  } else {
    s.mirror.custom_eq_select = 0;
    s.shown_curve = 0;
    if (was_playing) s.bands = data.GetCustomEqBands(0);
  }
  StoreSound(false);
  if (was_playing) SendEqualiser({});
  ApplyToUi();
  return true;
}

// ---- Microphone, monitoring, voice ----

void CCorvaneZU6533Device::WriteControl(SoundControl control, int value, std::function<void()> took, SoundDone done) {
  if (!audio_) return Tell(done, AudioStatus::kAbsent);
  RunJob<AudioStatus>([this, control, value] { return audio_->Write(control, value); },
                      [this, took = std::move(took), done = std::move(done)](AudioStatus status) {
                        if (status == AudioStatus::kDone) {
                          if (took) took();
                        } else {
                          ApplyToUi();
                        }
                        Tell(done, status);
                      });
}

void CCorvaneZU6533Device::WriteLevel(SoundControl control, int level, std::int32_t HeadsetSystem::*stored,
                                      SoundDone done) {
  level = std::clamp(level, 0, 100);
  WriteControl(
      control, level,
      [this, level, stored] {
        sound_.mirror.*stored = level;
        StoreSound(true);
      },
      std::move(done));
}

void CCorvaneZU6533Device::WriteMute(SoundControl control, bool muted, std::int32_t HeadsetSystem::*stored,
                                     SoundDone done) {
  WriteControl(
      control, muted ? 1 : 0,
      [this, muted, stored] {
        sound_.mirror.*stored = muted ? 0 : 1;
        StoreSound(false);
      },
      std::move(done));
}

void CCorvaneZU6533Device::SetMicLevel(int level, SoundDone done) {
  WriteLevel(SoundControl::kMicLevel, level, &HeadsetSystem::mic_in_value, std::move(done));
}

void CCorvaneZU6533Device::SetMicMuted(bool muted, SoundDone done) {
  WriteMute(SoundControl::kMicMute, muted, &HeadsetSystem::mic_in_select, std::move(done));
}

void CCorvaneZU6533Device::SetMonitorLevel(int level, SoundDone done) {
  WriteLevel(SoundControl::kMonitorLevel, level, &HeadsetSystem::mic_monitor_value, std::move(done));
}

void CCorvaneZU6533Device::SetMonitorMuted(bool muted, SoundDone done) {
  WriteMute(SoundControl::kMonitorMute, muted, &HeadsetSystem::mic_monitor_select, std::move(done));
}

void CCorvaneZU6533Device::SetVoiceChanger(bool on, SoundDone done) {
  // The choice is the profile's whether or not the card has the effect.
  sound_.mirror.magic_enable = on ? 1 : 0;
  StoreSound(false);
  if (!audio_) return Tell(done, AudioStatus::kAbsent);
  RunJob<AudioStatus>(
      [this, on] {
        const AudioStatus status = audio_->Write(SoundControl::kVoiceChanger, on ? 1 : 0);
        // The echo would double the changed voice.
        if (on) audio_->Write(SoundControl::kMicEcho, 0);
        return status;
      },
      [done](AudioStatus status) { Tell(done, status); });
}

bool CCorvaneZU6533Device::SelectVoiceEffect(int effect, SoundDone done) {
  if (effect < 1 || effect > 4) return false;
  sound_.mirror.magic_type = effect;
  StoreSound(false);
  if (!audio_) {
    Tell(done, AudioStatus::kAbsent);
    return true;
  }
  RunJob<AudioStatus>([this, effect] { return audio_->Write(SoundControl::kVoiceEffect, effect - 1); },
                      [done](AudioStatus status) { Tell(done, status); });
  return true;
}

// ---- Storing ----

void CCorvaneZU6533Device::StoreSound(bool throttled) {
  profile().SetHeadsetSystem(sound_.mirror);
  if (throttled)
    SaveSoon();
  else
    SaveNow();
}

void CCorvaneZU6533Device::SaveSoon() {
  if (save_timer_) return;
  const auto since = std::chrono::steady_clock::now() - last_save_;
  if (since >= kLevelSavePeriod) return SaveNow();
  save_timer_ = loop().StartTimer(std::chrono::duration_cast<std::chrono::milliseconds>(kLevelSavePeriod - since),
                                  [this] { SaveNow(); });
}

void CCorvaneZU6533Device::SaveNow() {
  if (save_timer_) {
    loop().StopTimer(*save_timer_);
    save_timer_.reset();
  }
  SaveProfile();
  last_save_ = std::chrono::steady_clock::now();
}

}  // namespace brontal
