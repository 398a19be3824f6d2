#pragma once

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/brontalctl.h"

namespace brontal::test {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

inline CliResult RunCli(std::initializer_list<std::string_view> args) {
  std::ostringstream out, err;
  const std::vector<std::string_view> list(args);
  const int status = RunBrontalctl(list, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace brontal::test
