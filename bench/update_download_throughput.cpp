// A scenario: how fast the update client downloads a large package from a
// local service, against the curl program fetching the same file in the same
// run. Prints MB/s of both and their ratio, over plain http and over https.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "helpers/temporary_folder.h"
#include "update/http_client.h"
#include "update/local_update_service.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPackageBytes = 100u << 20;
constexpr int kRounds = 3;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double MegabytesPerSecond(double seconds) { return static_cast<double>(kPackageBytes) / 1e6 / seconds; }

// The best of the rounds: the machine's other work only ever slows a round down.
template <typename Download>
double BestSeconds(Download download) {
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    if (!download()) return -1;
    best = std::min(best, Seconds(Clock::now() - start));
  }
  return best;
}

}  // namespace

int main() {
  using namespace brontal;
  ::setenv("BRONTAL_TRACE", "off", 0);
  test::LocalUpdateService service;
  std::string package(kPackageBytes, '\0');
  for (std::size_t i = 0; i < package.size(); ++i) package[i] = static_cast<char>(i * 2654435761u >> 24);
  service.AddFile("package.exe", package);
  package.clear();
  test::TemporaryFolder folder("brontal_bench");
  const std::filesystem::path ours = folder.path() / "ours.exe", theirs = folder.path() / "curl.exe";

  std::printf("update download throughput, %zu MB from a local service, best of %d rounds\n", kPackageBytes >> 20,
              kRounds);
  for (const bool https : {false, true}) {
    const std::string url = https ? service.HttpsUrl("/files/package.exe") : service.HttpUrl("/files/package.exe");
    HttpClientSettings settings;
    settings.ca_file = service.cert_file();
    HttpClient client(settings);
    std::uint64_t reports = 0;
    const double our_seconds = BestSeconds([&] {
      bool done = false;
      reports = 0;
      client.DownloadFile(
          url, ours,
          [&](std::uint64_t total, std::uint64_t received, int) {
            ++reports;
            done = total != 0 && received == total;
          },
          0);
      return done;
    });
    const std::string command =
        "curl -s -o '" + theirs.string() + "' --cacert '" + service.cert_file().string() + "' '" + url + "'";
    const double curl_seconds = BestSeconds([&] { return std::system(command.c_str()) == 0; });
    if (our_seconds < 0 || curl_seconds < 0) {
      std::fprintf(stderr, "a download failed (%s)\n", https ? "https" : "http");
      return 1;
    }
    const double our_rate = MegabytesPerSecond(our_seconds), curl_rate = MegabytesPerSecond(curl_seconds);
    std::printf("%-5s  DownloadFile %7.1f MB/s (%llu progress reports)  curl %7.1f MB/s  ratio %.2f\n",
                https ? "https" : "http", our_rate, static_cast<unsigned long long>(reports), curl_rate,
                our_rate / curl_rate);
  }
  return 0;
}
