#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "update/http_client.h"
#include "update/update_row.h"

// Packages are fetched and given to the user, never run: the service signs
// nothing, and its packages are Windows installers. The user gets the file,
// its size and its SHA-256 in a private folder and decides.
namespace brontal {

// Larger is no package of ours, and would only fill the disk.
inline constexpr std::uint64_t kLargestPackage = 1ull << 30;

// $XDG_CACHE_HOME/Brontal Driver/UpdateData (~/.cache when unset), made
// private (0700) when missing. nullopt, with the reason, when it cannot be
// made or is not this user's private folder.
std::optional<std::filesystem::path> PrepareUpdateDataFolder(std::string& problem);
std::filesystem::path UpdateDataFolder();

// The service's "name" as a file name: letters, digits, "-", "_" and "."
// stay, anything else (path separators, "..", control bytes) becomes "_";
// leading dots go, so the file is neither hidden nor outside the folder.
// "package" when nothing is left. Ends in ".exe": it is a Windows installer.
std::string SafePackageFileName(std::string_view name);

// Lower-case hexadecimal SHA-256 of the file; empty when it cannot be read.
std::string FileSha256(const std::filesystem::path& path);

struct PackageFetch {
  std::optional<HandedOverPackage> package;
  std::string problem;  // why there is no package
};

// Downloads an https package into folder under its safe name, with progress
// reports (total 0 at the end of a failure) and the client's size and
// certificate checks. A plain http address is refused before anything is
// sent. A failed or stopped download keeps nothing. The package comes back
// without its digest.
PackageFetch DownloadPackage(HttpClient& client, std::string_view url, std::string_view name,
                             const std::filesystem::path& folder, const DownloadProgress& progress, int row,
                             std::stop_token stop = {});

// Adds the digest of the downloaded file; a file that changed size or cannot
// be read is removed and refused.
PackageFetch HandOverPackage(HandedOverPackage downloaded);

// Both steps.
PackageFetch FetchPackage(HttpClient& client, std::string_view url, std::string_view name,
                          const std::filesystem::path& folder, const DownloadProgress& progress, int row,
                          std::stop_token stop = {});

// A file:// address of a local folder, for the desktop's file manager.
std::string FolderUrl(const std::filesystem::path& folder);

}  // namespace brontal
