#include "audio_capture/analysis_loop.h"

#include <vector>

namespace brontal::audio_capture {

ReadResult RunAnalysis(SoundSource& source, std::stop_token stop,
                       const std::function<void(const AnalysedFrame&)>& on_frame, std::string& error) {
  SpectrumAnalyser analyser(source.SampleRate());
  std::vector<float> hop(analyser.HopSize());
  for (;;) {
    if (stop.stop_requested()) return ReadResult::kStopped;
    const ReadResult result = source.Read(hop, stop, error);
    if (result != ReadResult::kRead) return result;
    on_frame(analyser.Push(hop));
  }
}

}  // namespace brontal::audio_capture
