#include "audio_program/capture_window.h"

#include <string>

#include "app/app_messages.h"
#include "support/debug_log.h"
#include "ui/toolkit/registered_messages.h"

namespace brontal::audio_program {

using audio_link::CaptureCommand;

CaptureWindow::CaptureWindow(Toolkit& toolkit, CaptureService& capture, std::function<void()> on_quit)
    : WindowImplBase(toolkit),
      capture_(capture),
      on_quit_(std::move(on_quit)),
      command_message_(RegisterWindowMessage(kAudioCaptureCommandName)),
      listener_end_([this] {
        Trace("brontal-audio: the driver that said hello has ended");
        on_quit_();
      }) {}

bool CaptureWindow::Open() {
  if (!Create(nullptr, std::string(audio_link::kCaptureWindowName))) return false;
  GetPaintManager().AllowExternalMessage(command_message_);
  GetPaintManager().AllowExternalMessage(kWmCopyData);
  return true;
}

LRESULT CaptureWindow::HandleMessage(const WindowMessage& message, bool& handled) {
  if (message.id == command_message_) {
    handled = true;
    Obey(message);
  } else if (message.id == kWmCopyData) {
    handled = true;
    TakeCopyData(message);
  }
  return 0;
}

void CaptureWindow::Obey(const WindowMessage& message) {
  const std::optional<CaptureCommand> command = audio_link::CaptureCommandOf(message.wparam);
  if (!command) {
    Trace("brontal-audio: unknown command " + std::to_string(message.wparam));
    return;
  }
  switch (*command) {
    case CaptureCommand::kHello:
      Trace("brontal-audio: hello from process " + std::to_string(message.lparam));
      capture_.SetListening(true);
      if (message.lparam > 0) listener_end_.Watch(static_cast<pid_t>(message.lparam));
      break;
    case CaptureCommand::kReady: break;
    case CaptureCommand::kReset:
    case CaptureCommand::kCaptureOff: capture_.Stop(); break;
    case CaptureCommand::kCaptureOn: capture_.Start(); break;
    case CaptureCommand::kGoodbye:
      Trace("brontal-audio: goodbye");
      capture_.SetListening(false);
      listener_end_.Forget();
      break;
    case CaptureCommand::kQuit: on_quit_(); break;
  }
}

void CaptureWindow::TakeCopyData(const WindowMessage& message) {
  if (message.copy_kind != audio_link::kStyleColourKind) {
    Trace("brontal-audio: ignored copy data of kind " + std::to_string(message.copy_kind));
    return;
  }
  const std::optional<audio_link::StyleColour> style = audio_link::DecodeStyleColour(message.copy_data);
  if (!style) {
    Trace("brontal-audio: ignored a style colour of " + std::to_string(message.copy_data.size()) + " bytes");
    return;
  }
  capture_.SetStyle(*style);
}

}  // namespace brontal::audio_program
