#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/unique_fd.h"

namespace brontal::test {

// An HTTP server on 127.0.0.1 for client tests. It serves one connection at a
// time: reads one request, sends what the handler returns, closes.
class LoopbackHttpServer {
 public:
  // Gets the whole request, head and body, and returns the raw answer.
  using Handler = std::function<std::string(const std::string& request)>;

  explicit LoopbackHttpServer(Handler handler);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by path.
  std::string Url(std::string_view path) const;
  std::vector<std::string> Requests() const;

 private:
  void Serve();

  Handler handler_;
  std::uint16_t port_ = 0;  // before listener_, whose initialiser sets it
  UniqueFd listener_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::jthread thread_;
};

// The status line and header lines (each ending in "\r\n") with
// "Connection: close" and the blank line added, then the body.
std::string CannedResponse(std::string_view status_and_headers, std::string_view body = {});
// "200 OK" with the body and its Content-Length.
std::string OkResponse(std::string_view body);
// The first line of a request, e.g. "GET /file HTTP/1.1".
std::string RequestLine(const std::string& request);

// A listening socket on 127.0.0.1; port receives its number.
UniqueFd ListenOnLoopback(std::uint16_t& port);
// A port on 127.0.0.1 where nothing listens.
std::uint16_t ClosedPort();

}  // namespace brontal::test
