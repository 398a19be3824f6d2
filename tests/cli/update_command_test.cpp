#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "cli/brontalctl.h"
#include "cli/run_brontalctl.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "update/local_update_service.h"
#include "update/without_proxy_variables.h"

namespace brontal {
namespace {

using test::RunCli;
using ::testing::HasSubstr;

// The simulated 320f:5101 keyboard reports firmware 0110.
constexpr const char* kKeyboardKey = "DRUMO_2_KX440_T4_20737";

class UpdateCommandTest : public ::testing::Test {
 protected:
  UpdateCommandTest()
      : environment_({{"BRONTAL_UPDATE_URL", service_.HttpsUrl("/api/")},
                      {"SSL_CERT_FILE", service_.cert_file().string()},
                      {"XDG_CACHE_HOME", (home_.path() / "cache").string()},
                      {"XDG_DATA_HOME", (home_.path() / "data").string()},
                      {"XDG_CONFIG_HOME", (home_.path() / "config").string()}}) {}

  void OfferFirmware(const std::string& url) {
    service_.SetAnswer(kKeyboardKey, R"({"name":"../T4","version":"0111","device_id":2,"path":")" + url + R"("})");
  }

  test::WithoutProxyVariables without_proxy_variables_;
  test::LocalUpdateService service_;
  test::TemporaryFolder home_;
  test::ScopedEnvironment environment_;
};

TEST_F(UpdateCommandTest, ChecksTheProgramAndTheAttachedDevices) {
  OfferFirmware(service_.HttpsUrl("/files/t4.bin"));
  const auto r = RunCli({"--simulate", "320f:5101", "update", "check"});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr("KX330  installed V0110  offered V0111  offered\n"));
  EXPECT_THAT(r.out, HasSubstr("AP  installed V"));
  EXPECT_TRUE(std::filesystem::exists(home_.path() / "data" / "Brontal Driver" / "updatetime.config"));

  const auto json = RunCli({"update", "check", "--json", "--simulate", "320f:5101"});
  EXPECT_EQ(json.status, kExitOk) << json.err;
  EXPECT_THAT(json.out, HasSubstr(R"("item" : "KX330")"));
  EXPECT_THAT(json.out, HasSubstr(R"("state" : 1)"));
}

TEST_F(UpdateCommandTest, DownloadsTheOfferedPackageAndPrintsWhereAndItsDigest) {
  service_.AddFile("t4.bin", "abc");
  OfferFirmware(service_.HttpsUrl("/files/t4.bin"));
  test::TemporaryFolder to;
  const auto r = RunCli({"--simulate", "320f:5101", "update", "download", "kx330", "--to", to.path().string()});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr("path    " + (to.path() / "_T4.exe").string() + "\n"));
  EXPECT_THAT(r.out, HasSubstr("size    3 bytes\n"));
  EXPECT_THAT(r.out, HasSubstr("sha256  ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n"));
  EXPECT_EQ(std::filesystem::status(to.path() / "_T4.exe").permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::none);
}

TEST_F(UpdateCommandTest, FailuresAndUsageErrorsSayWhyAndKeepNothing) {
  service_.AddFile("t4.bin", "abc");
  OfferFirmware(service_.HttpUrl("/files/t4.bin"));  // a package over plain http
  test::TemporaryFolder to;
  const std::string folder = to.path().string();
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {{"update", "download", "KX330", "--to", folder}, kExitFailure, "not https"},
      {{"update", "download", "AP", "--to", folder}, kExitFailure, "nothing newer is offered for AP"},
      {{"update", "download", "MS", "--to", folder}, kExitFailure, "no item 'MS'"},
      {{"update", "download", "--to", folder}, kExitUsage, "needs one ITEM"},
      {{"update", "download", "KX330", "--to", folder + "/missing"}, kExitUsage, "is no folder"},
      {{"update", "check", "extra"}, kExitUsage, "takes no arguments"},
      {{"update"}, kExitUsage, "needs 'check' or 'download'"},
      {{"update", "install"}, kExitUsage, "needs 'check' or 'download'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--simulate", "320f:5101"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = RunCli(args);
    SCOPED_TRACE(c.says);
    EXPECT_EQ(r.status, c.status);
    EXPECT_THAT(r.err, HasSubstr(c.says));
    EXPECT_TRUE(std::filesystem::is_empty(to.path()));
  }
}

TEST_F(UpdateCommandTest, AnUnreachableServiceFailsAndRecordsNoCheckDate) {
  test::ScopedEnvironment nowhere(
      std::map<std::string, std::string>{{"BRONTAL_UPDATE_URL", "http://127.0.0.1:1/api/"}});
  const auto r = RunCli({"--simulate", "320f:5101", "update", "check"});
  EXPECT_EQ(r.status, kExitFailure);
  EXPECT_THAT(r.err, HasSubstr("cannot be reached"));
  EXPECT_FALSE(std::filesystem::exists(home_.path() / "data" / "Brontal Driver" / "updatetime.config"));
}

}  // namespace
}  // namespace brontal
