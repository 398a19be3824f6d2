#include "ui/controls/named_parts.h"

#include "ui/toolkit/control.h"

namespace brontal {

CControlUI* NamedParts::Get(std::string_view name) {
  auto it = cache_.find(name);
  if (it == cache_.end()) it = cache_.emplace(std::string(name), Cached{}).first;
  Cached& cached = it->second;
  if (!cached.life.expired()) return cached.control;
  CControlUI* found = find_(name);
  cached.control = found;
  cached.life = found ? found->LifeToken() : std::weak_ptr<const void>();
  return found;
}

}  // namespace brontal
