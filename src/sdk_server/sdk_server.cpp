#include "sdk_server/sdk_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "sdk_server/packet_reader.h"
#include "support/debug_log.h"
#include "ui/toolkit/message_loop.h"

namespace brontal::sdk {
namespace {

// A client that lets this much of our replies pile up is not reading them.
constexpr std::size_t kMaxUnsent = 4 * 1024 * 1024;
constexpr std::size_t kReadChunk = 64 * 1024;
// A client's requests waiting for the loop thread. Past this its socket is
// not read until they have run: a flood cannot bury the window's loop.
constexpr int kMostWaitingTasks = 256;

std::vector<std::uint8_t> U32Data(std::uint32_t value) {
  ByteWriter out;
  out.U32(value);
  return out.Take();
}

// The first four bytes of a request's data as a number; 0 without them
// (clients of the first protocol send no version).
std::uint32_t LeadingU32(const std::vector<std::uint8_t>& data) {
  ByteReader in(data);
  return in.U32().value_or(0);
}

UniqueFd Listen(const ListenAddress& address, std::uint16_t& port, std::string& error) {
  const std::string host = address.host == "localhost" ? "127.0.0.1" : address.host;
  sockaddr_storage storage{};
  socklen_t length = 0;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
  if (::inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(address.port);
    length = sizeof *v4;
  } else if (::inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(address.port);
    length = sizeof *v6;
  } else {
    error = "'" + address.host + "' is not an IP address";
    return {};
  }
  UniqueFd listener(::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const int on = 1;
  if (!listener || ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&storage), length) != 0 ||
      ::listen(listener.get(), 16) != 0 ||
      ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    error = host + ":" + std::to_string(address.port) + ": " + std::strerror(errno);
    return {};
  }
  port = ntohs(storage.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
  return listener;
}

struct Session {
  UniqueFd socket;
  PacketReader reader;
  std::uint32_t version = 0;
  std::vector<std::uint8_t> unsent;
  std::shared_ptr<std::atomic<int>> waiting = std::make_shared<std::atomic<int>>(0);  // tasks on the loop
};

}  // namespace

// What the loop thread's tasks reach, and the replies on their way to the
// server thread.
struct SdkServer::Shared {
  ControllerHost* host = nullptr;  // loop thread only; null once the server goes
  UniqueFd wake;
  mutable std::mutex mutex;
  std::map<std::uint64_t, std::vector<std::uint8_t>> outboxes;  // guarded; one per open session

  void Wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake.get(), &one, sizeof one);
  }
  // Dropped when the session has closed meanwhile.
  void Queue(std::uint64_t session, const std::vector<std::uint8_t>& packet) {
    {
      std::lock_guard lock(mutex);
      const auto box = outboxes.find(session);
      if (box == outboxes.end()) return;
      box->second.insert(box->second.end(), packet.begin(), packet.end());
    }
    Wake();
  }
};

std::unique_ptr<SdkServer> SdkServer::Start(MessageLoop& loop, ControllerHost& host, const ListenAddress& address,
                                            std::string& error) {
  std::uint16_t port = 0;
  UniqueFd listener = Listen(address, port, error);
  if (!listener) return nullptr;
  auto shared = std::make_shared<Shared>();
  shared->host = &host;
  shared->wake = UniqueFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  if (!shared->wake) {
    error = std::string("eventfd: ") + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<SdkServer>(new SdkServer(loop, std::move(shared), std::move(listener), port));
}

SdkServer::SdkServer(MessageLoop& loop, std::shared_ptr<Shared> shared, UniqueFd listener, std::uint16_t port)
    : loop_(loop),
      shared_(std::move(shared)),
      listener_(std::move(listener)),
      port_(port),
      thread_([this](std::stop_token stop) { Serve(stop); }) {}

SdkServer::~SdkServer() {
  shared_->host = nullptr;
  thread_.request_stop();
  shared_->Wake();
  thread_.join();
}

void SdkServer::NotifyDeviceListChanged() {
  const std::vector<std::uint8_t> packet = EncodePacket(0, PacketId::kDeviceListUpdated);
  {
    std::lock_guard lock(shared_->mutex);
    for (auto& [session, box] : shared_->outboxes) box.insert(box.end(), packet.begin(), packet.end());
  }
  shared_->Wake();
}

std::size_t SdkServer::client_count() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->outboxes.size();
}

namespace {

// Hands `task` to the loop thread, counted against the session.
template <typename Task>
void PostCounted(MessageLoop& loop, const std::shared_ptr<SdkServer::Shared>& shared, const Session& session,
                 Task task) {
  session.waiting->fetch_add(1);
  loop.Post([shared, waiting = session.waiting, task = std::move(task)] {
    task();
    // At the limit the server thread stopped reading this client: now it may again.
    if (waiting->fetch_sub(1) == kMostWaitingTasks) shared->Wake();
  });
}

// Handles one framed packet of `id`'s session; false when the client must go.
bool Handle(MessageLoop& loop, const std::shared_ptr<SdkServer::Shared>& shared, std::uint64_t id, Session& session,
            const Packet& packet) {
  const std::uint32_t device = packet.device;
  switch (static_cast<PacketId>(packet.id)) {
    case PacketId::kRequestProtocolVersion:
      session.version = std::min(LeadingU32(packet.data), kServerProtocolVersion);
      shared->Queue(id, EncodePacket(0, PacketId::kRequestProtocolVersion, U32Data(kServerProtocolVersion)));
      return true;
    case PacketId::kSetClientName: {
      // For the debug log: who drives the lights. The name is the client's own text, cut short.
      const auto end = std::find(packet.data.begin(), packet.data.end(), std::uint8_t{0});
      std::string name(packet.data.begin(), end);
      Trace("sdk server: client \"" + name.substr(0, 64) + "\" connected");
      return true;
    }
    case PacketId::kRequestControllerCount:
      PostCounted(loop, shared, session, [shared, id] {
        if (!shared->host) return;
        const auto count = static_cast<std::uint32_t>(shared->host->ControllerCount());
        shared->Queue(id, EncodePacket(0, PacketId::kRequestControllerCount, U32Data(count)));
      });
      return true;
    case PacketId::kRequestControllerData:
      PostCounted(loop, shared, session, [shared, id, device, version = LeadingU32(packet.data)] {
        if (!shared->host) return;
        // A controller gone since the client counted gets no answer, as with any unknown index.
        if (const std::optional<Controller> controller = shared->host->Describe(device))
          shared->Queue(
              id, EncodePacket(device, PacketId::kRequestControllerData, SerialiseController(*controller, version)));
      });
      return true;
    default: break;
  }
  if (!IsControllerRequest(packet.id)) return true;  // names, profiles, plugins: nothing of ours
  std::optional<ControllerRequest> request = DecodeControllerRequest(packet, session.version);
  if (!request) return false;
  PostCounted(loop, shared, session, [shared, device, request = std::move(*request)] {
    if (shared->host) shared->host->Apply(device, request);
  });
  return true;
}

// False when the client closed or must be closed.
bool ReadFrom(MessageLoop& loop, const std::shared_ptr<SdkServer::Shared>& shared, std::uint64_t id, Session& session) {
  std::array<std::uint8_t, kReadChunk> chunk;
  const ssize_t got = ::recv(session.socket.get(), chunk.data(), chunk.size(), 0);
  if (got < 0) return errno == EAGAIN || errno == EINTR;
  if (got == 0) return false;
  session.reader.Feed(std::span(chunk).first(static_cast<std::size_t>(got)));
  for (;;) {
    PacketReader::Result next = session.reader.Next();
    if (std::holds_alternative<PacketReader::NeedMore>(next)) return true;
    if (std::holds_alternative<PacketReader::Malformed>(next)) {
      Trace("sdk server: a client sent a malformed packet; closed");
      return false;
    }
    if (!Handle(loop, shared, id, session, std::get<Packet>(next))) {
      Trace("sdk server: a client sent a request that does not fit its packet; closed");
      return false;
    }
  }
}

bool WriteTo(Session& session) {
  if (session.unsent.empty()) return true;
  const ssize_t sent = ::send(session.socket.get(), session.unsent.data(), session.unsent.size(), MSG_NOSIGNAL);
  if (sent < 0) return errno == EAGAIN || errno == EINTR;
  session.unsent.erase(session.unsent.begin(), session.unsent.begin() + sent);
  return true;
}

bool KeepsUp(const Session& session) {
  if (session.unsent.size() <= kMaxUnsent) return true;
  Trace("sdk server: a client does not read its replies; closed");
  return false;
}

}  // namespace

void SdkServer::Serve(std::stop_token stop) {
  std::map<std::uint64_t, Session> sessions;
  std::uint64_t next_id = 1;
  std::vector<pollfd> polled;
  while (!stop.stop_requested()) {
    {
      std::lock_guard lock(shared_->mutex);
      for (auto& [id, session] : sessions) {
        std::vector<std::uint8_t>& box = shared_->outboxes[id];
        session.unsent.insert(session.unsent.end(), box.begin(), box.end());
        box.clear();
      }
    }
    polled.assign({{listener_.get(), POLLIN, 0}, {shared_->wake.get(), POLLIN, 0}});
    for (const auto& [id, session] : sessions) {
      const bool reading = session.waiting->load() < kMostWaitingTasks;
      polled.push_back({session.socket.get(),
                        static_cast<short>((reading ? POLLIN : 0) | (session.unsent.empty() ? 0 : POLLOUT)), 0});
    }
    if (::poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR) break;
    if (polled[1].revents & POLLIN) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t n = ::read(shared_->wake.get(), &count, sizeof count);
    }
    std::vector<std::uint64_t> closing;
    std::size_t at = 2;
    for (auto& [id, session] : sessions) {
      const short events = polled[at++].revents;
      const bool alive = (!(events & (POLLIN | POLLHUP | POLLERR)) || ReadFrom(loop_, shared_, id, session)) &&
                         (!(events & POLLOUT) || WriteTo(session)) && KeepsUp(session);
      if (!alive) closing.push_back(id);
    }
    if (!closing.empty()) {
      std::lock_guard lock(shared_->mutex);
      for (std::uint64_t id : closing) {
        shared_->outboxes.erase(id);
        sessions.erase(id);
      }
    }
    if (polled[0].revents & POLLIN) {
      UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
      if (client) {
        std::lock_guard lock(shared_->mutex);
        shared_->outboxes[next_id];
        Session session;
        session.socket = std::move(client);
        sessions.emplace(next_id++, std::move(session));
      }
    }
  }
}

}  // namespace brontal::sdk
