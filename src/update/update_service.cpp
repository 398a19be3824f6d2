#include "update/update_service.h"

#include <cstdlib>

namespace brontal {

// No service answers here yet: a reserved domain, so nothing is ever asked of a stranger.
constexpr const char* kServiceUrl = "https://updates.brontal.invalid/api/";

std::string UpdateServiceUrl() {
  const char* url = std::getenv("BRONTAL_UPDATE_URL");
  std::string base = url && *url ? url : kServiceUrl;
  if (!base.ends_with('/')) base.push_back('/');
  return base;
}

HttpClientSettings UpdateClientSettings() {
  HttpClientSettings settings;
  if (const char* file = std::getenv("SSL_CERT_FILE"); file && *file) settings.ca_file = file;
  return settings;
}

}  // namespace brontal
