#include "audio_capture/wav_file_source.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace brontal::audio_capture {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::shared_ptr<const WavSound> Counting(unsigned rate, std::size_t count) {
  auto sound = std::make_shared<WavSound>();
  sound->sample_rate = rate;
  for (std::size_t i = 0; i < count; ++i) sound->samples.push_back(static_cast<float>(i + 1));
  return sound;
}

TEST(WavFileSourceTest, PlaysAtItsOwnPaceThenPadsAndEnds) {
  // 0.3 s at 1000 Hz, read 100 samples at a time.
  WavFileSource source(Counting(1000, 250), false);
  std::vector<float> block(100);
  std::string error;
  const auto start = Clock::now();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(source.Read(block, {}, error), ReadResult::kRead);
  const auto took = Clock::now() - start;
  EXPECT_GE(took, milliseconds(295));
  EXPECT_LT(took, milliseconds(450));
  EXPECT_EQ(block[49], 250.0f);
  EXPECT_EQ(block[50], 0.0f);
  EXPECT_EQ(source.Read(block, {}, error), ReadResult::kEnded);
}

TEST(WavFileSourceTest, LoopsBackToItsStart) {
  WavFileSource source(Counting(48000, 150), true);
  std::vector<float> block(100);
  std::string error;
  ASSERT_EQ(source.Read(block, {}, error), ReadResult::kRead);
  ASSERT_EQ(source.Read(block, {}, error), ReadResult::kRead);
  EXPECT_EQ(block[49], 150.0f);
  EXPECT_EQ(block[50], 1.0f);
  EXPECT_EQ(block[99], 50.0f);
}

TEST(WavFileSourceTest, AnEmptySoundEndsEvenLooped) {
  WavFileSource source(Counting(48000, 0), true);
  std::vector<float> block(10);
  std::string error;
  EXPECT_EQ(source.Read(block, {}, error), ReadResult::kEnded);
}

TEST(WavFileSourceTest, StopEndsAWaitAtOnce) {
  // One block of ten seconds.
  WavFileSource source(Counting(8000, 80000), false);
  std::vector<float> block(80000);
  std::stop_source stop;
  std::jthread stopper([&] {
    std::this_thread::sleep_for(milliseconds(100));
    stop.request_stop();
  });
  std::string error;
  const auto start = Clock::now();
  EXPECT_EQ(source.Read(block, stop.get_token(), error), ReadResult::kStopped);
  EXPECT_LT(Clock::now() - start, milliseconds(2000));
}

}  // namespace
}  // namespace brontal::audio_capture
