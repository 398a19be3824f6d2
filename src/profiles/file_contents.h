#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brontal {

// The whole file; empty when it is missing, unreadable, not a regular file,
// implausibly large, or shorter than its size claimed.
std::string ReadFileContents(const std::filesystem::path& path);

// Replaces the file at path with contents: they go to a new file in the same
// folder, which takes the old file's name only once it is complete. A crash
// or a full disk therefore leaves either the old file or the new one, never a
// part. False when anything failed; the old file is then untouched.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view contents);

}  // namespace brontal
