#include "support/debug_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>

#include "support/unique_fd.h"
#include "support/user_folders.h"

namespace brontal {
namespace {

constexpr std::uintmax_t kRotateSize = 4u << 20;

struct LogState {
  std::mutex mutex;
  bool opened = false;
  std::FILE* file = nullptr;
  bool owns_file = false;
  ScopedTraceSink::Sink override_sink;

  ~LogState() {
    if (owns_file && file) std::fclose(file);
  }
};

LogState& State() {
  static LogState state;
  return state;
}

// Appends to path; nullptr, with the reason, for anything but a regular file
// or a terminal-like device. O_NONBLOCK keeps a FIFO without a reader from
// blocking the open (ENXIO); a FIFO with one is refused too, since a reader
// that stops reading would stall every thread that traces.
std::FILE* OpenLogFile(const std::filesystem::path& path, std::string& error) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
  struct stat info {};
  if (!fd && errno == ENXIO) {
    error = "is a FIFO, which could block the program";
    return nullptr;
  }
  if (!fd && errno == EISDIR) {
    error = "is a folder";
    return nullptr;
  }
  if (!fd || ::fstat(fd.get(), &info) != 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
    error = "is a FIFO, which could block the program";
    return nullptr;
  }
  if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file";
    return nullptr;
  }
  // Blocking again: a terminal that cannot take a line at once must not lose it.
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd.get(), "a");
  if (!file) {
    error = std::strerror(errno);
    return nullptr;
  }
  fd.release();
  return file;
}

std::FILE* OpenDefaultLog(std::string& error, std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder = UserStateFolder();
  fs::create_directories(folder, ec);  // a failure shows in the open below
  path = folder / "debug.log";
  if (fs::file_size(path, ec) > kRotateSize && !ec) fs::rename(path, folder / "debug.log.1", ec);
  return OpenLogFile(path, error);
}

bool IsOff(std::string_view target) {
  return target.size() == 3 && std::tolower(static_cast<unsigned char>(target[0])) == 'o' &&
         std::tolower(static_cast<unsigned char>(target[1])) == 'f' &&
         std::tolower(static_cast<unsigned char>(target[2])) == 'f';
}

// Called with the mutex held, once per process: the reason a log cannot be
// written is said once, and the program goes on without one.
void OpenDestination(LogState& s) {
  s.opened = true;
  const char* target = std::getenv("BRONTAL_TRACE");
  const std::string_view t = target ? target : "";
  if (IsOff(t)) return;
  if (t == "-") {
    s.file = stderr;
    return;
  }
  std::string error;
  if (t.empty()) {
    std::filesystem::path path;
    s.file = OpenDefaultLog(error, path);
    if (!s.file) std::fprintf(stderr, "brontal: debug log %s: %s; no debug log\n", path.c_str(), error.c_str());
  } else {
    s.file = OpenLogFile(target, error);
    if (!s.file) std::fprintf(stderr, "brontal: BRONTAL_TRACE=%s: %s; no debug log\n", target, error.c_str());
  }
  s.owns_file = s.file != nullptr;
}

}  // namespace

void Trace(std::string_view line) { TraceLines({line}); }

void TraceLines(std::initializer_list<std::string_view> lines) {
  LogState& s = State();
  std::scoped_lock lock(s.mutex);
  if (s.override_sink) {
    for (std::string_view line : lines) s.override_sink(line);
    return;
  }
  if (!s.opened) OpenDestination(s);
  if (!s.file) return;
  for (std::string_view line : lines) {
    std::fwrite(line.data(), 1, line.size(), s.file);
    std::fputc('\n', s.file);
  }
  std::fflush(s.file);
}

ScopedTraceSink::ScopedTraceSink(Sink sink) {
  LogState& s = State();
  std::scoped_lock lock(s.mutex);
  previous_ = std::move(s.override_sink);
  s.override_sink = std::move(sink);
}

ScopedTraceSink::~ScopedTraceSink() {
  LogState& s = State();
  std::scoped_lock lock(s.mutex);
  s.override_sink = std::move(previous_);
}

}  // namespace brontal
