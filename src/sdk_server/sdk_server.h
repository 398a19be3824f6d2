#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "sdk_server/client_requests.h"
#include "sdk_server/controller_description.h"
#include "support/unique_fd.h"

namespace brontal {

class MessageLoop;

namespace sdk {

// The devices behind the server. Called on the loop's thread only, where the
// devices live: the server thread never touches them.
class ControllerHost {
 public:
  virtual ~ControllerHost() = default;
  virtual std::size_t ControllerCount() const = 0;
  virtual std::optional<Controller> Describe(std::size_t index) const = 0;
  // A request for a controller that is no longer there is dropped.
  virtual void Apply(std::size_t index, const ControllerRequest& request) = 0;
};

struct ListenAddress {
  std::string host = "127.0.0.1";
  std::uint16_t port = kDefaultPort;  // 0: any free port
};

// The SDK server. One thread owns the sockets: it frames the clients'
// packets, answers what needs no device (the protocol version), and hands
// the rest to the host on the loop's thread, whose answers it writes back. A
// client that sends a malformed or oversized packet, or stops reading its
// replies, is closed; the others go on.
class SdkServer {
 public:
  // Nothing, with the reason, when the address cannot be listened on.
  static std::unique_ptr<SdkServer> Start(MessageLoop& loop, ControllerHost& host, const ListenAddress& address,
                                          std::string& error);
  // Loop thread. Closes every client; tasks still queued for the host are dropped.
  ~SdkServer();
  SdkServer(const SdkServer&) = delete;
  SdkServer& operator=(const SdkServer&) = delete;

  // The port listened on (the one chosen when 0 was asked for).
  std::uint16_t port() const { return port_; }
  // Any thread: every client hears DEVICE_LIST_UPDATED.
  void NotifyDeviceListChanged();
  // Any thread: the clients connected now.
  std::size_t client_count() const;

  struct Shared;

 private:
  SdkServer(MessageLoop& loop, std::shared_ptr<Shared> shared, UniqueFd listener, std::uint16_t port);
  void Serve(std::stop_token stop);

  MessageLoop& loop_;
  std::shared_ptr<Shared> shared_;
  const UniqueFd listener_;
  const std::uint16_t port_;
  std::jthread thread_;  // last: it ends before the members above go
};

}  // namespace sdk
}  // namespace brontal
