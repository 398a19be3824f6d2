#pragma once

#include <string_view>

namespace brontal {

// Whether a name read from a file that anyone may edit can serve as the stem
// of a file in the same folder: a separator would reach outside it, and a NUL
// would cut the name short of its extension. (".." is harmless: the
// extension always follows it.)
inline bool IsPlainFileStem(std::string_view name) {
  constexpr std::string_view kUnsafe("/\\\0", 3);
  return !name.empty() && name.find_first_of(kUnsafe) == std::string_view::npos;
}

}  // namespace brontal
