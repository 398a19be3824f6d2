#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A row of the update list and the update page's own state.
namespace brontal {

enum class RowState : int {
  kNothingOffered = 0,
  kOffered = 1,
  kOfferedAgain = 2,
  kWaiting = 3,
  kDownloading = 4,
  // A package fetched, checked and handed to the user. Rows stop here: the
  // program never runs a package, so it never knows it was installed.
  kHandedOver = 5,
  kInstalling = 6,
  kCurrent = 7,
  kFailed = 8,
};

enum class PageState : int { kChecking = 0, kOffered = 1, kNoService = 2, kDownloading = 3, kCurrent = 4 };

// The resource text a row shows in each state.
std::string_view RowStateText(RowState state);
// The resource text of the page's status line.
std::string_view PageStateText(PageState state);

// What the user is given instead of an installation.
struct HandedOverPackage {
  std::filesystem::path path;
  std::uint64_t size = 0;
  std::string sha256;  // lower-case hexadecimal
};

struct UpdateRow {
  std::string name;
  std::string installed_text;
  std::string offered_text;
  std::string package_url;
  std::string package_name;  // the service's "name"; made safe before it names a file
  int device_id = 0;
  RowState state = RowState::kCurrent;
  bool checked = false;
  bool check_enabled = false;
  int percent = 0;
  std::optional<HandedOverPackage> package;
};

// The share of total in whole percent, 0 while the total is unknown (0).
int PercentOf(std::uint64_t received, std::uint64_t total);

}  // namespace brontal
