#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "helpers/temporary_folder.h"

namespace brontal::test {

// local_update_service.py run for one test: https with a certificate for
// 127.0.0.1 made for it alone, and plain http. Point SSL_CERT_FILE (or a
// client's ca_file) at cert_file() to trust it.
class LocalUpdateService {
 public:
  LocalUpdateService();
  ~LocalUpdateService();
  LocalUpdateService(const LocalUpdateService&) = delete;
  LocalUpdateService& operator=(const LocalUpdateService&) = delete;

  // "https://127.0.0.1:PORT" / "http://127.0.0.1:PORT" followed by path.
  std::string HttpsUrl(std::string_view path) const;
  std::string HttpUrl(std::string_view path) const;
  std::filesystem::path cert_file() const { return folder_.path() / "cert.pem"; }

  // Served as /files/NAME (and the other routes).
  void AddFile(const std::string& name, std::string_view bytes) const;
  // The answer to a check of app_key.
  void SetAnswer(const std::string& app_key, std::string_view json) const;

 private:
  TemporaryFolder folder_{"brontal_update_service"};
  pid_t pid_ = -1;
  std::uint16_t https_port_ = 0;
  std::uint16_t http_port_ = 0;
};

}  // namespace brontal::test
