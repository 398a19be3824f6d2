// The debug log's destination as the programs meet it: one that cannot take
// the log (a FIFO, a folder, a missing folder, a state folder that is a file)
// is said once on standard error and the program runs on; "off" in any case
// is no log at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/child_process.h"
#include "helpers/temporary_folder.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct ProgramRun {
  int status;
  std::string output;
};

// One exchange with a simulated keyboard: it traces six lines.
ProgramRun RunInfo(const e2e::Environment& environment) {
  ProgramRun run;
  run.status = e2e::RunCommand({BRONTALCTL, "info", "--simulate", "320f:2003"}, environment, 20s, &run.output);
  return run;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(DebugLog, ADestinationThatCannotTakeTheLogIsSaidOnceAndTheProgramRuns) {
  test::TemporaryFolder folder;
  const fs::path fifo = folder.path() / "trace.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path fifo_with_reader = folder.path() / "read.fifo";
  ASSERT_EQ(::mkfifo(fifo_with_reader.c_str(), 0600), 0);
  const int reader = ::open(fifo_with_reader.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const fs::path state_file = folder.path() / "state";
  std::ofstream(state_file) << "mine\n";

  struct Case {
    e2e::Environment environment;
    std::string message;
  };
  const std::string fifo_reason = ": is a FIFO, which could block the program; no debug log\n";
  const Case cases[] = {
      {{{"BRONTAL_TRACE", fifo.string()}}, "brontal: BRONTAL_TRACE=" + fifo.string() + fifo_reason},
      {{{"BRONTAL_TRACE", fifo_with_reader.string()}},
       "brontal: BRONTAL_TRACE=" + fifo_with_reader.string() + fifo_reason},
      {{{"BRONTAL_TRACE", folder.path().string()}},
       "brontal: BRONTAL_TRACE=" + folder.path().string() + ": is a folder; no debug log\n"},
      {{{"BRONTAL_TRACE", (folder.path() / "no/log").string()}},
       "brontal: BRONTAL_TRACE=" + (folder.path() / "no/log").string() + ": No such file or directory; no debug log\n"},
      {{{"BRONTAL_TRACE", ""}, {"XDG_STATE_HOME", state_file.string()}},
       "brontal: debug log " + (state_file / "Brontal Driver" / "debug.log").string() +
           ": Not a directory; no debug log\n"},
  };
  const ProgramRun quiet = RunInfo({{"BRONTAL_TRACE", "off"}});
  ASSERT_EQ(quiet.status, 0) << quiet.output;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ProgramRun run = RunInfo(c.environment);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Count(run.output, c.message), 1u) << run.output;
    EXPECT_EQ(run.output.size(), quiet.output.size() + c.message.size()) << run.output;
  }
  char byte;
  EXPECT_LT(::read(reader, &byte, 1), 1);  // nothing went into the FIFO
  ::close(reader);
  EXPECT_TRUE(fs::is_fifo(fifo));
  std::string kept;
  std::getline(std::ifstream(state_file), kept);
  EXPECT_EQ(kept, "mine");
}

TEST(DebugLog, OffInAnyCaseIsNoLog) {
  test::TemporaryFolder folder;
  for (const char* off : {"off", "OFF", "Off"}) {
    SCOPED_TRACE(off);
    const bool existed = fs::exists(off);  // once taken for a file name in the working folder
    const ProgramRun run = RunInfo({{"BRONTAL_TRACE", off}, {"XDG_STATE_HOME", folder.path().string()}});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("命令"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("brontal:"), std::string::npos) << run.output;
    EXPECT_EQ(fs::exists(off), existed);
  }
  EXPECT_TRUE(fs::is_empty(folder.path()));  // no default log either
}

}  // namespace
}  // namespace brontal
