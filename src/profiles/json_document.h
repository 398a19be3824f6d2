#pragma once

#include <json/json.h>

#include <filesystem>
#include <string_view>

namespace brontal {

// Parses a whole document, comments allowed; text that is empty or not JSON
// gives a null value.
Json::Value ParseJsonDocument(std::string_view text);

// Reads and parses a whole file. A file that is missing, unreadable, empty,
// not a regular file, larger than kLargestUserFile or not JSON reads as null,
// so callers fall back alike for all of them. "{}" reads as an empty object.
Json::Value ReadJsonDocument(const std::filesystem::path& path);

// The document in the library's styled form (indented, one member per line)
// followed by a line end. Text outside ASCII is written as \u escapes, and
// invalid UTF-8 as U+FFFD, so the file is always valid JSON.
std::string FormatJsonDocument(const Json::Value& document);

// Replaces the file with the formatted document (atomically, see
// ReplaceFileContents). False when it could not be written.
bool WriteJsonDocument(const std::filesystem::path& path, const Json::Value& document);

}  // namespace brontal
