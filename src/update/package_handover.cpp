#include "update/package_handover.h"

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <memory>

#include "support/private_folder.h"
#include "support/user_folders.h"

namespace brontal {
namespace {

constexpr std::size_t kLongestName = 100;

bool IsSafe(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

}  // namespace

std::filesystem::path UpdateDataFolder() { return UserCacheFolder() / "UpdateData"; }

std::optional<std::filesystem::path> PrepareUpdateDataFolder(std::string& problem) {
  const std::filesystem::path folder = UpdateDataFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder.parent_path(), ec);
  if (ec) {
    problem = "cannot make " + folder.parent_path().string() + ": " + ec.message();
    return std::nullopt;
  }
  if (!PreparePrivateFolder(folder, problem)) return std::nullopt;
  return folder;
}

std::string SafePackageFileName(std::string_view name) {
  std::string safe;
  for (const char c : name.substr(0, kLongestName)) safe.push_back(IsSafe(c) ? c : '_');
  safe.erase(0, safe.find_first_not_of('.'));
  if (safe.empty()) safe = "package";
  return safe + ".exe";
}

std::string FileSha256(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!in || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return "";
  std::array<char, 1 << 16> block;
  while (in) {
    in.read(block.data(), block.size());
    if (in.gcount() > 0 && EVP_DigestUpdate(context.get(), block.data(), static_cast<std::size_t>(in.gcount())) != 1)
      return "";
  }
  if (!in.eof()) return "";
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest;
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1) return "";
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) text += {kHex[digest[i] >> 4], kHex[digest[i] & 15]};
  return text;
}

PackageFetch DownloadPackage(HttpClient& client, std::string_view url, std::string_view name,
                             const std::filesystem::path& folder, const DownloadProgress& progress, int row,
                             std::stop_token stop) {
  PackageFetch fetch;
  // What is handed over must at least come from the service it claims to.
  if (!url.starts_with("https://")) {
    fetch.problem = "the package address is not https: " + std::string(url);
    progress(0, 0, row);
    return fetch;
  }
  const std::filesystem::path path = folder / SafePackageFileName(name);
  std::uint64_t total = 0;
  client.DownloadFile(
      url, path,
      [&](std::uint64_t t, std::uint64_t received, int r) {
        total = t;
        progress(t, received, r);
      },
      row, stop, kLargestPackage);
  if (total == 0) {
    fetch.problem = stop.stop_requested() ? "the download was stopped"
                                          : "the download failed (error " + std::to_string(client.LastError()) + ")";
    return fetch;
  }
  fetch.package = HandedOverPackage{path, total, ""};
  return fetch;
}

PackageFetch HandOverPackage(HandedOverPackage downloaded) {
  PackageFetch fetch;
  std::error_code ec;
  const std::uint64_t size = std::filesystem::file_size(downloaded.path, ec);
  downloaded.sha256 = ec || size != downloaded.size ? "" : FileSha256(downloaded.path);
  if (downloaded.sha256.empty()) {
    fetch.problem = "the downloaded file " + downloaded.path.string() + " cannot be read back";
    std::filesystem::remove(downloaded.path, ec);
    return fetch;
  }
  fetch.package = std::move(downloaded);
  return fetch;
}

PackageFetch FetchPackage(HttpClient& client, std::string_view url, std::string_view name,
                          const std::filesystem::path& folder, const DownloadProgress& progress, int row,
                          std::stop_token stop) {
  PackageFetch fetch = DownloadPackage(client, url, name, folder, progress, row, stop);
  return fetch.package ? HandOverPackage(std::move(*fetch.package)) : fetch;
}

std::string FolderUrl(const std::filesystem::path& folder) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : folder.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsSafe(c) || c == '/' || c == '~') {
      url.push_back(c);
    } else {
      url += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return url;
}

}  // namespace brontal
