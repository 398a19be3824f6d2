#pragma once

#include <memory>
#include <stop_token>
#include <string>

#include "audio_capture/sound_source.h"
#include "audio_capture/wav_file.h"

namespace brontal::audio_capture {

// The sound to analyse: a WAV file read beforehand (played from its start on
// every Open), or else what the desktop plays.
struct SoundInput {
  std::shared_ptr<const WavSound> file;
  bool loop = false;

  // Nothing, with the reason, when the desktop's sound cannot be recorded or
  // `stop` is requested while connecting.
  std::unique_ptr<SoundSource> Open(std::stop_token stop, std::string& error) const;
};

}  // namespace brontal::audio_capture
