#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "cli/commands.h"

// brontalctl update: the update check of the settings window, and a
// package's download, from the command line. Packages are never run.
namespace brontal::update_command {

inline constexpr std::string_view kName = "update";

struct Usage {
  std::string_view usage;  // after "brontalctl "
  std::string_view summary;
};
std::span<const Usage> Usages();

// `args`: the words after "update", options anywhere among them.
int Run(CommandArgs args, std::ostream& out, std::ostream& err);

}  // namespace brontal::update_command
