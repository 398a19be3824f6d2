#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/brontalctl.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  // The message loop of "monitor" runs on Qt's event loop.
  QCoreApplication application(argc, argv);
  const int status = brontal::RunBrontalctl(args, std::cout, std::cerr);
  // Output that never arrived (a full disk, a closed pipe) is a failure, not a success.
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "brontalctl: the output could not be written: " << std::strerror(errno) << '\n';
    return status == 0 ? 1 : status;
  }
  return status;
}
