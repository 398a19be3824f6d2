// brontal-sim as a user runs it: help, a file for a folder, a daemon killed with SIGKILL.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "helpers/temporary_folder.h"

namespace brontal::sim {
namespace {

namespace fs = std::filesystem;
using e2e::RunCommand;
constexpr std::chrono::seconds kLimit{10};

class SimCommandLineTest : public ::testing::Test {
 protected:
  int Sim(const std::vector<std::string>& args, std::string* output = nullptr) {
    std::vector<std::string> argv = {BRONTAL_SIM};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunCommand(argv, {}, kLimit, output);
  }
  test::TemporaryFolder folder_{"brontal-sim-cli"};
  const fs::path root_ = folder_.path();
};

TEST_F(SimCommandLineTest, HelpOfEveryCommandIsHelp) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"},
                                             {"serve", "--help"},
                                             {"serve", "-h"},
                                             {"serve", "--uhid", "--help"},
                                             {"plug", "--help"},
                                             {"status", root_.string(), "--help"}}) {
    std::string output;
    EXPECT_EQ(Sim(args, &output), 0) << args.back();
    EXPECT_EQ(output.rfind("Usage: brontal-sim", 0), 0u) << output;
  }
  EXPECT_FALSE(fs::exists("--help"));
  EXPECT_FALSE(fs::exists("-h"));
}

TEST_F(SimCommandLineTest, OutputThatCannotBeWrittenIsAFailure) {
  const std::string sim = BRONTAL_SIM;
  EXPECT_EQ(RunCommand({"sh", "-c", sim + " --help > /dev/full 2>/dev/null"}, {}, kLimit), 1);
  EXPECT_EQ(RunCommand({"sh", "-c", sim + " --help > /dev/null"}, {}, kLimit), 0);
}

TEST_F(SimCommandLineTest, AFileForAFolderIsRefusedAndKeepsItsMode) {
  const fs::path file = root_ / "notes.txt";
  std::ofstream(file) << "mine\n";
  ::chmod(file.c_str(), 0644);
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"serve", file.string()}, "brontal-sim: " + file.string() + " is not a folder\n"},
      {{"status", file.string()}, "brontal-sim: " + file.string() + " is not a folder\n"},
      {{"plug", file.string(), "320f:5100"}, "brontal-sim: " + file.string() + " is not a folder\n"},
  };
  for (const auto& c : cases) {
    std::string output;
    EXPECT_EQ(Sim(c.args, &output), 1) << c.args[0];
    EXPECT_EQ(output, c.message);
    struct stat s;
    ASSERT_EQ(::stat(file.c_str(), &s), 0);
    EXPECT_EQ(s.st_mode & 07777, 0644u) << c.args[0];
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine\n");
  }
}

// A daemon started by hand, to kill it the way a crash does.
class KilledDaemon {
 public:
  explicit KilledDaemon(const fs::path& folder) {
    std::string program = BRONTAL_SIM, serve = "serve", dir = folder.string();
    char* argv[] = {program.data(), serve.data(), dir.data(), nullptr};
    pid_ = ::fork();
    if (pid_ == 0) {
      if (!::freopen("/dev/null", "w", stderr)) ::_exit(126);
      ::execv(argv[0], argv);
      ::_exit(127);
    }
  }
  ~KilledDaemon() { Kill(); }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_;
};

TEST_F(SimCommandLineTest, ADaemonRestartedAfterAKillShowsNoGhostNodes) {
  const fs::path bus = root_ / "bus";
  KilledDaemon killed(bus);
  ASSERT_TRUE(e2e::WaitUntil([&] { return Sim({"plug", bus.string(), "320f:5100"}) == 0; }, kLimit));
  ASSERT_TRUE(fs::exists(bus / "320f_5100.node"));
  killed.Kill();
  std::ofstream(bus / "mine.node") << "not the daemon's\n";

  e2e::ChildProcess restarted({BRONTAL_SIM, "serve", bus.string()}, {}, root_ / "serve.log");
  std::string status = "-";
  ASSERT_TRUE(e2e::WaitUntil([&] { return Sim({"status", bus.string()}, &status) == 0; }, kLimit));
  EXPECT_EQ(status, "");
  EXPECT_FALSE(fs::exists(bus / "320f_5100.node"));
  EXPECT_FALSE(fs::exists(bus / "320f_5100.sock"));
  EXPECT_TRUE(fs::exists(bus / "mine.node"));
  EXPECT_EQ(Sim({"plug", bus.string(), "320f:5100"}), 0) << "the node's name is free again";
}

}  // namespace
}  // namespace brontal::sim
