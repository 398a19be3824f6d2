#include "update/update_request.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <memory>
#include <system_error>

#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "update/version_text.h"

namespace brontal {
namespace {

// Partial reads ("0106abc"), signs and overflow all give nullopt: a garbled
// answer must not pass for a newer package.
std::optional<std::uint32_t> WholeNumber(std::string_view text, int base) {
  std::uint32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

std::string VersionText(std::uint32_t version, bool hexadecimal) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), hexadecimal ? "V%04x" : "V%u", version);
  return text.data();
}

bool IsNewer(std::string_view offered, std::uint32_t installed, bool hexadecimal, std::string_view installed_dotted) {
  if (!hexadecimal && offered.find('.') != std::string_view::npos) {
    const std::string installed_text =
        installed_dotted.empty() ? std::to_string(installed) : std::string(installed_dotted);
    return CompareVersionTexts(installed_text, offered) == std::strong_ordering::less;
  }
  const std::optional<std::uint32_t> offered_number = WholeNumber(offered, hexadecimal ? 16 : 10);
  return offered_number && installed < *offered_number;
}

}  // namespace

std::string FormEncoded(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    // Spelled out: isalnum would follow the locale.
    const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                            c == '.' || c == '_' || c == '~';
    if (unreserved) {
      encoded.push_back(c);
    } else {
      encoded += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return encoded;
}

std::string ApplicationKey(const std::optional<UpdateIdentity>& identity) {
  if (!identity) return "NULL";
  return identity->brand + "_" + std::to_string(identity->first_number) + "_" + identity->text + "_" +
         identity->second_text + "_" + std::to_string(identity->second_number);
}

UpdateResult RequestUpdateInfo(HttpClient& client, std::string_view base_url, std::string_view app_key,
                               std::uint32_t installed_version, bool hexadecimal, std::string_view installed_dotted,
                               std::stop_token stop) {
  std::array<char, 16> version{};
  std::snprintf(version.data(), version.size(), hexadecimal ? "%x" : "%u", installed_version);
  std::string body = "app_key=" + FormEncoded(app_key) + "&version=" + version.data();
  body.push_back('\0');  // the service has always received the terminator too

  const auto response = std::make_unique<std::array<char, kResponseBufferSize>>();
  const std::optional<std::size_t> stored =
      client.SendRequest("POST", std::string(base_url) + "updates", body, *response, false, stop);
  UpdateResult result;
  if (!stored || *stored == 0) {
    // Unprepared counts as unreached, so a broken base URL is never reported as up to date.
    if (!stored || response->data() == kNoLinkServer) result.name = kNoLinkServer;
    return result;
  }

  const Json::Value answer = ParseJsonDocument(std::string_view(response->data(), *stored));
  if (!answer.isObject()) return result;
  result.package_url = ToText(Member(answer, "path"));
  result.name = ToText(Member(answer, "name"));
  result.version_name = ToText(Member(answer, "version_name"));
  const std::string offered = ToText(Member(answer, "version"));
  result.device_id = std::max(0, ToField<int>(Member(answer, "device_id")));
  result.installed_text = VersionText(installed_version, hexadecimal);
  result.offered_text = hexadecimal ? "V" + offered : result.version_name;
  result.status =
      IsNewer(offered, installed_version, hexadecimal, installed_dotted) ? kUpdateStatusNeeded : kUpdateStatusCurrent;
  return result;
}

std::uint32_t InstalledAppVersion(std::string_view version_text) {
  std::string digits(version_text);
  std::erase(digits, '.');
  return WholeNumber(digits, 10).value_or(0);
}

}  // namespace brontal
