#pragma once

#include <functional>
#include <stop_token>
#include <string>

#include "audio_capture/sound_source.h"
#include "audio_capture/spectrum_analyser.h"

namespace brontal::audio_capture {

// Reads the source hop by hop and hands every frame to `on_frame`, until the
// source ends (kEnded), fails (kFailed, with the reason) or `stop` is
// requested (kStopped).
ReadResult RunAnalysis(SoundSource& source, std::stop_token stop,
                       const std::function<void(const AnalysedFrame&)>& on_frame, std::string& error);

}  // namespace brontal::audio_capture
