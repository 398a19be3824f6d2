#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

namespace brontal {

// The skin's Qt style sheet is the file "style.qss" in the skin folder. Its
// url(...) references are paths below the skin folder, like the images of the
// layouts.
inline constexpr const char* kSkinStyleSheetFile = "style.qss";

// The sheet with its references made absolute; an empty sheet when the skin
// has none; nothing, with the reason, when the file cannot be read.
std::optional<QString> LoadSkinStyleSheet(const std::filesystem::path& skin_folder, std::string& error);

// Qt takes relative references from the working folder; these become absolute
// paths below `skin_folder`. Absolute paths, Qt resources (":/...") and search
// path prefixes ("name:...") stay as they are.
QString ResolveSkinUrls(const QString& sheet, const std::filesystem::path& skin_folder);

}  // namespace brontal
