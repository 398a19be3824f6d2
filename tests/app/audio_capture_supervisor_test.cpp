#include "app/audio_capture_supervisor.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <mutex>
#include <thread>

#include "app/bus/local_bus.h"
#include "app/child_program.h"
#include "audio_link/capture_link.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "support/private_folder.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Timing = AudioCaptureSupervisor::Timing;

// Short enough for a test, long enough for a sanitized stand-in to start.
Timing FastTiming() {
  Timing timing;
  timing.first_retry = 200ms;
  timing.longest_retry = 800ms;
  timing.steady_run = 10s;
  timing.start_limit = 4s;
  timing.command_limit = 1s;
  timing.colour_limit = 1s;
  timing.quit_limit = 1s;
  timing.kill_grace = 300ms;
  timing.lock_probe = 100ms;
  return timing;
}

std::string Command(audio_link::CaptureCommand command, long lparam = 0) {
  return "command " + std::to_string(static_cast<int>(command)) + " " + std::to_string(lparam);
}

bool Gone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// A supervisor of the stand-in program, with the bus and the lock in a
// folder of the test's own.
class AudioCaptureSupervisorTest : public ::testing::Test {
 protected:
  AudioCaptureSupervisorTest() {
    std::string error;
    EXPECT_TRUE(PreparePrivateFolder(bus_folder_, error)) << error;
  }
  ~AudioCaptureSupervisorTest() override { supervisor_.reset(); }

  AudioCaptureSupervisor& Make(const std::string& mode = "", Timing timing = FastTiming(),
                               std::filesystem::path program = CAPTURE_STAND_IN) {
    mode_.reset();  // the old one puts back what it found only after the new one has looked
    mode_ = std::make_unique<test::ScopedEnvironment>(std::map<std::string, std::string>{
        {"CAPTURE_STAND_IN_FOLDER", bus_folder_.string()}, {"CAPTURE_STAND_IN_MODE", mode}});
    supervisor_ = std::make_unique<AudioCaptureSupervisor>(
        bus_, AudioCaptureSupervisor::Setup{std::move(program), bus_folder_ / audio_link::kCaptureLockFileName, timing},
        [this](const std::string& text) {
          const std::lock_guard lock(mutex_);
          notices_.push_back(text);
        });
    return *supervisor_;
  }

  std::vector<std::string> Journal() const {
    std::vector<std::string> lines;
    std::ifstream file(bus_folder_ / "stand-in.journal");
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
  std::size_t Count(const std::string& line) const { return std::ranges::count(Journal(), line); }
  // The process ids of the "start" lines, in order.
  std::vector<pid_t> Starts() const {
    std::vector<pid_t> pids;
    for (const std::string& line : Journal())
      if (line.starts_with("start ")) pids.push_back(std::stoi(line.substr(6)));
    return pids;
  }
  template <typename Predicate>
  static bool WaitUntil(Predicate done, std::chrono::milliseconds limit = 8s) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }
  std::vector<std::string> Notices() {
    const std::lock_guard lock(mutex_);
    return notices_;
  }
  // Started, greeted and told to capture.
  bool Linked() {
    return WaitUntil(
        [&] { return supervisor_->linked() && Count(Command(audio_link::CaptureCommand::kCaptureOn)) > 0; });
  }

  test::TemporaryFolder folder_{"capture_supervision"};
  const std::filesystem::path bus_folder_ = folder_.path() / "bus";
  const LocalBus bus_{bus_folder_};
  std::unique_ptr<test::ScopedEnvironment> mode_;
  std::mutex mutex_;
  std::vector<std::string> notices_;
  std::unique_ptr<AudioCaptureSupervisor> supervisor_;
};

TEST_F(AudioCaptureSupervisorTest, NothingStartsBeforeCaptureIsWantedThenTheGreetingComesFirst) {
  using audio_link::CaptureCommand;
  AudioCaptureSupervisor& supervisor = Make();
  supervisor.SetStyleColour({3, 1, 2});
  supervisor.Start();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(supervisor.starts(), 0);
  EXPECT_TRUE(Journal().empty());

  supervisor.SetCaptureWanted(true);
  ASSERT_TRUE(Linked());
  const std::vector<pid_t> started = Starts();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(Journal(), (std::vector<std::string>{"start " + std::to_string(started[0]),
                                                 Command(CaptureCommand::kHello, ::getpid()),
                                                 Command(CaptureCommand::kReset), Command(CaptureCommand::kReady),
                                                 "colour 3 1 2", Command(CaptureCommand::kCaptureOn)}));

  supervisor.SetCaptureWanted(false);
  supervisor.SetStyleColour({4, 5, 6});
  ASSERT_TRUE(
      WaitUntil([&] { return Count("colour 4 5 6") == 1 && Count(Command(CaptureCommand::kCaptureOff)) == 1; }));
  // Not capturing is no reason to end it: the next want needs no start.
  supervisor.SetCaptureWanted(true);
  ASSERT_TRUE(WaitUntil([&] { return Count(Command(CaptureCommand::kCaptureOn)) == 2; }));
  EXPECT_EQ(supervisor.starts(), 1);
  EXPECT_TRUE(Notices().empty());
}

TEST_F(AudioCaptureSupervisorTest, StoppingSaysGoodbyeAndTheProgramEndsWithinTheLimit) {
  using audio_link::CaptureCommand;
  struct Case {
    const char* mode;
    bool obeys;
  };
  for (const Case c : {Case{"", true}, Case{"stubborn", false}}) {
    SCOPED_TRACE(c.mode);
    std::filesystem::remove(bus_folder_ / "stand-in.journal");
    AudioCaptureSupervisor& supervisor = Make(c.mode);
    supervisor.Start();
    supervisor.SetCaptureWanted(true);
    ASSERT_TRUE(Linked());
    const pid_t pid = Starts().front();
    const auto before = Clock::now();
    supervisor.Stop();
    const auto took = Clock::now() - before;
    const std::vector<std::string> journal = Journal();
    const std::vector<std::string> goodbye(journal.end() - (c.obeys ? 4 : 3), journal.end());
    std::vector<std::string> expected = {Command(CaptureCommand::kCaptureOff), Command(CaptureCommand::kGoodbye),
                                         Command(CaptureCommand::kQuit)};
    if (c.obeys) expected.push_back("end");
    EXPECT_EQ(goodbye, expected);
    EXPECT_TRUE(Gone(pid));
    // One that obeys is not waited for longer than it takes; one that does
    // not is terminated once the quit limit has passed.
    const Timing timing = FastTiming();
    if (c.obeys)
      EXPECT_LT(took, timing.quit_limit);
    else
      EXPECT_GE(took, timing.quit_limit);
    EXPECT_LT(took, timing.quit_limit + timing.kill_grace + 1s);
  }
}

TEST_F(AudioCaptureSupervisorTest, ACrashIsSeenAtOnceAndRestartedAfterGrowingWaitsWithOneNotice) {
  Timing timing = FastTiming();
  timing.lock_probe = 5s;  // the child's end comes through its pid file descriptor, not the lock
  AudioCaptureSupervisor& supervisor = Make("", timing);
  supervisor.Start();
  supervisor.SetCaptureWanted(true);
  ASSERT_TRUE(Linked());
  std::vector<std::chrono::milliseconds> gaps;
  for (std::size_t crash = 1; crash <= 2; ++crash) {
    const pid_t pid = Starts().back();
    const auto killed = Clock::now();
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    ASSERT_TRUE(WaitUntil([&] { return Starts().size() == crash + 1; }));
    gaps.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - killed));
    // Every start is greeted again and told to capture (before the next crash,
    // which would otherwise come between the greeting and the capture).
    ASSERT_TRUE(WaitUntil(
        [&] { return supervisor.linked() && Count(Command(audio_link::CaptureCommand::kCaptureOn)) == crash + 1; }));
  }
  EXPECT_GE(gaps[0], timing.first_retry);
  EXPECT_LT(gaps[0], timing.first_retry + 2s);
  EXPECT_GE(gaps[1], 2 * timing.first_retry);
  EXPECT_EQ(Count(Command(audio_link::CaptureCommand::kHello, ::getpid())), 3u);
  EXPECT_EQ(supervisor.starts(), 3);
  const std::vector<std::string> notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("was killed by signal 9"), std::string::npos) << notices[0];
}

TEST_F(AudioCaptureSupervisorTest, AProgramThatNeverAnswersIsEndedAfterTheStartLimitAndTriedAgain) {
  Timing timing = FastTiming();
  timing.start_limit = 600ms;
  AudioCaptureSupervisor& supervisor = Make("silent", timing);
  supervisor.Start();
  supervisor.SetCaptureWanted(true);
  ASSERT_TRUE(WaitUntil([&] { return Starts().size() >= 3; }));
  const std::vector<pid_t> started = Starts();
  EXPECT_TRUE(Gone(started[0]));
  EXPECT_TRUE(Gone(started[1]));
  EXPECT_FALSE(supervisor.linked());
  EXPECT_EQ(Notices().size(), 1u);

  // Stopped while one is starting: it is ended without waiting for an answer.
  const auto before = Clock::now();
  supervisor.Stop();
  EXPECT_LT(Clock::now() - before, timing.kill_grace + 1s);
  EXPECT_TRUE(Gone(Starts().back()));
}

TEST_F(AudioCaptureSupervisorTest, AMissingProgramIsToldOnceAndStartedOnceItIsThere) {
  const std::filesystem::path program = folder_.path() / "brontal-audio";
  AudioCaptureSupervisor& supervisor = Make("", FastTiming(), program);
  supervisor.Start();
  supervisor.SetCaptureWanted(true);
  // Waits of 200, 400 and 800 ms: four tries.
  std::this_thread::sleep_for(1700ms);
  EXPECT_EQ(supervisor.starts(), 0);
  const std::vector<std::string> notices = Notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_TRUE(notices[0].starts_with("Record open failed!")) << notices[0];
  EXPECT_NE(notices[0].find(program.string()), std::string::npos) << notices[0];

  std::filesystem::create_symlink(CAPTURE_STAND_IN, program);
  ASSERT_TRUE(Linked());
  EXPECT_EQ(supervisor.starts(), 1);
  EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(AudioCaptureSupervisorTest, OneAlreadyRunningIsGreetedAndWhenItEndsOurOwnTakesOver) {
  AudioCaptureSupervisor& supervisor = Make();
  std::string error;
  std::unique_ptr<ChildProgram> running = ChildProgram::Start(CAPTURE_STAND_IN, error);
  ASSERT_TRUE(running) << error;
  ASSERT_TRUE(WaitUntil([&] { return Starts().size() == 1; }));  // it holds the lock

  supervisor.Start();
  supervisor.SetCaptureWanted(true);
  ASSERT_TRUE(Linked());
  EXPECT_EQ(supervisor.starts(), 0);
  EXPECT_EQ(Starts(), std::vector<pid_t>{running->pid()});

  // Another's program is watched through its lock.
  running->Terminate(1s);
  ASSERT_TRUE(WaitUntil([&] { return Starts().size() == 2 && supervisor.linked(); }));
  EXPECT_EQ(supervisor.starts(), 1);
}

}  // namespace
}  // namespace brontal
