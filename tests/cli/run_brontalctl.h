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

inline CliResult RunCli(const std::vector<std::string_view>& args) {
  std::ostringstream out, err;
  const int status = RunBrontalctl(args, out, err);
  return {status, out.str(), err.str()};
}

inline CliResult RunCli(std::initializer_list<std::string_view> args) {
  return RunCli(std::vector<std::string_view>(args));
}

// For argument lists a test builds.
inline CliResult RunCli(const std::vector<std::string>& words) {
  return RunCli(std::vector<std::string_view>(words.begin(), words.end()));
}

}  // namespace brontal::test
