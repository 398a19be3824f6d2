#include "input_capture/capture_choice.h"

#include <cstdlib>

#include "input_capture/evdev_input_capture.h"
#include "input_capture/input_node_scan.h"
#include "input_capture/own_window_capture.h"
#include "input_capture/x11_input_capture.h"

namespace brontal {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

CaptureEnvironment CaptureEnvironment::FromProcess() {
  return {.display = Variable("DISPLAY"),
          .wayland_display = Variable("WAYLAND_DISPLAY"),
          .session_type = Variable("XDG_SESSION_TYPE")};
}

bool IsX11Session(const CaptureEnvironment& environment) {
  const bool wayland = environment.session_type == "wayland" || !environment.wayland_display.empty();
  return !environment.display.empty() && !wayland;
}

std::unique_ptr<InputCapture> MakeSystemWideCapture(MessageLoop& loop, const CaptureEnvironment& environment,
                                                    std::string& reason) {
  if (IsX11Session(environment)) return std::make_unique<X11InputCapture>(loop, environment.display);
  if (!ReadableKeyboardsAndMice(environment.input_folder).empty())
    return std::make_unique<EvdevInputCapture>(
        loop, [folder = environment.input_folder] { return ReadableKeyboardsAndMice(folder); });
  reason = "not an X11 session, and no keyboard or mouse in " + environment.input_folder.string() +
           " may be read (members of the input group may; 'brontalctl udev-rules --input' opens the supported "
           "keyboards and mice to the logged-in user)";
  return nullptr;
}

std::unique_ptr<InputCapture> MakeInputCapture(MessageLoop& loop, const CaptureEnvironment& environment) {
  std::string ignored;
  if (std::unique_ptr<InputCapture> system_wide = MakeSystemWideCapture(loop, environment, ignored)) return system_wide;
  return std::make_unique<OwnWindowCapture>(loop);
}

}  // namespace brontal
