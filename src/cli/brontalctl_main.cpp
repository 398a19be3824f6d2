#include <iostream>
#include <string_view>
#include <vector>

#include "cli/brontalctl.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return brontal::RunBrontalctl(args, std::cout, std::cerr);
}
