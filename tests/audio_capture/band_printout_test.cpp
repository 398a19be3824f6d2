#include "audio_capture/band_printout.h"

#include <gtest/gtest.h>

#include <sstream>

#include "helpers/scoped_environment.h"

namespace brontal::audio_capture {
namespace {

TEST(BandPrintoutTest, BarStepsAndJson) {
  audio_link::BandLevels levels{};
  levels[0] = -5;
  levels[1] = 222;  // just under a ninth of 2000
  levels[2] = 223;
  levels[3] = 1000;
  levels[4] = 1999;
  levels[5] = 2000;
  levels[6] = 50000;
  EXPECT_EQ(BandLine(levels, false), "|  .=%@@                  |");
  EXPECT_EQ(BandLine(levels, true),
            "[-5, 222, 223, 1000, 1999, 2000, 50000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]");
}

TEST(BandPrintoutTest, ALineForEveryFrameOfAFile) {
  auto sound = std::make_shared<WavSound>();
  sound->sample_rate = 8000;
  sound->samples.assign(2000, 0.25f);  // a quarter of a second
  std::ostringstream out, err;
  EXPECT_EQ(RunBandPrintout({sound, false}, {std::nullopt, true}, out, err, "test"), 0) << err.str();
  std::istringstream lines(out.str());
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_EQ(line.front(), '[');
    EXPECT_EQ(line.back(), ']');
  }
  // Hops of 128 samples, the last one padded.
  EXPECT_EQ(count, 16);
}

TEST(BandPrintoutTest, TheLimitEndsALoopedFile) {
  auto sound = std::make_shared<WavSound>();
  sound->sample_rate = 8000;
  sound->samples.assign(800, 0.0f);
  std::ostringstream out, err;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunBandPrintout({sound, true}, {std::chrono::milliseconds(300), false}, out, err, "test"), 0);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(290));
  EXPECT_LT(took, std::chrono::milliseconds(1500));
}

TEST(BandPrintoutTest, WithoutASoundServerSaysSoAndFails) {
  const test::ScopedEnvironment nowhere(
      std::map<std::string, std::string>{{"PULSE_SERVER", "unix:/nonexistent/brontal/native"}});
  std::ostringstream out, err;
  EXPECT_EQ(RunBandPrintout({}, {}, out, err, "who"), 1);
  EXPECT_EQ(err.str().rfind("who: no sound server", 0), 0u) << err.str();
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace brontal::audio_capture
