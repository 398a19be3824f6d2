// The second program of the bus tests.
//
//   bus_peer FOLDER serve NAME TELL
//     Puts a window NAME on the bus in FOLDER and posts kReadyMessage to TELL.
//     Answers kPingMessage with wParam + lParam and copy data with its kind
//     plus the sum of its bytes, posts every kEchoMessage back to TELL
//     unchanged, and ends (status 0) when the window is closed.
//   bus_peer FOLDER second-instance MAIN_WINDOW APPLICATION_MESSAGE
//     Start-up of a second instance: status 0 after asking the first to show
//     itself, 3 when it finds itself first, 4 when it cannot ask.
#include <unistd.h>

#include <iostream>
#include <string>

#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "app/bus/single_instance_lock.h"
#include "bus_test_window.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/registered_messages.h"
#include "ui/toolkit/toolkit.h"

namespace brontal::testing {
namespace {

int Serve(const LocalBus& bus, const std::string& name, const std::string& tell) {
  const std::uint32_t ping = RegisterWindowMessage(kPingMessage);
  const std::uint32_t echo = RegisterWindowMessage(kEchoMessage);
  ManualMessageLoop loop;
  Toolkit toolkit(loop);
  BusTestWindow window(toolkit);
  if (!window.Open(name, {ping, echo, kWmCopyData, kWmClose})) {
    std::cerr << window.GetCreateError() << '\n';
    return 2;
  }
  std::string error;
  auto endpoint = BusEndpoint::Open(bus, name, window, error);
  if (!endpoint) {
    std::cerr << error << '\n';
    return 2;
  }
  window.answer = [&](const WindowMessage& message) -> LRESULT {
    if (message.id == ping) return static_cast<LRESULT>(message.wparam) + message.lparam;
    if (message.id == kWmCopyData) return static_cast<LRESULT>(message.copy_kind) + ByteSum(message.copy_data);
    if (message.id == echo) bus.PostTo(tell, message);
    return 0;
  };
  window.on_final = [&] {
    endpoint.reset();
    loop.Quit(0);
  };
  if (!bus.PostTo(tell, WindowMessage(RegisterWindowMessage(kReadyMessage), static_cast<std::uintptr_t>(::getpid()))))
    return 2;
  return loop.Run();
}

int SecondInstance(const LocalBus& bus, const std::string& main_window, const std::string& application_message) {
  SingleInstanceLock lock(bus.Folder());
  if (lock.Acquire() != InstanceLock::kHeldByAnother) return 3;
  return AskRunningInstanceToShow(bus, main_window, application_message) ? 0 : 4;
}

}  // namespace
}  // namespace brontal::testing

int main(int argc, char** argv) {
  using namespace brontal::testing;
  const std::string mode = argc > 2 ? argv[2] : "";
  if (argc == 5 && mode == "serve") return Serve(brontal::LocalBus(argv[1]), argv[3], argv[4]);
  if (argc == 5 && mode == "second-instance") return SecondInstance(brontal::LocalBus(argv[1]), argv[3], argv[4]);
  std::cerr << "usage: bus_peer FOLDER serve NAME TELL | bus_peer FOLDER second-instance MAIN_WINDOW MESSAGE\n";
  return 64;
}
