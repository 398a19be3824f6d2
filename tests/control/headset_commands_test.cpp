// brontalctl's headset commands on the simulated headset and its simulated sound card.
#include <gtest/gtest.h>

#include "audio/simulated_headset_audio.h"
#include "control/device_command_fixture.h"
#include "control/device_commands.h"
#include "devices/headset/corvane_zu6533_device.h"

namespace brontal {
namespace {

using audio::SimulatedHeadsetAudio;
using audio::SoundControl;
using Lines = std::vector<std::string>;

class HeadsetCommandsTest : public test::DeviceCommandFixture<CCorvaneZU6533Device> {
 protected:
  HeadsetCommandsTest() : DeviceCommandFixture(0x1630, 0x0C76) {
    EXPECT_TRUE(PumpUntil([&] { return !Product()->io().Busy(); }));
    Card().ClearJournal();
  }
  SimulatedHeadsetAudio& Card() { return dynamic_cast<SimulatedHeadsetAudio&>(*Product()->audio()); }
  DeviceReply Ran(std::vector<std::string> words) {
    const DeviceReply reply = Run(std::move(words));
    EXPECT_TRUE(PumpUntil([&] { return !Product()->io().Busy(); }));
    return reply;
  }
};

TEST_F(HeadsetCommandsTest, SetChangesSoundAndLightingAndShowReadsThemBack) {
  const DeviceReply set = Ran({"set", "headset", "mic=40", "mic-mute=1", "monitor=12", "eq=5", "brightness=2"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Card().Journal(), (Lines{"write mic-level 40", "write mic-mute 1", "write monitor-level 12",
                                     "equaliser 0 0 0 0 0 0 0 0 0 0"}));
  EXPECT_EQ(BytesOf(0x06), pad::kRecordSize);
  const std::string shown = Run({"show", "headset"}).out;
  for (const char* line : {"  mic = 40\n", "  mic-mute = 1\n", "  monitor = 12\n", "  eq = 5\n", "  brightness = 2\n"})
    EXPECT_NE(shown.find(line), std::string::npos) << line << shown;
}

TEST_F(HeadsetCommandsTest, CustomCurvesThroughEq) {
  ASSERT_EQ(Ran({"eq", "headset", "save", "Bass", "6,5,4,3,2,1,0,-1,-2,-20"}).status, 0);
  EXPECT_EQ(Card().equaliser(), (EqBands{6, 5, 4, 3, 2, 1, 0, -1, -2, -20}));
  ASSERT_EQ(Ran({"eq", "headset", "save", "Voice", "0,0,0,0,3,3,3,0,0,0"}).status, 0);
  EXPECT_EQ(Run({"eq", "headset", "list"}).out, "Bass  6,5,4,3,2,1,0,-1,-2,-20\nVoice  0,0,0,0,3,3,3,0,0,0\n");
  ASSERT_EQ(Ran({"eq", "headset", "apply", "Bass"}).status, 0);
  EXPECT_EQ(Card().equaliser(), (EqBands{6, 5, 4, 3, 2, 1, 0, -1, -2, -20}));
  EXPECT_NE(Run({"show", "headset"}).out.find("  eq-curve = Bass\n"), std::string::npos);
  // Saving under an existing name replaces its bands.
  ASSERT_EQ(Ran({"eq", "headset", "save", "Bass", "1,1,1,1,1,1,1,1,1,1"}).status, 0);
  EXPECT_EQ(Product()->profile().GetCustomEqBands(0), (EqBands{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(Product()->profile().GetCustomEqNames().size(), 2u);
  const DeviceReply other_case = Ran({"eq", "headset", "save", "vOICE", "0,0,0,0,0,0,0,0,0,0"});
  EXPECT_EQ(other_case.status, 1);
  EXPECT_NE(other_case.err.find("other letter case"), std::string::npos) << other_case.err;
  ASSERT_EQ(Ran({"eq", "headset", "delete", "Bass"}).status, 0);
  EXPECT_EQ(Product()->profile().GetCustomEqNames(), (std::vector<std::string>{"Voice"}));
  ASSERT_EQ(Ran({"set", "headset", "eq-curve=Voice"}).status, 0);
  EXPECT_EQ(Product()->sound().mirror.eq_type, 13);
}

TEST_F(HeadsetCommandsTest, WhatTheCardRefusesIsKeptInTheProfileAndSaidSo) {
  Card().SetEqualiserAvailable(false);
  Card().FailNext(SoundControl::kMicLevel);
  const DeviceReply reply = Ran({"set", "headset", "eq=2", "mic=30"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("eq: the simulated sound server has no equaliser"), std::string::npos) << reply.err;
  EXPECT_NE(reply.err.find("mic: the headset's sound card did not take it"), std::string::npos) << reply.err;
  EXPECT_EQ(Product()->profile().GetHeadsetSystem().eq_type, 2);
}

TEST_F(HeadsetCommandsTest, RefusalsChangeNothing) {
  struct Case {
    std::vector<std::string> words;
    std::string err;
  };
  const Case cases[] = {
      {{"set", "headset", "mic=101"}, "mic is a level 0-100"},
      {{"set", "headset", "mic-mute=2"}, "mic-mute is 0 or 1"},
      {{"set", "headset", "eq=0"}, "eq is an equaliser option"},
      {{"set", "headset", "eq=14"}, "eq is an equaliser option"},
      {{"set", "headset", "eq-curve=Nope"}, "no custom curve 'Nope'"},
      {{"set", "headset", "direction=1"}, "no setting 'direction'"},
      {{"eq", "headset", "save", "x", "1,2,3"}, "BANDS is ten gains"},
      {{"eq", "headset", "save", "x", "1,2,3,4,5,6,7,8,9,21"}, "BANDS is ten gains"},
      {{"eq", "headset", "save", "x", "1,2,3,4,5,6,7,8,9,10,11"}, "BANDS is ten gains"},
      {{"eq", "headset", "apply", "Nope"}, "no custom curve 'Nope'"},
      {{"eq", "headset", "drop"}, "list, save NAME BANDS"},
      {{"eq", "mouse", "list"}, "only the headset has an equaliser"},
      {{"keys", "headset"}, "a headset has no keys or macros"},
  };
  for (const Case& c : cases) {
    const DeviceReply reply = Ran(c.words);
    EXPECT_EQ(reply.status, 2) << c.err;
    EXPECT_NE(reply.err.find(c.err), std::string::npos) << reply.err;
  }
  EXPECT_TRUE(Card().Journal().empty());
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
}  // namespace brontal
