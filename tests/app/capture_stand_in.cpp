// Stands in for the capture program, brontal-audio, in the supervision tests:
// a real process that the supervisor starts, watches, greets and ends.
//
// It takes the capture program's lock in the folder CAPTURE_STAND_IN_FOLDER,
// opens the capture window on the bus there and appends what happens to
// "stand-in.journal" in that folder, one line each:
//   start PID | command WPARAM LPARAM | colour R G B | end
// kQuit ends it (status 0). CAPTURE_STAND_IN_MODE changes that:
//   stubborn  kQuit is answered but not obeyed
//   silent    the window never opens
// A lock held by another ends it at once with status 3.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/app_messages.h"
#include "app/audio_capture_supervisor.h"
#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "audio_link/capture_link.h"
#include "bus/bus_test_window.h"
#include "support/file_lock.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/registered_messages.h"
#include "ui/toolkit/toolkit.h"

namespace brontal::testing {
namespace {

class Journal {
 public:
  explicit Journal(const std::filesystem::path& file)
      : fd_(::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600)) {}
  // One write per line: the test reads while this program writes.
  void Line(const std::string& text) {
    const std::string line = text + "\n";
    if (::write(fd_.get(), line.data(), line.size()) < 0) std::cerr << "journal: cannot write\n";
  }

 private:
  UniqueFd fd_;
};

int Serve(const std::filesystem::path& folder, const std::string& mode) {
  Journal journal(folder / "stand-in.journal");
  UniqueFd lock;
  std::string error;
  if (TryLockFile(folder / audio_link::kCaptureLockFileName, lock, error) != FileLockResult::kAcquired) return 3;
  journal.Line("start " + std::to_string(::getpid()));
  if (mode == "silent") {
    for (;;) ::pause();
  }
  const std::uint32_t command = RegisterWindowMessage(kAudioCaptureCommandName);
  ManualMessageLoop loop;
  Toolkit toolkit(loop);
  BusTestWindow window(toolkit);
  if (!window.Open(std::string(audio_link::kCaptureWindowName), {command, kWmCopyData})) return 2;
  const LocalBus bus(folder);
  std::unique_ptr<BusEndpoint> endpoint =
      BusEndpoint::Open(bus, std::string(audio_link::kCaptureWindowName), window, error);
  if (!endpoint) {
    std::cerr << error << '\n';
    return 2;
  }
  window.answer = [&](const WindowMessage& message) -> LRESULT {
    if (message.id == kWmCopyData) {
      const auto colour = audio_link::DecodeStyleColour(message.copy_data);
      if (message.copy_kind == audio_link::kStyleColourKind && colour)
        journal.Line("colour " + std::to_string(colour->red) + " " + std::to_string(colour->green) + " " +
                     std::to_string(colour->blue));
      return 0;
    }
    journal.Line("command " + std::to_string(message.wparam) + " " + std::to_string(message.lparam));
    if (message.wparam == static_cast<std::uintptr_t>(audio_link::CaptureCommand::kQuit) && mode != "stubborn") {
      // After the answer has gone back.
      loop.Post([&] {
        endpoint.reset();
        loop.Quit(0);
      });
    }
    return 0;
  };
  const int status = loop.Run();
  journal.Line("end");
  return status;
}

}  // namespace
}  // namespace brontal::testing

int main() {
  const char* folder = std::getenv("CAPTURE_STAND_IN_FOLDER");
  const char* mode = std::getenv("CAPTURE_STAND_IN_MODE");
  if (!folder) {
    std::cerr << "capture_stand_in: CAPTURE_STAND_IN_FOLDER is not set\n";
    return 64;
  }
  return brontal::testing::Serve(folder, mode ? mode : "");
}
