#pragma once

#include <stdlib.h>

#include <map>
#include <optional>
#include <string>

namespace brontal::test {

// Sets environment variables while the object lives ("" removes one) and puts
// back what they held before.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const std::map<std::string, std::string>& changes) {
    for (const auto& [name, value] : changes) {
      const char* before = ::getenv(name.c_str());
      saved_[name] = before ? std::optional<std::string>(before) : std::nullopt;
      Set(name, value.empty() ? std::nullopt : std::optional(value));
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) Set(name, value);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  static void Set(const std::string& name, const std::optional<std::string>& value) {
    if (value)
      ::setenv(name.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name.c_str());
  }

  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace brontal::test
