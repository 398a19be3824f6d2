#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "support/debug_log.h"

namespace brontal::test {

// Keeps the debug log's lines, from any thread, while it lives.
class TraceRecorder {
 public:
  TraceRecorder()
      : sink_([this](std::string_view line) {
          std::scoped_lock lock(mutex_);
          lines_.emplace_back(line);
        }) {}

  std::vector<std::string> Lines() const {
    std::scoped_lock lock(mutex_);
    return lines_;
  }
  long Count(std::string_view line) const {
    std::scoped_lock lock(mutex_);
    return std::count(lines_.begin(), lines_.end(), line);
  }
  bool Contains(std::string_view text) const {
    std::scoped_lock lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
  }
  long CountStartingWith(std::string_view prefix) const {
    std::scoped_lock lock(mutex_);
    return std::count_if(lines_.begin(), lines_.end(), [&](const std::string& l) { return l.starts_with(prefix); });
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  ScopedTraceSink sink_;  // last: removed before the lines go
};

}  // namespace brontal::test
