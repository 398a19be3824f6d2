// The equaliser against a PipeWire daemon of the test's own (one sink stands
// for the headset's), whose "default" metadata a session manager would keep.
#include "audio/pipewire_equaliser.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/pipewire_connection.h"
#include "equaliser_on_daemon.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "helpers/time_limit.h"
#include "helpers/trace_recorder.h"

namespace brontal::audio {
namespace {

using namespace std::chrono_literals;
using test::NodeNamed;

constexpr const char* kConfiguredKey = "default.configured.audio.sink";
constexpr const char* kCurrentKey = "default.audio.sink";

class PipeWireEqualiserTest : public EqualiserOnDaemonTest {
 protected:
  void SetDefaults(const std::optional<std::string>& configured, const std::optional<std::string>& current) {
    daemon_.SetDefaultNode(kConfiguredKey, configured);
    daemon_.SetDefaultNode(kCurrentKey, current);
  }
};

TEST_F(PipeWireEqualiserTest, RunsInFrontOfTheHeadsetsSinkUntilRemoved) {
  PipeWireEqualiser equaliser;
  EXPECT_EQ(equaliser.UnavailableReason(kHeadsetCard), "");
  ASSERT_EQ(equaliser.Apply(kGains, kHeadsetCard), AudioStatus::kDone);

  const Json::Value sink = SinkWithGains(kGains);
  ASSERT_FALSE(sink.isNull()) << "no equaliser sink with the gains";
  EXPECT_EQ(sink["info"]["props"]["media.class"], "Audio/Sink");
  const std::map<std::string, double> controls = FilterControls(sink);
  EXPECT_EQ(controls.at("eq_band_1:Freq"), 31);
  EXPECT_EQ(controls.at("eq_band_10:Freq"), 16000);
  const Json::Value output = NodeNamed(daemon_.Dump(), PipeWireEqualiser::SinkName(kHeadsetCard) + ".output");
  EXPECT_EQ(output["info"]["props"]["target.object"], kHeadsetSink);

  equaliser.Remove();
  EXPECT_TRUE(EqualiserGone());
}

// A dragged slider must not restart the filter: the same node takes them.
TEST_F(PipeWireEqualiserTest, NewGainsGoToTheRunningFilter) {
  PipeWireEqualiser equaliser;
  ASSERT_EQ(equaliser.Apply(kGains, kHeadsetCard), AudioStatus::kDone);
  const Json::Value before = SinkWithGains(kGains);
  ASSERT_FALSE(before.isNull());
  ASSERT_EQ(equaliser.Apply(kOtherGains, kHeadsetCard), AudioStatus::kDone);
  const Json::Value after = SinkWithGains(kOtherGains);
  ASSERT_FALSE(after.isNull()) << "the new gains did not arrive";
  EXPECT_EQ(after["id"], before["id"]);
}

TEST_F(PipeWireEqualiserTest, GoesWithTheObject) {
  {
    PipeWireEqualiser equaliser;
    ASSERT_EQ(equaliser.Apply(kGains, kHeadsetCard), AudioStatus::kDone);
    ASSERT_FALSE(SinkWithGains(kGains).isNull());
  }
  EXPECT_TRUE(EqualiserGone());
}

TEST_F(PipeWireEqualiserTest, ACardWithoutSinkHasNoEqualiser) {
  PipeWireEqualiser equaliser;
  EXPECT_EQ(equaliser.Apply(kGains, kHeadsetCard + 1), AudioStatus::kUnsupported);
  EXPECT_EQ(equaliser.UnavailableReason(kHeadsetCard + 1), "PipeWire has no output on the headset");
}

// How the default output stands when the equaliser loads, what it must be
// while the equaliser runs and after it goes. Nothing means unset.
struct HandoverCase {
  const char* name;
  std::optional<std::string> configured;  // the user's choice
  std::optional<std::string> current;     // the session manager's pick
  std::optional<std::string> running;
  std::optional<std::string> user_picks;  // while the equaliser runs
  std::optional<std::string> after;
  bool destroyed = false;  // the object goes rather than Remove
};

TEST_F(PipeWireEqualiserTest, TakesTheHeadsetsDefaultOutputAndHandsItBack) {
  const std::string equaliser_sink = PipeWireEqualiser::SinkName(kHeadsetCard);
  const std::string gone_sink = "test_unplugged_sink";
  const std::vector<HandoverCase> cases = {
      {"the headset chosen", kHeadsetSink, kHeadsetSink, equaliser_sink, {}, kHeadsetSink},
      {"the headset chosen, the object goes", kHeadsetSink, kHeadsetSink, equaliser_sink, {}, kHeadsetSink, true},
      {"nothing chosen", {}, kHeadsetSink, equaliser_sink, {}, {}},
      {"a sink chosen that is gone", gone_sink, kHeadsetSink, equaliser_sink, {}, gone_sink},
      {"the headset chosen, another still current", kHeadsetSink, kSpeakersSink, equaliser_sink, {}, kHeadsetSink},
      {"other speakers chosen", kSpeakersSink, kSpeakersSink, kSpeakersSink, {}, kSpeakersSink},
      {"other speakers picked meanwhile", kHeadsetSink, kHeadsetSink, equaliser_sink, kSpeakersSink, kSpeakersSink},
      {"left by a run that died", equaliser_sink, kHeadsetSink, equaliser_sink, {}, kHeadsetSink},
      {"left by a run that died, current again", equaliser_sink, equaliser_sink, equaliser_sink, {}, kHeadsetSink},
  };
  for (const HandoverCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetDefaults(c.configured, c.current);
    auto equaliser = std::make_unique<PipeWireEqualiser>();
    ASSERT_EQ(equaliser->Apply(kGains, kHeadsetCard), AudioStatus::kDone);
    EXPECT_EQ(daemon_.DefaultNode(kConfiguredKey), c.running);
    if (c.user_picks) daemon_.SetDefaultNode(kConfiguredKey, c.user_picks);
    if (c.destroyed)
      equaliser.reset();
    else
      equaliser->Remove();
    EXPECT_EQ(daemon_.DefaultNode(kConfiguredKey), c.after);
    // The session manager's own key is its to write.
    EXPECT_EQ(daemon_.DefaultNode(kCurrentKey), c.current);
  }
}

// Handing the default back waits for the daemon no longer than any other call.
TEST_F(PipeWireEqualiserTest, AStuckDaemonHoldsUpRemovalOnlyBriefly) {
  SetDefaults(kHeadsetSink, kHeadsetSink);
  const auto equaliser = std::make_shared<PipeWireEqualiser>();
  ASSERT_EQ(equaliser->Apply(kGains, kHeadsetCard), AudioStatus::kDone);
  ASSERT_EQ(daemon_.DefaultNode(kConfiguredKey), PipeWireEqualiser::SinkName(kHeadsetCard));
  daemon_.Freeze();
  EXPECT_TRUE(test::RunWithin(PipeWireConnection::kAnswerTime + 1s, [equaliser] {
    equaliser->Remove();
    return true;
  }));
  daemon_.Resume();
}

// No session manager, so no default output to hand over: the equaliser is
// there all the same, to be chosen by hand.
class WithoutSessionManagerTest : public EqualiserOnDaemonTest {
 protected:
  WithoutSessionManagerTest() : EqualiserOnDaemonTest(false) {}
};

TEST_F(WithoutSessionManagerTest, TheEqualiserRunsAndTheLogSaysWhyItIsNotTheDefault) {
  test::TraceRecorder trace;
  PipeWireEqualiser equaliser;
  ASSERT_EQ(equaliser.Apply(kGains, kHeadsetCard), AudioStatus::kDone);
  EXPECT_FALSE(SinkWithGains(kGains).isNull());
  EXPECT_EQ(equaliser.UnavailableReason(kHeadsetCard), "");
  EXPECT_TRUE(trace.Contains("no default output to hand over"));
}

TEST(PipeWireEqualiser, WithoutPipeWireItSaysSoAtOnce) {
  test::TemporaryFolder empty("brontal_no_pipewire");
  test::ScopedEnvironment environment(test::PipeWireRuntimeIn(empty.path()));
  PipeWireEqualiser equaliser;
  constexpr int kCard = test::PrivatePipeWire::kHeadsetCard;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(equaliser.Apply(kGains, kCard), AudioStatus::kUnsupported);
  EXPECT_EQ(equaliser.UnavailableReason(kCard), "PipeWire is not running");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

}  // namespace
}  // namespace brontal::audio
