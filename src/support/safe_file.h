#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace brontal {

// Reads a whole regular file (links followed) of at most max_bytes. Never
// blocks: a folder, a FIFO, a socket or a device is refused without reading.
// On refusal `error` says why in words that follow the file's name, e.g.
// "is a folder", "is larger than 65536 bytes" or the system's reason, and
// `contents` is empty.
bool ReadRegularFile(const std::filesystem::path& path, std::size_t max_bytes, std::string& contents,
                     std::string& error);

// The same checks by the file's status alone, for files that another library
// opens (images): empty when the file is a regular one of at most max_bytes.
std::string RegularFileProblem(const std::filesystem::path& path, std::size_t max_bytes);

}  // namespace brontal
