#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "control/device_request.h"
#include "support/unique_fd.h"

namespace brontal {

class MessageLoop;

// Where the program that owns this user's devices takes brontalctl's device
// commands: a stream socket in the user's private runtime folder (not a
// window of the message bus). One request per connection: the request, the
// client's end of writing, the reply, the server's close.
std::filesystem::path DeviceControlSocketPath();

// The status of a reply that says "not here": the server runs on another bus.
inline constexpr int kNotThisBus = -1;

// The desktop program's side. A thread accepts connections of this user only
// and hands each request to `handler` on the loop's thread; the handler
// answers once, now or later, and the thread writes the answer back. The
// loop thread never waits for a client.
class DeviceControlServer {
 public:
  using Handler = std::function<void(const DeviceRequest&, std::function<void(DeviceReply)>)>;

  // Nothing, with the reason, when the socket cannot be made or another live
  // program serves it.
  static std::unique_ptr<DeviceControlServer> Start(MessageLoop& loop, Handler handler, std::string& error,
                                                    std::filesystem::path path = DeviceControlSocketPath());
  // Stops the thread (an answer still awaited is dropped) and removes the socket.
  ~DeviceControlServer();
  DeviceControlServer(const DeviceControlServer&) = delete;
  DeviceControlServer& operator=(const DeviceControlServer&) = delete;

 private:
  struct Shared;
  DeviceControlServer(MessageLoop& loop, Handler handler, std::filesystem::path path, UniqueFd listener, UniqueFd wake);
  void Serve(std::stop_token stop);
  void Answer(int connection, std::stop_token stop);

  MessageLoop& loop_;
  std::shared_ptr<Shared> shared_;  // the handler, alive while the server is
  const std::filesystem::path path_;
  const UniqueFd listener_;
  const UniqueFd wake_;
  std::jthread thread_;
};

// brontalctl's side: the reply of the program that owns the devices, or
// nothing when no such program listens (or it runs on another bus).
std::optional<DeviceReply> SendDeviceRequest(const DeviceRequest& request,
                                             std::filesystem::path path = DeviceControlSocketPath());

}  // namespace brontal
