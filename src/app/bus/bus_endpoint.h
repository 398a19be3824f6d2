#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "app/bus/bus_frame.h"
#include "support/unique_fd.h"

namespace brontal {

class LocalBus;
class WindowImplBase;

// A window's place on the local message bus: a listening socket named after
// the window and a thread that serves one connection after another (so that
// posted messages keep their order) and hands each message to the window on
// its UI thread, sent ones through SendMessage with the result going back,
// posted ones through PostMessage. A message reaches the window only when its
// filter (CPaintManagerUI::IsExternalMessageAllowed) lets it through, and a
// connection only when it comes from this user.
class BusEndpoint {
 public:
  // A connection gets this long to deliver its frame.
  static constexpr std::chrono::milliseconds kFrameWait{1000};

  // Makes the bus folder when it is missing and replaces the socket left by an
  // ended program of the same name. Nothing, with the reason, when a live
  // window holds the name or the folder or socket cannot be used. The window
  // must outlive the endpoint.
  static std::unique_ptr<BusEndpoint> Open(const LocalBus& bus, std::string window_name, WindowImplBase& window,
                                           std::string& error);
  // Leaves the bus: waits for the thread, removes the socket file unless
  // another endpoint has replaced it. A message still waiting for the UI
  // thread is dropped.
  ~BusEndpoint();
  BusEndpoint(const BusEndpoint&) = delete;
  BusEndpoint& operator=(const BusEndpoint&) = delete;

  const std::string& WindowName() const { return window_name_; }

 private:
  BusEndpoint(std::string window_name, std::filesystem::path socket_path, WindowImplBase& window, UniqueFd listener,
              UniqueFd wake);
  void Serve(std::stop_token stop);
  void Answer(int connection, std::stop_token stop);
  // The window's result; nothing when it refuses the message or is gone.
  std::optional<LRESULT> Deliver(BusRequest request, std::stop_token stop);

  const std::string window_name_;
  const std::filesystem::path socket_path_;
  WindowImplBase& window_;
  const UniqueFd listener_;
  const UniqueFd wake_;  // eventfd: readable once the endpoint closes
  dev_t socket_device_ = 0;
  ino_t socket_inode_ = 0;
  std::jthread thread_;
};

}  // namespace brontal
