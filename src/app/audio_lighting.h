#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/audio_capture_supervisor.h"
#include "app/spectrum_feed.h"
#include "audio_link/capture_link.h"
#include "profiles/audio_styles_file.h"
#include "profiles/data_folders.h"
#include "ui/toolkit/window_messages.h"

namespace brontal {

class CCorvaneUSBDevice;
class DeviceRoster;
class LocalBus;
class MessageLoop;
class WindowImplBase;

// The colour message of the styles: the selected style's three levels, a
// green of 0 sent as 1.
audio_link::StyleColour StyleColourOf(const AudioStyles& styles);

// The main window's side of audio-reactive lighting, on the UI thread: the
// capture program's supervision, its spectra and colour blocks handed to the
// devices, and the styles of the music window.
//
// Present devices are those of the roster whose entry is shown and whose
// channel is open. The selected keyboard is the one selected in the window,
// or else the first present keyboard.
class AudioLighting {
 public:
  AudioLighting(DeviceRoster& roster, MessageLoop& loop, const LocalBus& bus,
                AppFolders folders = AppFolders::Installed());
  ~AudioLighting();
  AudioLighting(const AudioLighting&) = delete;
  AudioLighting& operator=(const AudioLighting&) = delete;

  // Told on the UI thread, once per outage of the capture program.
  std::function<void(const std::string&)> on_notice;

  // Reads the styles (the factory copy when the user's file is not usable)
  // and starts the supervision, in place of one already running. The
  // capture program itself is started the first time a keyboard shows a
  // sound mode.
  void Start(AudioCaptureSupervisor::Setup setup);
  void Stop();

  // A copy-data message: true when it was of the capture program's kinds (a
  // payload of the wrong size is dropped whole).
  bool OnCopyData(const WindowMessage& message);
  // Capture runs while any present keyboard shows mode 29 or 30.
  void FollowKeyboards();

  const AudioStyles& styles() const { return styles_; }
  // The music window over `owner`; OK saves the styles and sends their colour.
  void EditStyles(WindowImplBase& owner, int scale);
  // Saved and their colour sent; false when they could not be saved.
  bool ApplyStyles(const AudioStyles& styles);

  // Nothing before Start.
  const AudioCaptureSupervisor* supervisor() const { return supervisor_.get(); }

 private:
  std::vector<CCorvaneUSBDevice*> PresentDevices() const;
  CCorvaneUSBDevice* SelectedKeyboard(const std::vector<CCorvaneUSBDevice*>& present) const;
  void TakeSpectrum(const audio_link::Spectrum& frame);
  void SendColour();

  DeviceRoster& roster_;
  MessageLoop& loop_;
  const LocalBus& bus_;
  const AppFolders folders_;
  SpectrumFeed feed_;
  AudioStyles styles_;
  std::shared_ptr<const void> alive_ = std::make_shared<int>(0);  // posted notices find the object gone
  std::unique_ptr<AudioCaptureSupervisor> supervisor_;
};

}  // namespace brontal
