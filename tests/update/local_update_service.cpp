#include "update/local_update_service.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace brontal::test {

LocalUpdateService::LocalUpdateService() {
  const std::filesystem::path files = folder_.path() / "files";
  std::filesystem::create_directories(files / "answers");
  const std::string make_certificate =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=127.0.0.1 "
      "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
      (folder_.path() / "key.pem").string() + "' -out '" + cert_file().string() + "' >/dev/null 2>&1";
  if (std::system(make_certificate.c_str()) != 0) throw std::runtime_error("openssl cannot make a certificate");

  int out[2];
  if (::pipe(out) != 0) throw std::runtime_error("no pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string script = BRONTAL_UPDATE_SERVICE_SCRIPT;
  const std::string folder = files.string(), cert = cert_file().string(), key = (folder_.path() / "key.pem").string();
  char* argv[] = {const_cast<char*>("python3"),    const_cast<char*>(script.c_str()), const_cast<char*>(folder.c_str()),
                  const_cast<char*>(cert.c_str()), const_cast<char*>(key.c_str()),    nullptr};
  const int spawned = posix_spawnp(&pid_, "python3", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    ::close(out[0]);
    throw std::runtime_error("python3 cannot be started");
  }
  FILE* ports = ::fdopen(out[0], "r");
  unsigned https = 0, http = 0;
  const bool read = ports && std::fscanf(ports, "%u %u", &https, &http) == 2;
  if (ports) std::fclose(ports);
  if (!read) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    throw std::runtime_error("the local update service did not start");
  }
  https_port_ = static_cast<std::uint16_t>(https);
  http_port_ = static_cast<std::uint16_t>(http);
}

LocalUpdateService::~LocalUpdateService() {
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

std::string LocalUpdateService::HttpsUrl(std::string_view path) const {
  return "https://127.0.0.1:" + std::to_string(https_port_) + std::string(path);
}

std::string LocalUpdateService::HttpUrl(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(http_port_) + std::string(path);
}

void LocalUpdateService::AddFile(const std::string& name, std::string_view bytes) const {
  std::ofstream(folder_.path() / "files" / name, std::ios::binary).write(bytes.data(), bytes.size());
}

void LocalUpdateService::SetAnswer(const std::string& app_key, std::string_view json) const {
  std::ofstream(folder_.path() / "files" / "answers" / (app_key + ".json")) << json;
}

}  // namespace brontal::test
