#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace brontal {

// Far above any file of the user's folders (the largest factory profile is
// under 20 KiB); a larger file is not one of ours and not worth the memory.
inline constexpr std::size_t kLargestUserFile = 16u << 20;

// The whole file; empty when it is missing, unreadable, not a regular file
// (a folder, a FIFO, a device) or larger than kLargestUserFile.
std::string ReadFileContents(const std::filesystem::path& path);
// The same, with the reason for a refusal in `error` ("is a folder", ...).
bool ReadFileContents(const std::filesystem::path& path, std::string& contents, std::string& error);

// Replaces the file at path with contents: they go to a new file in the same
// folder, which takes the old file's name only once it is complete. A crash
// or a full disk therefore leaves either the old file or the new one, never a
// part. False when anything failed; the old file is then untouched.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view contents);

}  // namespace brontal
