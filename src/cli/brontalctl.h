#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace brontal {

// Exit statuses in the usual form.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// The command line tool; `args` excludes the program name.
int RunBrontalctl(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace brontal
