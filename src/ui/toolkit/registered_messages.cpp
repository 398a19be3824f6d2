#include "ui/toolkit/registered_messages.h"

#include <map>
#include <mutex>
#include <string>

namespace brontal {

std::uint32_t RegisterWindowMessage(std::string_view name) {
  // Function-local so that registrations from other modules' static
  // initialisers find the table already built.
  static std::mutex mutex;
  static std::map<std::string, std::uint32_t, std::less<>> numbers;
  std::scoped_lock lock(mutex);
  if (const auto it = numbers.find(name); it != numbers.end()) return it->second;
  const auto number = static_cast<std::uint32_t>(kFirstRegisteredMessage + numbers.size());
  numbers.emplace(name, number);
  return number;
}

}  // namespace brontal
