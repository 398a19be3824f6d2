#include <QCoreApplication>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/brontalctl.h"
#include "support/standard_output.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  // The message loop of "monitor" runs on Qt's event loop.
  QCoreApplication application(argc, argv);
  return brontal::StatusAfterOutput(brontal::RunBrontalctl(args, std::cout, std::cerr), "brontalctl");
}
