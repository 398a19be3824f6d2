#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "update/http_client.h"

// Asking the update service whether a newer package exists for one component.
namespace brontal {

// What names a product to the update service; taken from the device data.
struct UpdateIdentity {
  std::string brand;
  int first_number = 0;
  std::string text;
  std::string second_text;
  int second_number = 0;
};

// The parts joined with "_" in declaration order; "NULL" without identity.
std::string ApplicationKey(const std::optional<UpdateIdentity>& identity);

// Statuses RequestUpdateInfo gives; other row states belong to the window.
inline constexpr int kUpdateStatusNone = 0;
inline constexpr int kUpdateStatusNeeded = 1;
inline constexpr int kUpdateStatusCurrent = 7;

struct UpdateResult {
  int status = kUpdateStatusNone;
  int device_id = 0;
  std::string name;
  std::string installed_text;
  std::string offered_text;
  std::string version_name;
  std::string package_url;

  bool operator==(const UpdateResult&) const = default;
};

// POSTs the key (URL-encoded: identities may hold "&", "=" or spaces) and
// the installed version to base_url + "updates" (base_url ends in "/"). When no server answered, or the request could
// not even be prepared, only the name is set, to kNoLinkServer; an answer that is not a JSON object leaves the result
// as default-constructed. An offered version that is not wholly a number in the item's base, or does not fit 32 bits,
// is never taken as newer. A decimal offer with dots ("1.1.0") is compared part by part with installed_dotted (the
// dotted text installed_version was read from; the number itself when empty), so "1.0.10" is older than "1.1.0". A
// device_id that is negative or not a number is 0.
UpdateResult RequestUpdateInfo(HttpClient& client, std::string_view base_url, std::string_view app_key,
                               std::uint32_t installed_version, bool hexadecimal,
                               std::string_view installed_dotted = {}, std::stop_token stop = {});

// The form encoding of a value: letters, digits and "-._~" stay, every other
// byte becomes %XX.
std::string FormEncoded(std::string_view value);

// A dotted version such as "1.0.5" with the dots dropped, read in decimal
// (105). 0 when what remains is empty, not all digits, or beyond 32 bits.
std::uint32_t InstalledAppVersion(std::string_view version_text);

}  // namespace brontal
