#pragma once

#include <filesystem>
#include <string>

namespace brontal {

// The per-user runtime folder that holds the bus's sockets and the
// single-instance lock. Only a real folder of this user that nobody else may
// enter is used: whoever could write into it could pose as any window.

// Makes the folder (mode 0700) when it is missing, then checks it. False, with
// the reason, when it cannot be made or fails the check.
bool PreparePrivateFolder(const std::filesystem::path& folder, std::string& error);

// The check alone: a folder, not a link, owned by this user, no access for
// group or others.
bool IsPrivateFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace brontal
