#include "support/debug_log.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

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

std::FILE* OpenDefaultLog() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path folder = UserStateFolder();
  fs::create_directories(folder, ec);
  const fs::path path = folder / "debug.log";
  if (fs::file_size(path, ec) > kRotateSize && !ec) fs::rename(path, folder / "debug.log.1", ec);
  return std::fopen(path.c_str(), "a");
}

// Called with the mutex held.
void OpenDestination(LogState& s) {
  s.opened = true;
  const char* target = std::getenv("BRONTAL_TRACE");
  const std::string_view t = target ? target : "";
  if (t == "off") return;
  if (t == "-") {
    s.file = stderr;
    return;
  }
  s.file = t.empty() ? OpenDefaultLog() : std::fopen(target, "a");
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
