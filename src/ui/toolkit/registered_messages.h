#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brontal {

// Process-wide table of named window messages: the first registration of a
// name takes the next free number from 0xC000 upward and every later one, from
// any module or thread, gets the same number back. Names are case-sensitive.
// Programs on the local message bus exchange the names, never the numbers.
std::uint32_t RegisterWindowMessage(std::string_view name);

// Lookups that never register: the number of a name registered here, and the
// name of a registered number.
std::optional<std::uint32_t> FindWindowMessage(std::string_view name);
std::optional<std::string> WindowMessageName(std::uint32_t number);

inline constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

}  // namespace brontal
