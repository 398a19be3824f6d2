#pragma once

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string_view>

namespace brontal {

// A program's exit status once its standard output is flushed: output that
// never arrived (a full disk, a closed pipe) is a failure, not a success.
inline int StatusAfterOutput(int status, std::string_view program) {
  std::cout.flush();
  if (std::cout) return status;
  std::cerr << program << ": the output could not be written: " << std::strerror(errno) << '\n';
  return status == 0 ? 1 : status;
}

}  // namespace brontal
