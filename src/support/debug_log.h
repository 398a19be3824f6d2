#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace brontal {

// The program's debug log: one line per entry, safe to call from any thread.
// By default it appends to "debug.log" in the user's state folder (the previous
// log is kept as "debug.log.1" once it grows past a few MiB); BRONTAL_TRACE=FILE
// writes to FILE instead, BRONTAL_TRACE=- to standard error and BRONTAL_TRACE=off
// (any case) nowhere. A log that cannot be written (a FIFO, a folder, no
// permission) is said once on standard error and the program goes on without.
void Trace(std::string_view line);
// Several lines as one entry: written together, never split by another thread's.
void TraceLines(std::initializer_list<std::string_view> lines);

// Replaces the destination for the life of the object (tests read the lines).
class ScopedTraceSink {
 public:
  using Sink = std::function<void(std::string_view line)>;
  explicit ScopedTraceSink(Sink sink);
  ~ScopedTraceSink();
  ScopedTraceSink(const ScopedTraceSink&) = delete;
  ScopedTraceSink& operator=(const ScopedTraceSink&) = delete;

 private:
  Sink previous_;
};

}  // namespace brontal
