#pragma once

#include <cstdint>
#include <string_view>

namespace brontal {

// Process-wide table of named window messages: the first registration of a
// name takes the next free number from 0xC000 upward and every later one, from
// any module or thread, gets the same number back. Names are case-sensitive.
// Programs on the local message bus exchange the names, never the numbers.
std::uint32_t RegisterWindowMessage(std::string_view name);

inline constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

}  // namespace brontal
