#include "update/loopback_http_server.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>
#include <vector>

namespace brontal::test {
namespace {

UniqueFd BoundLoopbackSocket(std::uint16_t& port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (!fd || ::bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("cannot bind a loopback socket");
  port = ntohs(address.sin_port);
  return fd;
}

// Head up to the blank line, then as many body bytes as Content-Length says.
std::string ReadRequest(int fd) {
  std::string request;
  char block[4096];
  std::size_t wanted = std::string::npos;
  while (request.size() < wanted) {
    const ssize_t n = ::recv(fd, block, sizeof block, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    request.append(block, static_cast<std::size_t>(n));
    const std::size_t head_end = request.find("\r\n\r\n");
    if (wanted != std::string::npos || head_end == std::string::npos) continue;
    std::string head = request.substr(0, head_end);
    std::ranges::transform(head, head.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::size_t field = head.find("\r\ncontent-length:");
    wanted = head_end + 4 + (field == std::string::npos ? 0 : std::stoul(head.substr(field + 17)));
  }
  return request;
}

void SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    // A client that hung up early must not kill the test with SIGPIPE.
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

UniqueFd ListenOnLoopback(std::uint16_t& port) {
  UniqueFd fd = BoundLoopbackSocket(port);
  if (::listen(fd.get(), 8) != 0) throw std::runtime_error("cannot listen on a loopback socket");
  return fd;
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler)
    : handler_(std::move(handler)), listener_(ListenOnLoopback(port_)) {
  thread_ = std::jthread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  // Wakes the blocked accept(), which then fails and ends the thread.
  ::shutdown(listener_.get(), SHUT_RDWR);
  thread_.join();
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> LoopbackHttpServer::Requests() const {
  std::scoped_lock lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::Serve() {
  for (;;) {
    UniqueFd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    const std::string request = ReadRequest(connection.get());
    {
      std::scoped_lock lock(mutex_);
      requests_.push_back(request);
    }
    SendAll(connection.get(), handler_(request));
    ::shutdown(connection.get(), SHUT_WR);
  }
}

std::string CannedResponse(std::string_view status_and_headers, std::string_view body) {
  return std::string(status_and_headers) + "Connection: close\r\n\r\n" + std::string(body);
}

std::string OkResponse(std::string_view body) {
  return CannedResponse("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n", body);
}

std::string RequestLine(const std::string& request) { return request.substr(0, request.find("\r\n")); }

std::uint16_t ClosedPort() {
  // Bound but never listening, for the rest of the process: connections are
  // refused, and no test process running meanwhile can take the port.
  static std::vector<UniqueFd> held;
  std::uint16_t port = 0;
  held.push_back(BoundLoopbackSocket(port));
  return port;
}

}  // namespace brontal::test
