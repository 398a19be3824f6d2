// brontalctl lighting preview: a keyboard model's host animation, printed
// step by step without a device.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/brontalctl.h"
#include "cli/run_brontalctl.h"
#include "devices/key_action_tables.h"
#include "devices/keyboard/keyboard_picture.h"
#include "devices/lighting/light_tables.h"

namespace brontal {
namespace {

using test::CliResult;
using test::RunCli;

using Colour = std::array<int, 4>;  // red, green, blue, alpha
using Frame = std::vector<Colour>;  // by logical key

constexpr std::uint16_t kCompactBoard = 0x5101;  // the 75 % model
constexpr const char* kCompactBoardId = "320f:5101";
constexpr int kModeCount = 31;

CliResult Preview(std::vector<std::string> words) {
  words.insert(words.begin(), {"lighting", "preview"});
  return RunCli(words);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The --json output, one frame per line; a line out of shape fails the test
// and leaves its frame empty.
std::vector<Frame> JsonFrames(const std::string& out) {
  std::vector<Frame> frames;
  for (const std::string& line : Lines(out)) {
    Frame& frame = frames.emplace_back();
    Json::Value v;
    if (!Json::Reader().parse(line, v) || !v.isObject()) {
      ADD_FAILURE() << "not a JSON object: " << line;
      continue;
    }
    EXPECT_TRUE(v["step"].isInt() && v["step"].asUInt() == frames.size()) << line;
    const Json::Value& colours = v["colors"];
    if (!colours.isArray() || colours.size() != kLogicalKeyCount) {
      ADD_FAILURE() << "not " << kLogicalKeyCount << " colours: " << line;
      continue;
    }
    for (const Json::Value& entry : colours) {
      Colour& colour = frame.emplace_back();
      EXPECT_TRUE(entry.isArray() && entry.size() == colour.size()) << line;
      for (Json::ArrayIndex i = 0; i < colour.size(); ++i) {
        EXPECT_TRUE(entry[i].isInt() && entry[i].asInt() >= 0 && entry[i].asInt() <= 255) << line;
        colour[i] = entry[i].asInt();
      }
    }
  }
  return frames;
}

// The keys the product's picture shows: the ones the model has.
std::array<bool, kLogicalKeyCount> KeysOf(std::uint16_t product) {
  std::array<bool, kLogicalKeyCount> present{};
  const std::optional<int> variant = KeyPictureVariantOf(product);
  EXPECT_TRUE(variant.has_value());
  for (const KeyPlace& place : KeyPictureLayout(variant.value_or(-1))) present.at(place.logical_key) = true;
  return present;
}

TEST(LightingPreview, EveryModePrintsOneJsonLinePerStepAndLeavesMissingKeysDark) {
  constexpr int kSteps = 7;
  const std::array<bool, kLogicalKeyCount> present = KeysOf(kCompactBoard);
  ASSERT_EQ(std::count(present.begin(), present.end(), true), 84);
  for (int mode = 0; mode < kModeCount; ++mode) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    const CliResult r =
        Preview({kCompactBoardId, "--mode", std::to_string(mode), "--steps", std::to_string(kSteps), "--json"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<Frame> frames = JsonFrames(r.out);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(kSteps));
    for (const Frame& frame : frames) {
      for (std::size_t key = 0; key < frame.size(); ++key) {
        if (!present[key]) {
          EXPECT_EQ(frame[key], (Colour{0, 0, 0, 0})) << "key " << key;
        }
      }
    }
  }
}

TEST(LightingPreview, StaticColourShowsOnEveryKeyAtTheBrightnessLevel) {
  struct Case {
    int brightness;
    int alpha;
  };
  constexpr Case kCases[] = {{0, 0}, {1, 80}, {2, 135}, {3, 195}, {4, 255}};
  const std::array<bool, kLogicalKeyCount> present = KeysOf(kCompactBoard);
  for (const Case& c : kCases) {
    SCOPED_TRACE("brightness " + std::to_string(c.brightness));
    const CliResult r = Preview({kCompactBoardId, "--mode", "6", "--multicolor", "0", "--color", "123456",
                                 "--brightness", std::to_string(c.brightness), "--steps", "3", "--json"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const std::vector<Frame> frames = JsonFrames(r.out);
    ASSERT_EQ(frames.size(), 3u);
    for (const Frame& frame : frames) {
      for (std::size_t key = 0; key < frame.size(); ++key) {
        SCOPED_TRACE("key " + std::to_string(key));
        if (!present[key]) {
          EXPECT_EQ(frame[key], (Colour{0, 0, 0, 0}));
        } else if (c.alpha == 0) {
          EXPECT_EQ(frame[key][3], 0);
        } else {
          EXPECT_EQ(frame[key], (Colour{0x12, 0x34, 0x56, c.alpha}));
        }
      }
    }
  }
}

// Every printed step is one step of the mode, whatever its speed: the colour
// moves one place round the wheel, and on past its end.
TEST(LightingPreview, ColourCycleMovesOneWheelPlacePerStep) {
  constexpr int kWheel = static_cast<int>(lighting::kWheelSize);
  constexpr int kSteps = kWheel + 20;  // on past the wheel's end
  const std::array<bool, kLogicalKeyCount> present = KeysOf(kCompactBoard);
  const auto first_key = static_cast<std::size_t>(std::find(present.begin(), present.end(), true) - present.begin());
  const auto wheel_place = [](const Colour& c) {
    const lighting::Rgb rgb{static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                            static_cast<std::uint8_t>(c[2])};
    return static_cast<int>(std::find(lighting::kColourWheel.begin(), lighting::kColourWheel.end(), rgb) -
                            lighting::kColourWheel.begin());
  };
  struct Case {
    const char* speed;
    const char* direction;
    int move;
  };
  constexpr Case kCases[] = {{"4", "1", 1}, {"4", "0", -1}, {"0", "1", 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string("speed ") + c.speed + ", direction " + c.direction);
    const CliResult r = Preview({kCompactBoardId, "--mode", "4", "--speed", c.speed, "--direction", c.direction,
                                 "--brightness", "4", "--steps", std::to_string(kSteps), "--json"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    const std::vector<Frame> frames = JsonFrames(r.out);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(kSteps));
    int place = -1;
    for (std::size_t step = 0; step < frames.size(); ++step) {
      const Frame& frame = frames[step];
      ASSERT_EQ(frame.size(), kLogicalKeyCount);
      const int now = wheel_place(frame[first_key]);
      ASSERT_LT(now, kWheel) << "step " << step + 1 << " is no wheel colour";
      EXPECT_EQ(frame[first_key][3], 255);
      for (std::size_t key = 0; key < frame.size(); ++key) {
        if (present[key]) {
          EXPECT_EQ(frame[key], frame[first_key]) << "step " << step + 1 << ", key " << key;
        }
      }
      if (place >= 0) {
        EXPECT_EQ(now, (place + c.move + kWheel) % kWheel) << "step " << step + 1;
      }
      place = now;
    }
  }
}

// The text form carries the same colours as RRGGBB/alpha.
TEST(LightingPreview, TextAndJsonShowTheSameColours) {
  for (const char* mode : {"4", "10", "24"}) {
    SCOPED_TRACE(std::string("mode ") + mode);
    const std::vector<std::string> words = {kCompactBoardId, "--mode", mode, "--multicolor", "1", "--steps", "12"};
    const CliResult text = Preview(words);
    std::vector<std::string> json_words = words;
    json_words.push_back("--json");
    const CliResult json = Preview(json_words);
    ASSERT_EQ(text.status, kExitOk) << text.err;
    const std::vector<Frame> frames = JsonFrames(json.out);
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), frames.size());
    for (std::size_t step = 0; step < lines.size(); ++step) {
      std::string expected = "step " + std::to_string(step + 1) + ":";
      for (const Colour& c : frames[step]) {
        char entry[16];
        std::snprintf(entry, sizeof entry, " %02x%02x%02x/%d", c[0], c[1], c[2], c[3]);
        expected += entry;
      }
      EXPECT_EQ(lines[step], expected);
    }
  }
}

TEST(LightingPreview, RandomModesPrintTheSameColoursEveryRun) {
  for (const char* mode : {"10", "15", "22"}) {
    SCOPED_TRACE(std::string("mode ") + mode);
    const std::vector<std::string> words = {"keyboard", "--mode", mode, "--multicolor", "1", "--steps", "60", "--json"};
    const CliResult first = Preview(words);
    const CliResult second = Preview(words);
    ASSERT_EQ(first.status, kExitOk) << first.err;
    EXPECT_EQ(first.out, second.out);
    const std::vector<Frame> frames = JsonFrames(first.out);
    ASSERT_EQ(frames.size(), 60u);
    EXPECT_NE(frames.front(), frames.back()) << "the animation did not move";
  }
}

TEST(LightingPreview, AModeNameIsTheModeOfItsIndex) {
  struct Case {
    const char* name;
    const char* index;
  };
  constexpr Case kCases[] = {{"Breathing", "5"}, {"breathing", "5"}, {"Colour cycle", "4"}, {"SPARKLE", "10"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const CliResult by_name = Preview({"keyboard", "--mode", c.name, "--steps", "40", "--json"});
    const CliResult by_index = Preview({"keyboard", "--mode", c.index, "--steps", "40", "--json"});
    ASSERT_EQ(by_name.status, kExitOk) << by_name.err;
    EXPECT_EQ(by_name.out, by_index.out);
  }
  // Not the same output whatever the mode.
  EXPECT_NE(Preview({"keyboard", "--mode", "Breathing", "--steps", "40"}).out,
            Preview({"keyboard", "--mode", "4", "--steps", "40"}).out);
}

TEST(LightingPreview, UsageErrorsExitTwoWithOneLineAndPrintNothing) {
  struct Case {
    std::vector<std::string> words;
    std::string message;
  };
  const Case cases[] = {
      {{"keyboard", "--steps", "3"}, "--mode is missing"},
      {{"keyboard", "--mode", "4"}, "--steps is missing"},
      {{"keyboard", "--mode", "4", "--steps", "0"}, "--steps takes 1..100000, not '0'"},
      {{"keyboard", "--mode", "4", "--steps"}, "option '--steps' needs a value"},
      {{"320f:2003", "--mode", "4", "--steps", "3"}, "'320f:2003' is not a keyboard product"},
      {{"1234:5678", "--mode", "4", "--steps", "3"}, "'1234:5678' is not a keyboard product"},
      {{"mouse", "--mode", "4", "--steps", "3"}, "'mouse' is not a keyboard product"},
      {{"--mode", "4", "--steps", "3"}, "which keyboard?"},
      {{"keyboard", "--mode", "4", "--brightness", "5", "--steps", "3"}, "--brightness takes 0..4, not '5'"},
      {{"keyboard", "--mode", "4", "--multicolor", "2", "--steps", "3"}, "--multicolor takes 0..1, not '2'"},
      {{"keyboard", "--mode", "4", "--color", "12345", "--steps", "3"}, "--color takes RRGGBB, not '12345'"},
      {{"keyboard", "--mode", "4", "--color", "12345g", "--steps", "3"}, "--color takes RRGGBB, not '12345g'"},
      {{"keyboard", "--mode", "31", "--steps", "3"}, "--mode takes a mode index 0..30 or a mode's name, not '31'"},
      {{"keyboard", "--mode", "Disco", "--steps", "3"}, "not 'Disco'"},
      {{"keyboard", "extra", "--mode", "4", "--steps", "3"}, "unexpected argument 'extra'"},
      {{"keyboard", "--mode", "4", "--steps", "3", "--frob"}, "unknown option '--frob'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult r = Preview(c.words);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("brontalctl: lighting preview: ")) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(LightingPreview, HelpExplainsTheCommandAndRunsNothing) {
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"--help"}, {"keyboard", "--mode", "4", "--steps", "0", "--help"}}) {
    const CliResult r = Preview(words);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_TRUE(r.out.starts_with("Usage: brontalctl lighting preview PRODUCT")) << r.out;
    EXPECT_EQ(r.out.find("step 1"), std::string::npos);
  }
}

}  // namespace
}  // namespace brontal
