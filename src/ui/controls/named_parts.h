#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace brontal {

class CControlUI;

// A panel's controls looked up by name on first use and kept: a control that
// went away since is looked up again rather than left dangling.
class NamedParts {
 public:
  // `find` looks a name up where the panel's controls live.
  explicit NamedParts(std::function<CControlUI*(std::string_view)> find) : find_(std::move(find)) {}

  CControlUI* Get(std::string_view name);

 private:
  struct Cached {
    CControlUI* control = nullptr;
    std::weak_ptr<const void> life;
  };

  std::function<CControlUI*(std::string_view)> find_;
  std::map<std::string, Cached, std::less<>> cache_;
};

}  // namespace brontal
