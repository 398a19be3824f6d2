#pragma once

#include <cstdint>
#include <functional>

#include "audio_program/capture_service.h"
#include "audio_program/process_end_watch.h"
#include "ui/toolkit/window.h"

namespace brontal::audio_program {

// The program's window on the local bus, never shown: it takes the driver's
// commands and style colour and steers the recording. kHello makes the
// sender the listener (and its end, when lParam names its process, ends this
// program: a driver started again starts its own), kGoodbye forgets it;
// kReset and kCaptureOff stop the recording, kCaptureOn starts it; kQuit
// calls `on_quit`. Colour data counts only at its exact size.
class CaptureWindow : public WindowImplBase {
 public:
  CaptureWindow(Toolkit& toolkit, CaptureService& capture, std::function<void()> on_quit);

  // Creates the window and lets the driver's messages in from the bus.
  bool Open();

  std::string_view GetWindowClassName() const override { return "Brontal DriverAudioRecord"; }

 protected:
  std::string GetSkinFile() const override { return "XML/AudioCapture.xml"; }
  LRESULT HandleMessage(const WindowMessage& message, bool& handled) override;

 private:
  void Obey(const WindowMessage& message);
  void TakeCopyData(const WindowMessage& message);

  CaptureService& capture_;
  const std::function<void()> on_quit_;
  const std::uint32_t command_message_;
  ProcessEndWatch listener_end_;
};

}  // namespace brontal::audio_program
