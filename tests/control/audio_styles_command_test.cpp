#include "control/audio_styles_command.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <sstream>

#include "profiles/json_document.h"
#include "profiles/scratch_folder.h"

namespace brontal {
namespace {

using audio_styles_command::Change;
using Field = Change::Field;

constexpr const char* kFactory = R"({ "Device" : { "AudioLightInfo" : {
  "nAudioStyle" : 0, "nStyleName1" : "第一组", "nStyleName2" : "第二组", "nStyleName3" : "第三组", "nStyleName4" : "第四组",
  "nStyleR0" : 9, "nStyleG0" : 0, "nStyleB0" : 0, "nStyleR1" : 0, "nStyleG1" : 9, "nStyleB1" : 0,
  "nStyleR2" : 0, "nStyleG2" : 0, "nStyleB2" : 9, "nStyleR3" : 9, "nStyleG3" : 9, "nStyleB3" : 9 } } })";

TEST(AudioStylesCommand, WordsAreCheckedBeforeAnythingIsTouched) {
  struct Case {
    std::vector<std::string> words;
    bool ok;
    std::vector<Change> changes = {};
  };
  const Case cases[] = {
      {{}, true},
      {{"--json"}, true},
      {{"style=3", "name2=Bass", "g4=9", "r1=0"},
       true,
       {{Field::kSelected, 0, 3, ""},
        {Field::kName, 1, 0, "Bass"},
        {Field::kGreen, 3, 9, ""},
        {Field::kRed, 0, 0, ""}}},
      {{"name1="}, true, {{Field::kName, 0, 0, ""}}},
      {{"name1=a=b"}, true, {{Field::kName, 0, 0, "a=b"}}},
      {{"style=4"}, false},
      {{"style=-1"}, false},
      {{"r5=1"}, false},
      {{"r0=1"}, false},
      {{"b1=10"}, false},
      {{"g1="}, false},
      {{"name=x"}, false},
      {{"name5=x"}, false},
      {{"x1=1"}, false},
      {{"style"}, false},
      {{"=3"}, false},
      {{"style=1", "--json"}, false},
      {{"--bogus"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.words));
    audio_styles_command::Line line;
    std::string error;
    EXPECT_EQ(audio_styles_command::Parse(c.words, line, error), c.ok) << error;
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    ASSERT_EQ(line.changes.size(), c.changes.size());
    for (std::size_t i = 0; i < c.changes.size(); ++i) {
      EXPECT_EQ(line.changes[i].field, c.changes[i].field) << i;
      EXPECT_EQ(line.changes[i].style, c.changes[i].style) << i;
      EXPECT_EQ(line.changes[i].number, c.changes[i].number) << i;
      EXPECT_EQ(line.changes[i].text, c.changes[i].text) << i;
    }
  }
}

// brontalctl on its own: no program takes the request, the files change here.
class AudioStylesWithoutTheProgram : public ::testing::Test {
 protected:
  AudioStylesWithoutTheProgram() { folder_.Write("factory/AudioFile.json", kFactory); }

  struct Result {
    int status;
    std::string out, err;
  };
  Result Run(std::vector<std::string_view> words) {
    std::ostringstream out, err;
    const int status = audio_styles_command::Run(words, out, err, folder_.Folders(), folder_ / "nobody-listens.socket");
    return {status, out.str(), err.str()};
  }

  testing::ScratchFolder folder_;
};

TEST_F(AudioStylesWithoutTheProgram, SetThenShowRoundTripsThroughTheFile) {
  const Result set = Run({"style=1", "name2=Bass", "r2=3", "g2=0", "b2=7", "name3="});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out + set.err, "");
  const AudioStyles stored = LoadAudioStyles(folder_.Folders());
  EXPECT_EQ(stored.selected, 1);
  EXPECT_EQ(stored.names, (std::array<std::string, 4>{"第一组", "Bass", "第三组", "第四组"}));
  EXPECT_EQ(std::vector<int>(stored.levels.begin() + 3, stored.levels.begin() + 6), (std::vector<int>{3, 0, 7}));

  const Result text = Run({});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out,
            "style = 1\n"
            "name1 = 第一组\nr1 = 9\ng1 = 0\nb1 = 0\n"
            "name2 = Bass\nr2 = 3\ng2 = 0\nb2 = 7\n"
            "name3 = 第三组\nr3 = 0\ng3 = 0\nb3 = 9\n"
            "name4 = 第四组\nr4 = 9\ng4 = 9\nb4 = 9\n");

  const Result json = Run({"--json"});
  Json::Value v;
  ASSERT_TRUE(Json::Reader().parse(json.out, v)) << json.out;
  EXPECT_EQ(v["style"].asInt(), 1);
  EXPECT_EQ(v["styles"].size(), 4u);
  EXPECT_EQ(v["styles"][1]["name"].asString(), "Bass");
  EXPECT_EQ(v["styles"][1]["b"].asInt(), 7);
}

TEST_F(AudioStylesWithoutTheProgram, ACorruptFileFallsBackToTheFactoryCopy) {
  folder_.Write("user/AudioFile.json", "{ \"Device\" : ");
  const Result set = Run({"b4=1"});
  ASSERT_EQ(set.status, 0) << set.err;
  AudioStyles expected = LoadAudioStyles({folder_ / "factory", folder_ / "elsewhere", folder_ / "config"});
  expected.levels[11] = 1;
  EXPECT_EQ(LoadAudioStyles(folder_.Folders()), expected);
}

TEST_F(AudioStylesWithoutTheProgram, AUsageErrorWritesNothing) {
  for (const std::vector<std::string_view>& words :
       {std::vector<std::string_view>{"style=1", "r1=12"}, {"colour=1"}, {"name1=x", "--json"}}) {
    const Result result = Run(words);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.err.starts_with("brontalctl: audio styles: ")) << result.err;
    EXPECT_FALSE(folder_.Exists("user/AudioFile.json"));
  }
}

}  // namespace
}  // namespace brontal
