#include "audio_program/serve_driver.h"

#include <unistd.h>

#include <iostream>
#include <string>

#include "app/app_messages.h"
#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "audio_capture/end_on_signal.h"
#include "audio_program/capture_service.h"
#include "audio_program/capture_window.h"
#include "support/debug_log.h"
#include "support/file_lock.h"
#include "support/private_folder.h"
#include "support/user_folders.h"
#include "ui/qt/qt_message_loop.h"
#include "ui/toolkit/toolkit.h"

namespace brontal::audio_program {
namespace {

WindowMessage CopyData(std::uint64_t kind, std::vector<std::uint8_t> payload) {
  WindowMessage message(kWmCopyData, static_cast<std::uintptr_t>(::getpid()));
  message.copy_kind = kind;
  message.copy_data = std::move(payload);
  return message;
}

}  // namespace

int ServeDriver(const audio_capture::SoundInput& input, std::optional<std::chrono::seconds> limit) {
  const LocalBus bus;
  std::string error;
  UniqueFd lock;
  if (!PreparePrivateFolder(bus.Folder(), error)) {
    std::cerr << "brontal-audio: " << error << '\n';
    return 1;
  }
  switch (TryLockFile(bus.Folder() / audio_link::kCaptureLockFileName, lock, error)) {
    case FileLockResult::kAcquired: break;
    case FileLockResult::kHeldByAnother: std::cerr << "brontal-audio: runs already\n"; return 0;
    case FileLockResult::kUnavailable: std::cerr << "brontal-audio: " << error << '\n'; return 1;
  }

  QtMessageLoop loop;
  const auto quit = [&loop] { loop.Post([&loop] { loop.Quit(0); }); };
  const audio_capture::EndOnSignal end(limit, quit);
  // Posted, so that a driver that does not take its messages never holds the recording up.
  CaptureService capture(
      input,
      [&bus](const audio_link::Spectrum& spectrum, const audio_link::ColourBlock& block) {
        bus.PostTo(kApplicationName, CopyData(audio_link::kSpectrumKind, audio_link::EncodeSpectrum(spectrum)));
        bus.PostTo(kApplicationName, CopyData(audio_link::kColourBlockKind, audio_link::EncodeColourBlock(block)));
      },
      [quit] {
        Trace("brontal-audio: the input has ended");
        quit();
      });
  Toolkit toolkit(loop);
  toolkit.Resources().SetSkinFolder(ProgramFolder() / "skin");
  CaptureWindow window(toolkit, capture, quit);
  if (!window.Open()) {
    std::cerr << "brontal-audio: " << window.GetCreateError() << '\n';
    return 1;
  }
  const std::unique_ptr<BusEndpoint> endpoint =
      BusEndpoint::Open(bus, std::string(audio_link::kCaptureWindowName), window, error);
  if (!endpoint) {
    std::cerr << "brontal-audio: " << error << '\n';
    return 1;
  }
  Trace("brontal-audio: waiting for the driver on the bus");
  loop.Run();
  capture.Stop();
  return 0;
}

}  // namespace brontal::audio_program
