// brontal-audio as the driver meets it: a process of its own on a bus of the
// test's, with a test window in the driver's place.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "app/app_messages.h"
#include "app/bus/bus_fixture.h"
#include "audio_capture/private_pulse_audio.h"
#include "audio_capture/spectrum_analyser.h"
#include "audio_capture/test_wav.h"
#include "audio_link/capture_link.h"
#include "audio_program/serve_driver.h"
#include "e2e/child_process.h"
#include "helpers/private_user_folders.h"
#include "support/file_lock.h"
#include "ui/toolkit/registered_messages.h"

namespace brontal::testing {
namespace {

using audio_link::CaptureCommand;
using std::chrono::milliseconds;

namespace fs = std::filesystem;

constexpr milliseconds kExitLimit{3000};

class CaptureProgramTest : public BusFixture {
 protected:
  CaptureProgramTest() {
    // The program's bus: the "brontal" folder of its runtime folder.
    bus = LocalBus(root.path() / "brontal");
    driver = &AddWindow(std::string(kApplicationName), {kWmCopyData});
    test::WriteBytes(tone_file,
                     test::EncodeWav(test::Tone(1000, 0.5, 48000, 48000 * 2), 1, 48000, test::WavEncoding::kPcm16));
  }

  // The program, on the bus once this returns (the test fails otherwise).
  std::unique_ptr<e2e::ChildProcess> Start(std::vector<std::string> args, e2e::Environment extra = {}) {
    args.insert(args.begin(), BRONTAL_AUDIO);
    extra["XDG_RUNTIME_DIR"] = root.path().string();
    auto program = std::make_unique<e2e::ChildProcess>(args, extra, root.path() / "program.log");
    EXPECT_TRUE(e2e::WaitUntil([&] { return OnBus() || !program->Running(); }, milliseconds(10000)));
    EXPECT_TRUE(OnBus()) << Log();
    return program;
  }

  bool OnBus() const {
    const auto names = bus.WindowNames();
    return std::find(names.begin(), names.end(), audio_link::kCaptureWindowName) != names.end();
  }

  std::string Log() const {
    std::string text;
    e2e::RunCommand({"cat", (root.path() / "program.log").string()}, {}, milliseconds(5000), &text);
    return text;
  }

  void Command(CaptureCommand command, std::intptr_t lparam = 0) {
    EXPECT_TRUE(bus.PostTo(audio_link::kCaptureWindowName,
                           WindowMessage(command_message, static_cast<std::uintptr_t>(command), lparam)));
  }

  // The driver's greeting, as it sends it to a program it has started.
  void Greet(pid_t driver_process = ::getpid()) {
    Command(CaptureCommand::kHello, driver_process);
    Command(CaptureCommand::kReset);
    Command(CaptureCommand::kReady);
  }

  void SendStyle(std::vector<std::uint8_t> payload) {
    WindowMessage message(kWmCopyData);
    message.copy_kind = audio_link::kStyleColourKind;
    message.copy_data = std::move(payload);
    EXPECT_TRUE(bus.PostTo(audio_link::kCaptureWindowName, message));
  }

  std::vector<const WindowMessage*> Received(std::uint64_t kind) const {
    std::vector<const WindowMessage*> found;
    for (const WindowMessage& m : driver->received)
      if (m.id == kWmCopyData && m.copy_kind == kind) found.push_back(&m);
    return found;
  }

  // Pumps for a while, whatever arrives.
  void PumpFor(milliseconds span) {
    PumpUntil([] { return false; }, span);
  }

  bool ExitsWithZero(e2e::ChildProcess& program) {
    const std::optional<int> status = program.WaitExit(kExitLimit);
    EXPECT_EQ(status, 0) << Log();
    return status == 0;
  }

  test::PrivateUserFolders user_folders;
  const std::uint32_t command_message = RegisterWindowMessage(kAudioCaptureCommandName);
  BusTestWindow* driver = nullptr;  // in the driver's place
  const fs::path tone_file = root.path() / "tone.wav";
};

TEST_F(CaptureProgramTest, SendsSpectraFromCaptureOnToCaptureOffAndQuits) {
  auto program = Start({"--input", tone_file.string(), "--loop"});
  Greet();
  PumpFor(milliseconds(300));
  EXPECT_TRUE(driver->received.empty()) << "frames before the capture was switched on";

  Command(CaptureCommand::kCaptureOn);
  ASSERT_TRUE(PumpUntil([&] { return Received(audio_link::kSpectrumKind).size() >= 10; })) << Log();
  for (const WindowMessage* m : Received(audio_link::kSpectrumKind))
    ASSERT_EQ(m->copy_data.size(), audio_link::kSpectrumBytes);
  for (const WindowMessage* m : Received(audio_link::kColourBlockKind))
    ASSERT_EQ(m->copy_data.size(), audio_link::kColourBlockBytes);
  // The tone in its band, and the colour block saying so.
  const auto last = audio_link::DecodeSpectrum(Received(audio_link::kSpectrumKind).back()->copy_data);
  ASSERT_TRUE(last);
  const auto magnitude = [&](std::size_t band) { return std::abs((*last)[band * audio_link::kValuesPerBand]); };
  EXPECT_GT(magnitude(13), 850);
  EXPECT_LT(magnitude(3), 500);
  EXPECT_EQ(Received(audio_link::kColourBlockKind).back()->copy_data[3], 13);

  Command(CaptureCommand::kCaptureOff);
  PumpFor(milliseconds(300));
  const std::size_t frames = Received(audio_link::kSpectrumKind).size();
  PumpFor(milliseconds(500));
  EXPECT_EQ(Received(audio_link::kSpectrumKind).size(), frames) << "frames after the capture was switched off";

  Command(CaptureCommand::kQuit);
  ASSERT_TRUE(ExitsWithZero(*program));
  EXPECT_FALSE(fs::exists(*bus.SocketPath(audio_link::kCaptureWindowName)));
}

TEST_F(CaptureProgramTest, FramesGoOnlyToADriverThatSaidHello) {
  auto program = Start({"--input", tone_file.string(), "--loop"});
  Command(CaptureCommand::kCaptureOn);
  PumpFor(milliseconds(400));
  EXPECT_TRUE(driver->received.empty());
  Command(CaptureCommand::kHello, ::getpid());
  ASSERT_TRUE(PumpUntil([&] { return !Received(audio_link::kSpectrumKind).empty(); }));
  Command(CaptureCommand::kGoodbye);
  PumpFor(milliseconds(300));
  driver->received.clear();
  PumpFor(milliseconds(400));
  EXPECT_TRUE(driver->received.empty());
}

TEST_F(CaptureProgramTest, TheStyleColourTintsTheBlocksAndAMalformedOneIsIgnored) {
  auto program = Start({"--input", tone_file.string(), "--loop"});
  Greet();
  SendStyle(audio_link::EncodeStyleColour({9, 0, 0}));
  Command(CaptureCommand::kCaptureOn);
  const auto latest_block = [&] { return Received(audio_link::kColourBlockKind).back()->copy_data; };
  ASSERT_TRUE(PumpUntil([&] { return !Received(audio_link::kColourBlockKind).empty() && latest_block()[0] > 200; }));
  EXPECT_EQ(latest_block()[1], 0);

  // Green, one byte short and one too many: neither counts.
  std::vector<std::uint8_t> green = audio_link::EncodeStyleColour({0, 9, 0});
  for (const std::size_t size : {audio_link::kStyleColourBytes - 1, audio_link::kStyleColourBytes + 1}) {
    std::vector<std::uint8_t> malformed = green;
    malformed.resize(size);
    SendStyle(malformed);
  }
  PumpFor(milliseconds(300));
  driver->received.clear();
  ASSERT_TRUE(PumpUntil([&] { return Received(audio_link::kColourBlockKind).size() >= 5; }));
  for (const WindowMessage* m : Received(audio_link::kColourBlockKind)) {
    EXPECT_GT(m->copy_data[0], 200);
    EXPECT_EQ(m->copy_data[1], 0);
  }

  SendStyle(green);
  ASSERT_TRUE(PumpUntil([&] { return latest_block()[1] > 200 && latest_block()[0] == 0; }));
}

TEST_F(CaptureProgramTest, ASecondStartEndsAtOnceWhileTheFirstHoldsTheLock) {
  auto first = Start({"--input", tone_file.string(), "--loop"});
  const fs::path lock_file = bus.Folder() / audio_link::kCaptureLockFileName;
  UniqueFd probe;
  std::string error;
  EXPECT_EQ(TryLockFile(lock_file, probe, error), FileLockResult::kHeldByAnother);

  std::string said;
  EXPECT_EQ(e2e::RunCommand({BRONTAL_AUDIO}, {{"XDG_RUNTIME_DIR", root.path().string()}}, milliseconds(5000), &said),
            0);
  EXPECT_NE(said.find("runs already"), std::string::npos) << said;
  EXPECT_TRUE(first->Running());
  EXPECT_TRUE(OnBus());

  Command(CaptureCommand::kQuit);
  ASSERT_TRUE(ExitsWithZero(*first));
  EXPECT_EQ(TryLockFile(lock_file, probe, error), FileLockResult::kAcquired) << error;
}

// A driver started again starts a program of its own and greets that one.
TEST_F(CaptureProgramTest, EndsWhenTheDriverThatSaidHelloEnds) {
  const pid_t stand_in = ::fork();
  if (stand_in == 0) {
    ::pause();
    ::_exit(0);
  }
  ASSERT_GT(stand_in, 0);
  auto program = Start({"--input", tone_file.string(), "--loop"});
  Greet(stand_in);
  Command(CaptureCommand::kCaptureOn);
  PumpFor(milliseconds(200));
  EXPECT_TRUE(program->Running());
  ::kill(stand_in, SIGKILL);
  ::waitpid(stand_in, nullptr, 0);
  EXPECT_TRUE(ExitsWithZero(*program));
}

TEST_F(CaptureProgramTest, EndsWithItsInput) {
  auto program = Start({"--input", tone_file.string()});
  Greet();
  Command(CaptureCommand::kCaptureOn);
  EXPECT_EQ(program->WaitExit(milliseconds(2000) + kExitLimit), 0) << Log();
}

TEST_F(CaptureProgramTest, LeavesTheBusOnSigterm) {
  auto program = Start({"--input", tone_file.string(), "--loop"});
  Greet();
  Command(CaptureCommand::kCaptureOn);
  ASSERT_TRUE(PumpUntil([&] { return !Received(audio_link::kSpectrumKind).empty(); }));
  // The frames come with the sender's process id.
  ::kill(static_cast<pid_t>(Received(audio_link::kSpectrumKind).front()->wparam), SIGTERM);
  ASSERT_TRUE(ExitsWithZero(*program));
  EXPECT_FALSE(OnBus());
}

TEST_F(CaptureProgramTest, RecordsTheDesktopOnlyBetweenCaptureOnAndOff) {
  test::PrivatePulseAudio server;
  if (!server.running()) GTEST_SKIP() << server.problem();
  const fs::path long_tone = root.path() / "long_tone.wav";
  test::WriteBytes(long_tone,
                   test::EncodeWav(test::Tone(1000, 0.5, 48000, 48000 * 20), 1, 48000, test::WavEncoding::kPcm16));
  const auto player = server.Play(long_tone);
  auto program = Start({}, server.ClientEnvironment());
  Greet();
  PumpFor(milliseconds(300));
  EXPECT_EQ(server.RecordingCount(), 0);

  Command(CaptureCommand::kCaptureOn);
  const auto tone_heard = [&] {
    const auto spectra = Received(audio_link::kSpectrumKind);
    if (spectra.empty()) return false;
    const auto last = audio_link::DecodeSpectrum(spectra.back()->copy_data);
    return last && std::abs((*last)[13 * audio_link::kValuesPerBand]) > 850;
  };
  ASSERT_TRUE(PumpUntil(tone_heard, milliseconds(8000))) << Log();
  EXPECT_EQ(server.RecordingCount(), 1);

  Command(CaptureCommand::kCaptureOff);
  EXPECT_TRUE(e2e::WaitUntil([&] { return server.RecordingCount() == 0; }, milliseconds(3000)));
  Command(CaptureCommand::kQuit);
  EXPECT_TRUE(ExitsWithZero(*program));
}

}  // namespace
}  // namespace brontal::testing
