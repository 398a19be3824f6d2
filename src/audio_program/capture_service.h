#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

#include "audio_capture/sound_input.h"
#include "audio_link/capture_link.h"

namespace brontal::audio_program {

// The recording on a thread of its own, from Start to Stop only, and its
// frames on their way out: the spectrum and the colour block of every frame
// go to `send` while a driver listens. When the sound server is missing or
// goes away the recording is tried again every two seconds; when the input
// file ends, `on_input_end` is told.
class CaptureService {
 public:
  using Send = std::function<void(const audio_link::Spectrum&, const audio_link::ColourBlock&)>;

  CaptureService(audio_capture::SoundInput input, Send send, std::function<void()> on_input_end);
  ~CaptureService() { Stop(); }
  CaptureService(const CaptureService&) = delete;
  CaptureService& operator=(const CaptureService&) = delete;

  // The next two from one thread.
  void Start();  // does nothing while recording
  void Stop();   // the recording has ended on return

  void SetListening(bool listening) { listening_ = listening; }
  void SetStyle(const audio_link::StyleColour& style);

 private:
  void Record(std::stop_token stop);
  audio_link::StyleColour Style();

  const audio_capture::SoundInput input_;
  const Send send_;
  const std::function<void()> on_input_end_;
  std::atomic<bool> listening_ = false;
  std::mutex style_mutex_;
  // Full brightness until the driver says otherwise.
  audio_link::StyleColour style_{9, 9, 9};
  std::jthread thread_;
};

}  // namespace brontal::audio_program
