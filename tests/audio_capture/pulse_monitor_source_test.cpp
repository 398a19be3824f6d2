// The recording of the desktop's sound, on a PulseAudio server of the test's own.
#include "audio_capture/pulse_monitor_source.h"

#include <gtest/gtest.h>

#include <thread>

#include "audio_capture/analysis_loop.h"
#include "audio_capture/private_pulse_audio.h"
#include "audio_capture/test_wav.h"
#include "helpers/scoped_environment.h"

namespace brontal::audio_capture {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t kFragment = 1024;

class PulseMonitorSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.running()) GTEST_SKIP() << server.problem();
  }

  test::PrivatePulseAudio server;
};

TEST_F(PulseMonitorSourceTest, RecordsWhatTheDefaultOutputPlays) {
  const test::TemporaryFolder folder("brontal_tone");
  const auto tone = folder.path() / "tone.wav";
  test::WriteBytes(tone,
                   test::EncodeWav(test::Tone(1000, 0.5, 48000, 48000 * 10), 1, 48000, test::WavEncoding::kFloat32));
  const auto player = server.Play(tone);

  std::string error;
  const auto source = PulseMonitorSource::Open(kFragment, {}, error);
  ASSERT_TRUE(source) << error;
  EXPECT_EQ(server.RecordingCount(), 1);
  std::stop_source stop;
  bool heard = false;
  const auto give_up = Clock::now() + std::chrono::seconds(5);
  RunAnalysis(
      *source, stop.get_token(),
      [&](const AnalysedFrame& frame) {
        // The tone's band (13) as loud as it is played, give or take the server's mixing.
        heard =
            std::abs(frame.spectrum[13 * kValuesPerBand]) > 850 && std::abs(frame.spectrum[3 * kValuesPerBand]) < 500;
        if (heard || Clock::now() > give_up) stop.request_stop();
      },
      error);
  EXPECT_TRUE(heard) << error;
}

TEST_F(PulseMonitorSourceTest, NoServerIsSaidAtOnce) {
  const test::ScopedEnvironment nowhere(
      std::map<std::string, std::string>{{"PULSE_SERVER", "unix:/nonexistent/brontal/native"}});
  std::string error;
  const auto start = Clock::now();
  EXPECT_FALSE(PulseMonitorSource::Open(kFragment, {}, error));
  EXPECT_LT(Clock::now() - start, milliseconds(1000));
  EXPECT_EQ(error.rfind("no sound server", 0), 0u) << error;
}

TEST_F(PulseMonitorSourceTest, AServerThatDoesNotAnswerIsGivenUpAtTheLimit) {
  server.Freeze();
  std::string error;
  const auto start = Clock::now();
  EXPECT_FALSE(PulseMonitorSource::Open(kFragment, {}, error));
  const auto took = Clock::now() - start;
  server.Resume();
  EXPECT_GE(took, PulseMonitorSource::kConnectLimit - milliseconds(50));
  EXPECT_LT(took, PulseMonitorSource::kConnectLimit + milliseconds(1000));
  EXPECT_NE(error.find("no answer"), std::string::npos) << error;
}

TEST_F(PulseMonitorSourceTest, StopEndsTheConnecting) {
  server.Freeze();
  std::stop_source stop;
  std::jthread stopper([&] {
    std::this_thread::sleep_for(milliseconds(200));
    stop.request_stop();
  });
  std::string error;
  const auto start = Clock::now();
  EXPECT_FALSE(PulseMonitorSource::Open(kFragment, stop.get_token(), error));
  EXPECT_LT(Clock::now() - start, milliseconds(1500));
  server.Resume();
}

TEST_F(PulseMonitorSourceTest, TheServerGoingAwayEndsTheRecording) {
  std::string error;
  const auto source = PulseMonitorSource::Open(kFragment, {}, error);
  ASSERT_TRUE(source) << error;
  std::vector<float> block(kFragment);
  ASSERT_EQ(source->Read(block, {}, error), ReadResult::kRead) << error;
  server.End();
  const auto start = Clock::now();
  ReadResult result = ReadResult::kRead;
  while (result == ReadResult::kRead && Clock::now() - start < std::chrono::seconds(3))
    result = source->Read(block, {}, error);
  EXPECT_EQ(result, ReadResult::kFailed);
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace brontal::audio_capture
