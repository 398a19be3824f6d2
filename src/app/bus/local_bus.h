#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit/window_messages.h"

namespace brontal {

// The local message bus between programs of this user: every window on the
// bus listens on the socket "<window name>.sock" in one private folder
// (BusEndpoint), and any program reaches it by that name. Registered messages
// travel by name, so both sides must have registered it; the receiving window
// takes only the messages its filter allows.
//
// Calls from the UI thread to one of its own process's windows wait for that
// same thread, which is busy waiting: send those through the message loop.
class LocalBus {
 public:
  // This user's bus: UserRuntimeFolder().
  LocalBus();
  explicit LocalBus(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& Folder() const { return folder_; }

  // The socket file of a window; nothing for a name that cannot be one (empty,
  // starting with '.', holding '/' or NUL, too long for a socket address).
  std::optional<std::filesystem::path> SocketPath(std::string_view window_name) const;

  // Sends and waits at most `limit` for the window's result. Nothing when no
  // such window is on the bus, it refuses the message or the time runs out.
  std::optional<LRESULT> SendTo(std::string_view window_name, const WindowMessage& message,
                                std::chrono::milliseconds limit) const;
  // True once the message is on its way to the window; it is handled later.
  bool PostTo(std::string_view window_name, const WindowMessage& message) const;
  // Posts to every window on the bus except `except`; returns how many took it.
  int Broadcast(const WindowMessage& message, std::string_view except = {}) const;

  // The windows on the bus, sorted; stale sockets of ended programs included.
  std::vector<std::string> WindowNames() const;

 private:
  std::filesystem::path folder_;
};

inline constexpr std::string_view kBusSocketSuffix = ".sock";

}  // namespace brontal
