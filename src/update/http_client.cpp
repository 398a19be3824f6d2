#include "update/http_client.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>
#include <utility>

#include "support/debug_log.h"
#include "support/unique_fd.h"
#include "support/write_all.h"

namespace brontal {
namespace {

using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;
using ParsedUrl = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

constexpr long kDownloadBufferBytes = 256 * 1024;

Easy NewHandle() {
  // A function-local static, so libcurl's global setup never races.
  static const CURLcode global = curl_global_init(CURL_GLOBAL_DEFAULT);
  return Easy(global == CURLE_OK ? curl_easy_init() : nullptr, &curl_easy_cleanup);
}

bool IsMethod(std::string_view given, std::string_view upper) {
  return std::ranges::equal(given, upper,
                            [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

struct Target {
  std::string url;
  bool https = false;
};

// CURLE_OK when the URL is a well-formed http or https address.
CURLcode CheckUrl(std::string_view text, Target& target) {
  if (text.find('\0') != std::string_view::npos) return CURLE_URL_MALFORMAT;
  target.url.assign(text);
  ParsedUrl parsed(curl_url(), &curl_url_cleanup);
  if (!parsed) return CURLE_OUT_OF_MEMORY;
  char* scheme = nullptr;
  if (curl_url_set(parsed.get(), CURLUPART_URL, target.url.c_str(), 0) != CURLUE_OK ||
      curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK)
    return CURLE_URL_MALFORMAT;
  target.https = curl_strequal(scheme, "https");
  const bool known = target.https || curl_strequal(scheme, "http");
  curl_free(scheme);
  return known ? CURLE_OK : CURLE_UNSUPPORTED_PROTOCOL;
}

void ApplyCommonOptions(CURL* curl, const HttpClientSettings& settings, const Target& target) {
  curl_easy_setopt(curl, CURLOPT_URL, target.url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, settings.user_agent.c_str());
  // Time-outs through signals would land on whichever thread gets them.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // A stopped request must not wait for a name lookup that hangs: the lookup
  // thread is left to end on its own.
  curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connect_timeout.count()));
  const auto stall = std::chrono::ceil<std::chrono::seconds>(std::max(settings.send_timeout, settings.receive_timeout));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stall.count()));
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, target.https ? "https" : "http,https");
  // An empty proxy keeps libcurl from taking one from the environment.
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  if (!settings.ca_file.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, settings.ca_file.c_str());
}

// The update service has always received exactly these, in this order, with
// no space after "Accept:".
HeaderList FormHeaders(std::size_t body_length) {
  const std::string length = "Content-Length: " + std::to_string(body_length);
  // "Expect:" sends nothing; it stops libcurl adding "Expect: 100-continue" to large bodies.
  const char* const lines[] = {length.c_str(), "Content-Type: application/x-www-form-urlencoded",
                               "Accept:application/prs.Drumo.v1+json", "Expect:"};
  HeaderList list(nullptr, &curl_slist_free_all);
  for (const char* line : lines) {
    curl_slist* grown = curl_slist_append(list.get(), line);
    if (!grown) return HeaderList(nullptr, &curl_slist_free_all);
    if (!list) list.reset(grown);  // later appends keep the head
  }
  return list;
}

// The variables libcurl takes a proxy from for the scheme (it ignores
// upper-case HTTP_PROXY on purpose); no_proxy is left to libcurl.
bool EnvironmentNamesProxy(bool https) {
  static constexpr const char* kHttp[] = {"http_proxy", "all_proxy", "ALL_PROXY"};
  static constexpr const char* kHttps[] = {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"};
  const std::span<const char* const> names = https ? std::span<const char* const>(kHttps) : kHttp;
  return std::ranges::any_of(names, [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  });
}

struct ResponseSink {
  std::span<char> room;
  std::size_t stored = 0;
};

std::size_t StoreResponse(char* data, std::size_t, std::size_t count, void* user) {
  auto& sink = *static_cast<ResponseSink*>(user);
  const std::size_t taken = std::min(count, sink.room.size() - sink.stored);
  std::copy_n(data, taken, sink.room.begin() + static_cast<std::ptrdiff_t>(sink.stored));
  sink.stored += taken;
  // Taking less ends the transfer: the rest would be cut anyway.
  return taken;
}

// libcurl calls this once connected, right before the request goes out.
int MarkSent(void* sent, char*, char*, int, int) {
  *static_cast<bool*>(sent) = true;
  return CURL_PREREQFUNC_OK;
}

// A hidden file beside the destination; it disappears unless committed.
class PartFile {
 public:
  explicit PartFile(std::filesystem::path destination) : destination_(std::move(destination)) {
    std::string pattern = (destination_.parent_path() / ("." + destination_.filename().string() + ".XXXXXX")).string();
    fd_.Reset(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd_) path_ = std::move(pattern);
  }
  ~PartFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  int fd() const { return fd_.get(); }
  bool valid() const { return fd_.valid(); }

  // Readable by all, as packages are (the temporary file was the owner's
  // alone). No fsync: it would double the time of a fast download, and
  // nothing runs the file; a crash before the kernel wrote it costs a
  // download to repeat, and the user checks the digest shown afterwards.
  bool Commit() {
    if (::fchmod(fd_.get(), 0644) != 0 || ::close(fd_.release()) != 0 ||
        ::rename(path_.c_str(), destination_.c_str()) != 0)
      return false;
    path_.clear();
    return true;
  }

 private:
  std::filesystem::path destination_;
  std::string path_;
  UniqueFd fd_;
};

struct DownloadSink {
  int fd;
  const DownloadProgress& progress;
  int row;
  std::uint64_t total;
  std::uint64_t received = 0;
  std::uint64_t reported = 0;
};

// libcurl's blocks go straight to the file; listeners hear of a block only
// once a further share of the total has arrived, so the reports cost nothing
// against the transfer whatever its speed.
std::size_t StoreBlock(char* data, std::size_t, std::size_t count, void* user) {
  auto& sink = *static_cast<DownloadSink*>(user);
  // More than the announced size is not the file that was asked for.
  if (count > sink.total - sink.received) return 0;
  if (!WriteAll(sink.fd, {data, count})) return 0;
  sink.received += count;
  const std::uint64_t step = std::max<std::uint64_t>(1, sink.total / HttpClient::kProgressSteps);
  // The last block is reported once the file is in place.
  if (sink.received < sink.total && sink.received - sink.reported >= step) {
    sink.reported = sink.received;
    sink.progress(sink.total, sink.received, sink.row);
  }
  return count;
}

// libcurl calls this at least once a second, also while nothing arrives.
int CheckStop(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::stop_token*>(stop)->stop_requested() ? 1 : 0;
}

void TraceFailure(std::string_view what, std::string_view url, int error) {
  const std::string reason = error == kErrorEmptyUrl            ? "empty URL"
                             : error == kErrorUnsupportedMethod ? "unsupported method"
                                                                : curl_easy_strerror(static_cast<CURLcode>(error));
  Trace("http: " + std::string(what) + " " + std::string(url) + " failed: " + reason);
}

}  // namespace

HttpClient::HttpClient(HttpClientSettings settings) : settings_(std::move(settings)) {}

std::optional<std::size_t> HttpClient::SendRequest(std::string_view method, std::string_view url, std::string_view body,
                                                   std::span<char, kResponseBufferSize> response,
                                                   bool use_configured_proxy, std::stop_token stop) {
  last_error_ = 0;
  const bool post = IsMethod(method, "POST");
  Target target;
  Easy curl = NewHandle();
  HeaderList headers = FormHeaders(body.size());
  if (url.empty())
    last_error_ = kErrorEmptyUrl;
  else if (!post && !IsMethod(method, "GET"))
    last_error_ = kErrorUnsupportedMethod;
  else if (const CURLcode code = CheckUrl(url, target); code != CURLE_OK)
    last_error_ = code;
  else if (!curl || !headers)
    last_error_ = CURLE_OUT_OF_MEMORY;
  if (last_error_ != 0) {
    TraceFailure("request to", url, last_error_);
    return std::nullopt;
  }

  ApplyCommonOptions(curl.get(), settings_, target);
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
  // Without a body pointer libcurl would read the body from standard input.
  curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.empty() ? "" : body.data());
  curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  if (!post) curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, "GET");
  ResponseSink sink{response.first<kResponseCapacity>()};
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, StoreResponse);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
  bool sent = false;
  curl_easy_setopt(curl.get(), CURLOPT_PREREQFUNCTION, MarkSent);
  curl_easy_setopt(curl.get(), CURLOPT_PREREQDATA, &sent);
  curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, CheckStop);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &stop);
  if (use_configured_proxy && !settings_.proxy.empty()) {
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, settings_.proxy.c_str());
    if (!settings_.proxy_user.empty())
      curl_easy_setopt(curl.get(), CURLOPT_PROXYUSERNAME, settings_.proxy_user.c_str());
    if (!settings_.proxy_password.empty())
      curl_easy_setopt(curl.get(), CURLOPT_PROXYPASSWORD, settings_.proxy_password.c_str());
  }

  CURLcode code = curl_easy_perform(curl.get());
  if (!sent && !stop.stop_requested() && EnvironmentNamesProxy(target.https)) {
    // No proxy option at all: libcurl then picks from the environment.
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, nullptr);
    curl_easy_setopt(curl.get(), CURLOPT_PROXYUSERNAME, nullptr);
    curl_easy_setopt(curl.get(), CURLOPT_PROXYPASSWORD, nullptr);
    code = curl_easy_perform(curl.get());
  }

  if (!sent) {
    std::ranges::copy(kNoLinkServer, response.begin());
    response[kNoLinkServer.size()] = '\0';
    last_error_ = code;
    TraceFailure("request to", url, last_error_);
    return 0;
  }
  response[sink.stored] = '\0';
  // A full buffer is the wanted end of a long response, not a failure.
  if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && sink.stored == kResponseCapacity)) {
    last_error_ = code;
    TraceFailure("response from", url, last_error_);
  }
  return sink.stored;
}

void HttpClient::DownloadFile(std::string_view url, const std::filesystem::path& destination,
                              const DownloadProgress& progress, int row, std::stop_token stop, std::uint64_t max_size) {
  last_error_ = 0;
  std::uint64_t total = 0;
  std::uint64_t received = 0;
  const bool done = Download(url, destination, progress, row, stop, max_size, total, received);
  if (!done) TraceFailure("download of", url, last_error_);
  progress(done ? total : 0, received, row);
}

bool HttpClient::Download(std::string_view url, const std::filesystem::path& destination,
                          const DownloadProgress& progress, int row, std::stop_token stop, std::uint64_t max_size,
                          std::uint64_t& total, std::uint64_t& received) {
  Target target;
  Easy curl = NewHandle();
  if (url.empty())
    last_error_ = kErrorEmptyUrl;
  else if (const CURLcode code = CheckUrl(url, target); code != CURLE_OK)
    last_error_ = code;
  else if (!curl)
    last_error_ = CURLE_OUT_OF_MEMORY;
  if (last_error_ != 0) return false;

  ApplyCommonOptions(curl.get(), settings_, target);
  // An error page must never stand in for the package.
  curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, CheckStop);
  curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, &stop);
  curl_easy_setopt(curl.get(), CURLOPT_NOBODY, 1L);
  if (const CURLcode code = curl_easy_perform(curl.get()); code != CURLE_OK) {
    last_error_ = code;
    return false;
  }
  curl_off_t length = -1;
  curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  // Without a size there is no telling a complete file from a cut one.
  if (length <= 0) {
    last_error_ = CURLE_WEIRD_SERVER_REPLY;
    return false;
  }
  if (static_cast<std::uint64_t>(length) > max_size) {
    last_error_ = CURLE_FILESIZE_EXCEEDED;
    return false;
  }

  PartFile part(destination);
  if (!part.valid()) {
    last_error_ = CURLE_WRITE_ERROR;
    return false;
  }
  DownloadSink sink{part.fd(), progress, row, static_cast<std::uint64_t>(length)};
  curl_easy_setopt(curl.get(), CURLOPT_HTTPGET, 1L);
  // Larger reads than libcurl's 16 KiB: fewer calls per megabyte, as the curl program does.
  curl_easy_setopt(curl.get(), CURLOPT_BUFFERSIZE, kDownloadBufferBytes);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, StoreBlock);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
  const CURLcode code = curl_easy_perform(curl.get());
  received = sink.received;
  if (code != CURLE_OK)
    last_error_ = code;
  else if (received != sink.total)
    last_error_ = CURLE_PARTIAL_FILE;
  else if (!part.Commit())
    last_error_ = CURLE_WRITE_ERROR;
  if (last_error_ != 0) return false;
  total = sink.total;
  return true;
}

}  // namespace brontal
