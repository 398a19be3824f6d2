#include "app/audio_lighting.h"

#include <algorithm>

#include "app/music_wnd.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/device_roster.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/keyboard/keyboard_wire.h"
#include "support/debug_log.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {

audio_link::StyleColour StyleColourOf(const AudioStyles& styles) {
  const std::size_t first = 3u * std::min<std::size_t>(styles.selected, kAudioStyleCount - 1);
  // The capture program takes a green of 0 for none given.
  return {styles.levels[first], std::max<std::int32_t>(styles.levels[first + 1], 1), styles.levels[first + 2]};
}

AudioLighting::AudioLighting(DeviceRoster& roster, MessageLoop& loop, const LocalBus& bus, AppFolders folders)
    : roster_(roster), loop_(loop), bus_(bus), folders_(std::move(folders)) {}

AudioLighting::~AudioLighting() { Stop(); }

void AudioLighting::Start(AudioCaptureSupervisor::Setup setup) {
  supervisor_.reset();
  styles_ = LoadAudioStyles(folders_);
  supervisor_ = std::make_unique<AudioCaptureSupervisor>(
      bus_, std::move(setup), [this, life = std::weak_ptr<const void>(alive_)](const std::string& text) {
        loop_.Post([this, life, text] {
          if (!life.expired() && on_notice) on_notice(text);
        });
      });
  SendColour();
  supervisor_->Start();
}

void AudioLighting::Stop() {
  if (supervisor_) supervisor_->Stop();
}

std::vector<CCorvaneUSBDevice*> AudioLighting::PresentDevices() const {
  std::vector<CCorvaneUSBDevice*> present;
  for (CCorvaneUSBDevice* device : roster_.devices())
    if (device->entry() && device->entry()->IsVisible() && device->channel().open()) present.push_back(device);
  return present;
}

CCorvaneUSBDevice* AudioLighting::SelectedKeyboard(const std::vector<CCorvaneUSBDevice*>& present) const {
  auto is_keyboard = [](const CCorvaneUSBDevice* device) { return device->family() == DeviceFamily::kKeyboard; };
  const CDeviceOptionUI* selected = roster_.SelectedEntry();
  CCorvaneUSBDevice* device = selected ? selected->device() : nullptr;
  if (device && is_keyboard(device) && std::ranges::find(present, device) != present.end()) return device;
  const auto first = std::ranges::find_if(present, is_keyboard);
  return first == present.end() ? nullptr : *first;
}

bool AudioLighting::OnCopyData(const WindowMessage& message) {
  if (message.copy_kind == audio_link::kSpectrumKind) {
    if (const std::optional<audio_link::Spectrum> frame = audio_link::DecodeSpectrum(message.copy_data))
      TakeSpectrum(*frame);
    return true;
  }
  if (message.copy_kind == audio_link::kColourBlockKind) {
    const std::optional<audio_link::ColourBlock> block = audio_link::DecodeColourBlock(message.copy_data);
    if (CCorvaneUSBDevice* keyboard = block ? SelectedKeyboard(PresentDevices()) : nullptr)
      keyboard->OnAudioColour(*block);
    return true;
  }
  return false;
}

void AudioLighting::TakeSpectrum(const audio_link::Spectrum& frame) {
  const std::vector<CCorvaneUSBDevice*> present = PresentDevices();
  auto count = [&present](DeviceFamily family) {
    return static_cast<std::size_t>(
        std::ranges::count_if(present, [family](const CCorvaneUSBDevice* d) { return d->family() == family; }));
  };
  const SpectrumHandOver hand_over = feed_.Take(frame, count(DeviceFamily::kKeyboard), count(DeviceFamily::kMouse));
  if (hand_over.keyboard) {
    if (CCorvaneUSBDevice* keyboard = SelectedKeyboard(present)) keyboard->OnAudioSpectrum(*hand_over.keyboard);
  }
  if (hand_over.mouse) {
    const auto mouse =
        std::ranges::find_if(present, [](const CCorvaneUSBDevice* d) { return d->family() == DeviceFamily::kMouse; });
    if (mouse != present.end()) (*mouse)->OnAudioSpectrum(*hand_over.mouse);
  }
}

void AudioLighting::FollowKeyboards() {
  if (!supervisor_) return;
  bool wanted = false;
  for (CCorvaneUSBDevice* device : PresentDevices()) {
    const auto* keyboard = dynamic_cast<const CCorvaneKeyboardDevice*>(device);
    // A keyboard whose animation stands still (another program or the shared
    // effect paints it) shows no music.
    wanted = wanted || (keyboard && keyboard::IsHostDrivenMode(keyboard->live_light().select_item) &&
                        !device->channel().polling_paused());
  }
  supervisor_->SetCaptureWanted(wanted);
}

void AudioLighting::SendColour() {
  if (supervisor_) supervisor_->SetStyleColour(StyleColourOf(styles_));
}

void AudioLighting::EditStyles(WindowImplBase& owner, int scale) {
  const std::optional<AudioStyles> edited = EditAudioStyles(owner, styles_, scale);
  if (edited && !ApplyStyles(*edited)) Trace("music window: the styles could not be saved");
}

bool AudioLighting::ApplyStyles(const AudioStyles& styles) {
  styles_ = styles;
  const bool saved = SaveAudioStyles(styles_, folders_);
  SendColour();
  return saved;
}

}  // namespace brontal
