#include "control/control_socket.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <future>
#include <vector>

#include "app/bus/bus_socket.h"
#include "control/device_commands.h"
#include "device_access/hid_backend.h"
#include "support/debug_log.h"
#include "support/private_folder.h"
#include "support/user_folders.h"
#include "ui/toolkit/message_loop.h"

namespace brontal {
namespace {

// A reply (a whole `keys --json` listing) fits one packet with room to spare.
constexpr std::size_t kMaxPacket = 192 * 1024;
constexpr std::chrono::seconds kTransferLimit{5};

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::filesystem::path DeviceControlSocketPath() { return UserRuntimeFolder() / "device-control.socket"; }

// What the loop thread's tasks reach: gone with the server, so a task that
// runs after it found nothing to answer.
struct DeviceControlServer::Shared {
  Handler handler;
};

std::unique_ptr<DeviceControlServer> DeviceControlServer::Start(MessageLoop& loop, Handler handler, std::string& error,
                                                                std::filesystem::path path) {
  if (!PreparePrivateFolder(path.parent_path(), error)) return nullptr;
  UniqueFd listener = ListenInPlaceOf(path, error);
  if (!listener) return nullptr;
  UniqueFd wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  if (!wake) {
    error = std::string("eventfd: ") + std::strerror(errno);
    ::unlink(path.c_str());
    return nullptr;
  }
  return std::unique_ptr<DeviceControlServer>(
      new DeviceControlServer(loop, std::move(handler), std::move(path), std::move(listener), std::move(wake)));
}

DeviceControlServer::DeviceControlServer(MessageLoop& loop, Handler handler, std::filesystem::path path,
                                         UniqueFd listener, UniqueFd wake)
    : loop_(loop),
      shared_(std::make_shared<Shared>(Shared{std::move(handler)})),
      path_(std::move(path)),
      listener_(std::move(listener)),
      wake_(std::move(wake)),
      thread_([this](std::stop_token stop) { Serve(stop); }) {}

DeviceControlServer::~DeviceControlServer() {
  thread_.request_stop();
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
  thread_.join();
  shared_.reset();
  ::unlink(path_.c_str());
}

void DeviceControlServer::Serve(std::stop_token stop) {
  while (!stop.stop_requested()) {
    const UniqueFd connection = AcceptConnection(listener_.get(), wake_.get());
    if (!connection) {
      if (stop.stop_requested()) return;
      continue;
    }
    if (!PeerIsThisUser(connection.get())) continue;
    Answer(connection.get(), stop);
  }
}

void DeviceControlServer::Answer(int connection, std::stop_token stop) {
  std::vector<std::uint8_t> packet;
  if (ReceivePacket(connection, packet, kMaxPacket, BusClock::now() + kTransferLimit, wake_.get()) !=
      PacketResult::kDone)
    return;
  DeviceRequest request;
  DeviceReply reply;
  if (!DecodeDeviceRequest(Text(packet), request)) {
    reply = {2, "", "brontal-driver: not a device request\n"};
  } else if (request.bus != HidBus::Identity()) {
    reply.status = kNotThisBus;
  } else {
    auto answer = std::make_shared<std::promise<DeviceReply>>();
    std::future<DeviceReply> future = answer->get_future();
    loop_.Post([weak = std::weak_ptr<Shared>(shared_), request, answer] {
      const std::shared_ptr<Shared> shared = weak.lock();
      if (!shared) return;
      // Answered once, now or after the device's I/O.
      shared->handler(request, [answer, told = std::make_shared<bool>(false)](DeviceReply r) {
        if (std::exchange(*told, true)) return;
        answer->set_value(std::move(r));
      });
    });
    const auto deadline = std::chrono::steady_clock::now() + DeviceRequestTimeLimit(request);
    while (future.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
      if (stop.stop_requested()) return;
      if (std::chrono::steady_clock::now() > deadline) {
        reply = {1, "", "brontal-driver: the device did not finish in time\n"};
        break;
      }
    }
    if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) reply = future.get();
  }
  const std::string text = EncodeDeviceReply(reply);
  if (SendPacket(connection, Bytes(text), BusClock::now() + kTransferLimit) != PacketResult::kDone)
    Trace("device control: the reply did not reach brontalctl");
}

std::optional<DeviceReply> SendDeviceRequest(const DeviceRequest& request, std::filesystem::path path) {
  const UniqueFd connection = ConnectTo(path);
  if (!connection) return std::nullopt;
  if (!PeerIsThisUser(connection.get())) return std::nullopt;
  if (SendPacket(connection.get(), Bytes(EncodeDeviceRequest(request)), BusClock::now() + kTransferLimit) !=
      PacketResult::kDone)
    return std::nullopt;
  std::vector<std::uint8_t> packet;
  const auto limit = DeviceRequestTimeLimit(request) + kTransferLimit;
  if (ReceivePacket(connection.get(), packet, kMaxPacket, BusClock::now() + limit) != PacketResult::kDone)
    return DeviceReply{1, "", "brontalctl: brontal-driver took the request but gave no answer\n"};
  DeviceReply reply;
  if (!DecodeDeviceReply(Text(packet), reply))
    return DeviceReply{1, "", "brontalctl: brontal-driver answered something that is not a reply\n"};
  if (reply.status == kNotThisBus) return std::nullopt;
  return reply;
}

}  // namespace brontal
