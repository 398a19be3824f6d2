#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "input_capture/capture_thread.h"
#include "input_capture/input_capture.h"

namespace brontal {

// Reads keyboards' and mice's event nodes on a thread of its own, as one more
// reader beside the desktop: the devices are never grabbed.
class EvdevInputCapture final : public InputCapture {
 public:
  // `nodes`: event nodes, or any file that streams struct input_event.
  EvdevInputCapture(MessageLoop& loop, std::vector<std::filesystem::path> nodes);
  ~EvdevInputCapture() override;

  CaptureBackend backend() const override { return CaptureBackend::kEvdev; }
  // Fails when a node cannot be opened for reading.
  bool Start(CaptureSink sink, std::string& reason) override;
  void Stop() override;

 private:
  MessageLoop& loop_;
  const std::vector<std::filesystem::path> nodes_;
  CaptureThread thread_;
};

}  // namespace brontal
