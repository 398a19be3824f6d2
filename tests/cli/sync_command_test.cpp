// brontalctl sync on its own side: the words it refuses before anything is
// sent, and what it says when brontal-driver, which runs the effect, does not run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/run_brontalctl.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"

namespace brontal {
namespace {

using test::RunCli;

TEST(SyncCommand, UsageErrorsExitWithTwoAndOneLine) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"sync"}, "start MODE, stop or status"},
      {{"sync", "begin"}, "start MODE, stop or status"},
      {{"sync", "start"}, "start takes one MODE"},
      {{"sync", "start", "rainbow"}, "start takes one MODE"},
      {{"sync", "start", "cycle", "static"}, "start takes one MODE"},
      {{"sync", "stop", "now"}, "stop takes no further words"},
      {{"sync", "status", "--devices", "keyboard,mouse"}, "--devices goes with start"},
      {{"sync", "start", "off", "--devices", "keyboard"}, "--devices names at least two devices"},
      {{"sync", "start", "off", "--devices", "mouse,mouse"}, "--devices names at least two devices"},
      {{"sync", "start", "off", "--devices", "keyboard,toaster"}, "'toaster' in --devices is not a supported device"},
      {{"sync", "start", "off", "--devices", "keyboard,,mouse"}, "'' in --devices is not a supported device"},
      {{"sync", "start", "off", "--devices", "keyboard,1234:5678"}, "'1234:5678' in --devices"},
      {{"sync", "start", "static", "--json"}, "--json goes with status"},
      {{"sync", "start", "static", "--devices"}, "--devices"},
      {{"sync", "stop", "--frob"}, "unknown option '--frob'"},
  };
  for (const Case& c : cases) {
    const test::CliResult r = RunCli(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(SyncCommand, WithoutBrontalDriverNothingRunsTheEffect) {
  test::TemporaryFolder runtime{"brontal_run"};
  test::ScopedEnvironment environment{{{"XDG_RUNTIME_DIR", runtime.path().string()}}};
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"sync", "status"}, {"sync", "start", "breathing"}, {"sync", "stop", "--simulate"}}) {
    const test::CliResult r = RunCli(args);
    EXPECT_EQ(r.status, kExitFailure) << args[1];
    EXPECT_EQ(r.err, "brontalctl: sync: synchronised lighting runs in brontal-driver; start it first\n");
  }
}

TEST(SyncCommand, TheHelpListsItAndExplainsIt) {
  const test::CliResult all = RunCli({"--help"});
  EXPECT_NE(all.out.find("sync start MODE [--devices LIST]|stop|status [--json]"), std::string::npos) << all.out;
  const test::CliResult own = RunCli({"sync", "--help"});
  EXPECT_EQ(own.status, kExitOk);
  EXPECT_TRUE(own.out.starts_with("Usage: brontalctl sync start MODE")) << own.out;
  EXPECT_NE(own.out.find("breathing, static, blinking,\ncycle or off"), std::string::npos) << own.out;
}

}  // namespace
}  // namespace brontal
