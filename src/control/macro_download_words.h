#pragma once

#include <optional>
#include <string>

#include "macros/macro_download.h"

namespace brontal {

// What brontalctl says of a macro download the user must hear about: the
// reason the key table was not written after it. Nothing when it went through.
std::optional<std::string> MacroDownloadProblem(const MacroDownloadResult& result);

}  // namespace brontal
