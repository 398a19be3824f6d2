#include "ui/toolkit/registered_messages.h"

#include <map>
#include <mutex>
#include <vector>

namespace brontal {
namespace {

struct MessageTable {
  std::mutex mutex;
  std::map<std::string, std::uint32_t, std::less<>> numbers;
  std::vector<const std::string*> names;  // by number - kFirstRegisteredMessage; map keys never move
};

// Function-local so that registrations from other modules' static
// initialisers find the table already built.
MessageTable& Table() {
  static MessageTable table;
  return table;
}

}  // namespace

std::uint32_t RegisterWindowMessage(std::string_view name) {
  MessageTable& table = Table();
  std::scoped_lock lock(table.mutex);
  if (const auto it = table.numbers.find(name); it != table.numbers.end()) return it->second;
  const auto number = static_cast<std::uint32_t>(kFirstRegisteredMessage + table.names.size());
  table.names.push_back(&table.numbers.emplace(name, number).first->first);
  return number;
}

std::optional<std::uint32_t> FindWindowMessage(std::string_view name) {
  MessageTable& table = Table();
  std::scoped_lock lock(table.mutex);
  const auto it = table.numbers.find(name);
  if (it == table.numbers.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> WindowMessageName(std::uint32_t number) {
  MessageTable& table = Table();
  std::scoped_lock lock(table.mutex);
  if (number < kFirstRegisteredMessage || number - kFirstRegisteredMessage >= table.names.size()) return std::nullopt;
  return *table.names[number - kFirstRegisteredMessage];
}

}  // namespace brontal
