#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>

// A small synchronous HTTP client on libcurl for the update service. Both
// operations block, so they belong on worker threads. One client serves one
// request at a time; give every thread its own client.
//
// Certificates are always verified (libcurl's defaults, never relaxed): what
// is downloaded is handed to the user as coming from us. Only http and https
// URLs are accepted, and redirects are followed like a browser would, never
// from https down to http.
namespace brontal {

inline constexpr std::size_t kResponseBufferSize = 102400;
// The last byte stays zero, so the response is always a terminated text.
inline constexpr std::size_t kResponseCapacity = kResponseBufferSize - 1;
// SendRequest's buffer text when the request never reached a server.
inline constexpr std::string_view kNoLinkServer = "NO_LINK_SERVER";

// LastError values that are not libcurl's: the numbers callers of this client
// have always seen. They share the number space with CURLcode, where 3 is
// CURLE_URL_MALFORMAT (close in meaning) and 87 an FTP error that http and
// https never give.
inline constexpr int kErrorEmptyUrl = 3;
inline constexpr int kErrorUnsupportedMethod = 87;

// Fixed for the life of a client, so every request starts from the same set.
struct HttpClientSettings {
  std::string user_agent = "WinHTTP Client/1.0";
  // Covers name resolution too: libcurl has no separate resolution limit.
  std::chrono::milliseconds connect_timeout{60000};
  // libcurl has one stall limit for both directions (less than one byte a
  // second, counted in whole seconds); the longer of the two applies.
  std::chrono::milliseconds send_timeout{30000};
  std::chrono::milliseconds receive_timeout{30000};
  // Used only when a request asks for it; libcurl proxy syntax ("host:port",
  // "http://host:port").
  std::string proxy;
  std::string proxy_user;
  std::string proxy_password;
  // Authorities to trust instead of the system's (a PEM file); empty: the system's.
  std::string ca_file;
};

// (total bytes, bytes received, row). A total of 0 means the download failed.
using DownloadProgress = std::function<void(std::uint64_t total, std::uint64_t received, int row)>;

class HttpClient {
 public:
  explicit HttpClient(HttpClientSettings settings = {});

  // Sends a "GET" or "POST" (any case) request with the body and its form
  // headers, and stores up to kResponseCapacity bytes of the response body
  // followed by a zero byte. Returns the number of bytes stored; 0 with
  // kNoLinkServer in the buffer when no server took the request; nullopt when
  // the request could not be prepared (empty URL, other method, malformed URL,
  // other scheme).
  //
  // The first attempt goes out directly, or through the configured proxy when
  // use_configured_proxy is set and one is configured. When it cannot reach a
  // server and the environment names a proxy for the URL's scheme (http_proxy,
  // https_proxy/HTTPS_PROXY, all_proxy/ALL_PROXY; no_proxy honoured), it is
  // sent once more the way libcurl picks from those variables.
  //
  // A stop request ends the request within a second, as if no server took it.
  std::optional<std::size_t> SendRequest(std::string_view method, std::string_view url, std::string_view body,
                                         std::span<char, kResponseBufferSize> response, bool use_configured_proxy,
                                         std::stop_token stop = {});

  // Downloads url to destination without a proxy: a HEAD request gives the
  // total from its Content-Length, then the GET body is written as it comes
  // and reported at most kProgressSteps times (plus the end), so a fast
  // network is never slowed by its listeners. The file grows under a
  // temporary name in the destination folder and replaces the
  // destination only once exactly total bytes arrived; the report of the last
  // piece, progress(total, total, row), comes after that. Any failure, a
  // missing or zero Content-Length included, ends with progress(0, received,
  // row), removes the temporary file and leaves the destination as it was.
  // A stop request ends the download that way within a second
  // (CURLE_ABORTED_BY_CALLBACK); so does an announced size above max_size,
  // before the body is asked for.
  void DownloadFile(std::string_view url, const std::filesystem::path& destination, const DownloadProgress& progress,
                    int row, std::stop_token stop = {}, std::uint64_t max_size = kNoSizeLimit);

  static constexpr std::uint64_t kNoSizeLimit = UINT64_MAX;
  static constexpr std::uint64_t kProgressSteps = 200;

  // 0 after success; kErrorEmptyUrl or kErrorUnsupportedMethod; otherwise the
  // CURLcode of the failure. In downloads, file errors and a body longer than
  // the HEAD total count as CURLE_WRITE_ERROR, a shorter one as
  // CURLE_PARTIAL_FILE, a missing or zero size as CURLE_WEIRD_SERVER_REPLY
  // and one above the limit as CURLE_FILESIZE_EXCEEDED.
  int LastError() const { return last_error_; }

 private:
  bool Download(std::string_view url, const std::filesystem::path& destination, const DownloadProgress& progress,
                int row, std::stop_token stop, std::uint64_t max_size, std::uint64_t& total, std::uint64_t& received);

  HttpClientSettings settings_;
  int last_error_ = 0;
};

}  // namespace brontal
