#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "input_capture/input_capture.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {

// What decides the backend, as the process's environment gives it.
struct CaptureEnvironment {
  std::string display;          // DISPLAY
  std::string wayland_display;  // WAYLAND_DISPLAY
  std::string session_type;     // XDG_SESSION_TYPE
  std::filesystem::path input_folder = "/dev/input";

  static CaptureEnvironment FromProcess();
};

// An X11 session rather than XWayland inside a Wayland one, whose X server
// sees only the input that goes to X11 programs.
bool IsX11Session(const CaptureEnvironment& environment);

// X11 in an X11 session, otherwise evdev when some keyboard's or mouse's event
// node may be read. None, with the reason to show, when neither can run.
std::unique_ptr<InputCapture> MakeSystemWideCapture(MessageLoop& loop, const CaptureEnvironment& environment,
                                                    std::string& reason);

// The same, or else our own window's input.
std::unique_ptr<InputCapture> MakeInputCapture(MessageLoop& loop, const CaptureEnvironment& environment);

}  // namespace brontal
