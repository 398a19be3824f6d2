// The equaliser across replugs of the headset's sound card, against a
// PipeWire daemon of the test's own.
#include "audio/remembered_equaliser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "equaliser_on_daemon.h"

namespace brontal::audio {
namespace {

constexpr const char* kConfiguredKey = "default.configured.audio.sink";

class RememberedEqualiserTest : public EqualiserOnDaemonTest {
 protected:
  void SetUp() override {
    EqualiserOnDaemonTest::SetUp();
    if (IsSkipped()) return;
    daemon_.SetDefaultNode(kConfiguredKey, kHeadsetSink);
    daemon_.SetDefaultNode("default.audio.sink", kHeadsetSink);
  }
};

TEST_F(RememberedEqualiserTest, AReplugPutsBackWhatWasSetLast) {
  const struct {
    const char* name;
    std::vector<std::optional<EqBands>> set;
    std::optional<EqBands> back;
  } cases[] = {
      {"on", {kGains}, kGains},
      {"changed", {kGains, kOtherGains}, kOtherGains},
      {"turned off", {kGains, std::nullopt}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RememberedEqualiser equaliser;
    for (const std::optional<EqBands>& gains : c.set) ASSERT_EQ(equaliser.Set(gains, kHeadsetCard), AudioStatus::kDone);
    equaliser.CardGone();
    EXPECT_TRUE(EqualiserGone());
    EXPECT_EQ(daemon_.DefaultNode(kConfiguredKey), kHeadsetSink);

    equaliser.CardHere(kHeadsetCard);
    if (c.back) {
      EXPECT_FALSE(SinkWithGains(*c.back).isNull());
      EXPECT_EQ(daemon_.DefaultNode(kConfiguredKey), PipeWireEqualiser::SinkName(kHeadsetCard));
    } else {
      EXPECT_EQ(daemon_.DefaultNode(kConfiguredKey), kHeadsetSink);
      EXPECT_TRUE(EqualiserGone());
    }
  }
}

TEST_F(RememberedEqualiserTest, SetWhileTheCardIsAwayItGoesOnWhenTheCardComes) {
  RememberedEqualiser equaliser;
  EXPECT_EQ(equaliser.Set(kGains, std::nullopt), AudioStatus::kAbsent);
  EXPECT_TRUE(EqualiserGone());
  equaliser.CardHere(kHeadsetCard);
  EXPECT_FALSE(SinkWithGains(kGains).isNull());
}

// PipeWire shows a card's sink a moment after the card itself, and a
// replugged card may come back under another number.
TEST_F(RememberedEqualiserTest, ACardWhoseSinkShowsLateGetsItOnceItShows) {
  constexpr int kReplugged = kHeadsetCard + 1;
  const std::string replugged_sink = "test_replugged_sink";
  RememberedEqualiser equaliser;
  ASSERT_EQ(equaliser.Set(kGains, kHeadsetCard), AudioStatus::kDone);
  equaliser.CardGone();
  equaliser.CardHere(kReplugged);
  EXPECT_EQ(equaliser.UnavailableReason(kReplugged), "PipeWire has no output on the headset");

  daemon_.AddCardSink(replugged_sink, kReplugged);
  equaliser.CardHere(kReplugged);
  const Json::Value sink = SinkWithGains(kGains, kReplugged);
  ASSERT_FALSE(sink.isNull());
  const Json::Value output = test::NodeNamed(daemon_.Dump(), PipeWireEqualiser::SinkName(kReplugged) + ".output");
  EXPECT_EQ(output["info"]["props"]["target.object"], replugged_sink);
}

}  // namespace
}  // namespace brontal::audio
