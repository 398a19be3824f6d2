#include "audio_capture/sound_input.h"

#include "audio_capture/pulse_monitor_source.h"
#include "audio_capture/spectrum_analyser.h"
#include "audio_capture/wav_file_source.h"

namespace brontal::audio_capture {

std::unique_ptr<SoundSource> SoundInput::Open(std::stop_token stop, std::string& error) const {
  if (file) return std::make_unique<WavFileSource>(file, loop);
  return PulseMonitorSource::Open(SpectrumAnalyser::HopSizeFor(PulseMonitorSource::kSampleRate), stop, error);
}

}  // namespace brontal::audio_capture
