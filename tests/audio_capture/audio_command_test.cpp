// brontalctl audio, run as a user runs it.
#include <gtest/gtest.h>

#include <sstream>

#include "audio_capture/test_wav.h"
#include "e2e/child_process.h"
#include "helpers/temporary_folder.h"

namespace brontal {
namespace {

using std::chrono::milliseconds;

class AudioCommandTest : public ::testing::Test {
 protected:
  AudioCommandTest() {
    test::WriteBytes(tone, test::EncodeWav(test::Tone(1000, 0.5, 44100, 44100), 2, 44100, test::WavEncoding::kFloat32));
  }

  int Run(std::vector<std::string> args, std::string& output) {
    args.insert(args.begin(), BRONTALCTL);
    return e2e::RunCommand(args, {{"PULSE_SERVER", "unix:/nonexistent/brontal/native"}}, milliseconds(10000), &output);
  }

  test::TemporaryFolder folder{"brontal_audio_command"};
  const std::filesystem::path tone = folder.path() / "tone.wav";
};

TEST_F(AudioCommandTest, CapturePrintsTheBandLevelsOfAFileAsJson) {
  // Options anywhere on the line.
  std::string output;
  ASSERT_EQ(Run({"audio", "--json", "capture", "--input", tone.string()}, output), 0) << output;
  std::istringstream lines(output);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_EQ(line.front(), '[') << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 24) << line;
  }
  // Half a second at 86 frames a second, the last hop filled with silence.
  EXPECT_EQ(count, 44);
}

struct Outcome {
  std::vector<std::string> args;
  int status;
  const char* said;
};

TEST_F(AudioCommandTest, HelpUsageErrorsAndFailures) {
  const Outcome outcomes[] = {
      {{"audio", "--help"}, 0, "audio capture [--for SECONDS]"},
      {{"audio", "capture", "--help"}, 0, "a line a frame"},
      {{"--help"}, 0, "audio capture"},
      {{"audio"}, 2, "audio needs a sub-command"},
      {{"audio", "record"}, 2, "unknown sub-command 'record'"},
      {{"audio", "capture", "now"}, 2, "unexpected argument 'now'"},
      {{"audio", "capture", "--for", "0"}, 2, "--for takes a number of seconds"},
      {{"audio", "capture", "--loud"}, 2, "unknown option '--loud'"},
      {{"audio", "capture", "--input", "/nonexistent/tone.wav"}, 1, "/nonexistent/tone.wav: cannot be opened"},
      {{"audio", "capture", "--for", "1"}, 1, "audio capture: no sound server"},
  };
  for (const Outcome& o : outcomes) {
    std::string output;
    EXPECT_EQ(Run(o.args, output), o.status) << o.args.back();
    EXPECT_NE(output.find(o.said), std::string::npos) << output;
  }
}

}  // namespace
}  // namespace brontal
