#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "input_capture/capture_thread.h"
#include "input_capture/input_capture.h"

namespace brontal {

// Reads keyboards' and mice's event nodes on a thread of its own, as one more
// reader beside the desktop: the devices are never grabbed.
class EvdevInputCapture final : public InputCapture {
 public:
  // The event nodes to read (or any files that stream struct input_event),
  // listed again at every start: keyboards and mice come and go, and a
  // product that moves between cable and receiver gets another node.
  using NodeList = std::function<std::vector<std::filesystem::path>()>;
  EvdevInputCapture(MessageLoop& loop, NodeList nodes);
  ~EvdevInputCapture() override;

  CaptureBackend backend() const override { return CaptureBackend::kEvdev; }
  // Nodes that cannot be opened are passed over; fails when none can.
  bool Start(CaptureSink sink, std::string& reason) override;
  void Stop() override;

 private:
  MessageLoop& loop_;
  const NodeList nodes_;
  CaptureThread thread_;
};

}  // namespace brontal
