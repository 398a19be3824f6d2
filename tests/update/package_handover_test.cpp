#include "update/package_handover.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "update/local_update_service.h"
#include "update/without_proxy_variables.h"

namespace brontal {
namespace {

using test::LocalUpdateService;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 26);
  return bytes;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) entries.push_back(entry.path().filename());
  return entries;
}

TEST(SafePackageFileNameTest, KeepsTheFileInsideTheFolderAndVisible) {
  const std::pair<const char*, const char*> cases[] = {
      {"KX330", "KX330.exe"},       {"../../.bashrc", "_.._.bashrc.exe"}, {"..", "package.exe"},
      {"", "package.exe"},          {"/etc/passwd", "_etc_passwd.exe"},   {".hidden", "hidden.exe"},
      {"a b\\c\nd", "a_b_c_d.exe"}, {"Maus \xC3\xA4", "Maus___.exe"},
  };
  for (const auto& [name, file] : cases) EXPECT_EQ(SafePackageFileName(name), file) << name;
  EXPECT_EQ(SafePackageFileName(std::string(300, 'x')), std::string(100, 'x') + ".exe");
}

TEST(UpdateDataFolderTest, IsAPrivateFolderInTheUsersCache) {
  test::TemporaryFolder cache;
  for (const bool set : {true, false}) {
    SCOPED_TRACE(set ? "XDG_CACHE_HOME set" : "only HOME");
    test::ScopedEnvironment environment(
        {{"XDG_CACHE_HOME", set ? (cache.path() / "cache").string() : ""}, {"HOME", cache.path().string()}});
    std::string problem;
    const auto folder = PrepareUpdateDataFolder(problem);
    ASSERT_TRUE(folder) << problem;
    EXPECT_EQ(*folder, cache.path() / (set ? "cache" : ".cache") / "Brontal Driver" / "UpdateData");
    struct stat info {};
    ASSERT_EQ(::stat(folder->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
  }
}

class PackageHandoverTest : public ::testing::Test {
 protected:
  PackageHandoverTest() { settings_.ca_file = service_.cert_file(); }

  // (total, received) of every report.
  PackageFetch Fetch(const std::string& url, const std::string& name, std::stop_token stop = {}) {
    HttpClient client(settings_);
    return FetchPackage(
        client, url, name, folder_.path(),
        [&](std::uint64_t total, std::uint64_t received, int) { reports_.emplace_back(total, received); }, 2, stop);
  }

  test::WithoutProxyVariables without_proxy_variables_;
  LocalUpdateService service_;
  HttpClientSettings settings_;
  test::TemporaryFolder folder_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> reports_;
};

TEST_F(PackageHandoverTest, HandsOverTheFileWithItsSizeAndSha256UnderASafeName) {
  service_.AddFile("abc.exe", "abc");
  const PackageFetch fetch = Fetch(service_.HttpsUrl("/files/abc.exe"), "../T4 firmware");

  ASSERT_TRUE(fetch.package) << fetch.problem;
  EXPECT_EQ(fetch.package->path, folder_.path() / "_T4_firmware.exe");
  EXPECT_EQ(fetch.package->size, 3u);
  EXPECT_EQ(fetch.package->sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_THAT(FolderEntries(folder_.path()), ::testing::ElementsAre("_T4_firmware.exe"));
  EXPECT_EQ(reports_.back(), std::make_pair(std::uint64_t{3}, std::uint64_t{3}));
}

TEST_F(PackageHandoverTest, RefusesWhatCannotBeTrustedAndKeepsNothing) {
  const std::string package = Pattern(300000);
  service_.AddFile("p.exe", package);
  struct Case {
    std::string url;
    const char* why;
  };
  const Case cases[] = {
      {service_.HttpUrl("/files/p.exe"), "plain http address"},
      {service_.HttpsUrl("/to-http/p.exe"), "redirect from https to http"},
      {service_.HttpsUrl("/truncated/p.exe"), "cut off halfway"},
      {service_.HttpsUrl("/grown/p.exe"), "longer than announced"},
      {service_.HttpsUrl("/files/missing.exe"), "not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    reports_.clear();
    const PackageFetch fetch = Fetch(c.url, "T4");
    EXPECT_FALSE(fetch.package);
    EXPECT_FALSE(fetch.problem.empty());
    ASSERT_FALSE(reports_.empty());
    EXPECT_EQ(reports_.back().first, 0u);
    EXPECT_THAT(FolderEntries(folder_.path()), ::testing::IsEmpty());
  }
}

TEST_F(PackageHandoverTest, ACertificateNobodyVouchesForIsRefused) {
  service_.AddFile("p.exe", "abc");
  settings_.ca_file.clear();  // the system's authorities know nothing of the test's certificate
  EXPECT_FALSE(Fetch(service_.HttpsUrl("/files/p.exe"), "T4").package);
  EXPECT_THAT(FolderEntries(folder_.path()), ::testing::IsEmpty());
}

TEST_F(PackageHandoverTest, AStopRequestEndsADownloadThatStalledWithinASecond) {
  service_.AddFile("slow.exe", Pattern(1 << 20));
  std::stop_source stop;
  std::jthread stopper([&] {
    // Well into the download: past the first fast 64 KiB.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    stop.request_stop();
  });
  const auto start = std::chrono::steady_clock::now();
  const PackageFetch fetch = Fetch(service_.HttpsUrl("/slow/slow.exe"), "T4", stop.get_token());
  const auto took = std::chrono::steady_clock::now() - start;

  EXPECT_FALSE(fetch.package);
  EXPECT_LT(took, std::chrono::milliseconds(1500 + 1000));
  EXPECT_GT(reports_.front().second, 0u);  // it was under way
  EXPECT_EQ(reports_.back().first, 0u);
  EXPECT_THAT(FolderEntries(folder_.path()), ::testing::IsEmpty());
}

TEST(FolderUrlTest, EscapesWhatAUrlCannotCarry) {
  EXPECT_EQ(FolderUrl("/home/u/.cache/Brontal Driver/UpdateData"), "file:///home/u/.cache/Brontal%20Driver/UpdateData");
  EXPECT_EQ(FolderUrl("/a#b?c%"), "file:///a%23b%3Fc%25");
}

}  // namespace
}  // namespace brontal
