#include "audio_program/capture_service.h"

#include <chrono>
#include <condition_variable>

#include "audio_capture/analysis_loop.h"
#include "audio_capture/colour_block.h"
#include "support/debug_log.h"

namespace brontal::audio_program {
namespace {

constexpr std::chrono::seconds kRetryPeriod{2};

}  // namespace

CaptureService::CaptureService(audio_capture::SoundInput input, Send send, std::function<void()> on_input_end)
    : input_(std::move(input)), send_(std::move(send)), on_input_end_(std::move(on_input_end)) {}

void CaptureService::Start() {
  if (thread_.joinable()) return;
  thread_ = std::jthread([this](std::stop_token stop) { Record(stop); });
}

void CaptureService::Stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  thread_.join();
}

void CaptureService::SetStyle(const audio_link::StyleColour& style) {
  std::scoped_lock lock(style_mutex_);
  style_ = style;
}

audio_link::StyleColour CaptureService::Style() {
  std::scoped_lock lock(style_mutex_);
  return style_;
}

void CaptureService::Record(std::stop_token stop) {
  std::string said;  // the last failure traced, so that a retry does not say it again
  const auto on_frame = [this](const audio_capture::AnalysedFrame& frame) {
    if (listening_) send_(frame.spectrum, audio_capture::MakeColourBlock(Style(), frame));
  };
  for (;;) {
    std::string error;
    if (const std::unique_ptr<audio_capture::SoundSource> source = input_.Open(stop, error)) {
      if (!said.empty()) Trace("brontal-audio: recording again");
      said.clear();
      switch (audio_capture::RunAnalysis(*source, stop, on_frame, error)) {
        case audio_capture::ReadResult::kEnded: on_input_end_(); return;
        case audio_capture::ReadResult::kStopped: return;
        default: break;
      }
    }
    if (stop.stop_requested()) return;
    if (error != said)
      Trace("brontal-audio: " + error + "; trying again every " + std::to_string(kRetryPeriod.count()) + " s");
    said = error;
    std::mutex mutex;
    std::unique_lock lock(mutex);
    std::condition_variable_any().wait_for(lock, stop, kRetryPeriod, [] { return false; });
    if (stop.stop_requested()) return;
  }
}

}  // namespace brontal::audio_program
