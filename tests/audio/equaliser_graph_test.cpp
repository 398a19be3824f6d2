// The filter-chain arguments, read back as JSON (which SPA-JSON accepts).
#include "audio/equaliser_graph.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <set>
#include <string>

namespace brontal::audio {
namespace {

const EqBands kGains = {6, 4, 2, 0, -1, -2, 0, 3, 5, -12};
const EqualiserNodeNames kNames = {"eq_sink", "eq_sink.output", "Headset equaliser"};

Json::Value Arguments() {
  Json::Value parsed;
  std::string errors;
  const std::string text = FilterChainArguments(kGains, kNames, "alsa_output.usb-headset");
  const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &parsed, &errors)) << errors << "\n" << text;
  return parsed;
}

TEST(EqualiserGraph, TenPeakingFiltersWithTheGains) {
  const Json::Value nodes = Arguments()["filter.graph"]["nodes"];
  ASSERT_EQ(nodes.size(), kEqBandCount);
  for (Json::ArrayIndex band = 0; band < nodes.size(); ++band) {
    const Json::Value& node = nodes[band];
    EXPECT_EQ(node["type"], "builtin");
    EXPECT_EQ(node["label"], "bq_peaking");
    EXPECT_EQ(node["control"]["Freq"].asDouble(), kEqualiserFrequencies[band]);
    EXPECT_EQ(node["control"]["Gain"].asDouble(), kGains[band]) << band;
    EXPECT_NEAR(node["control"]["Q"].asDouble(), 1.41, 0.01);
  }
  EXPECT_EQ(nodes[0]["control"]["Freq"].asDouble(), 31);
  EXPECT_EQ(nodes[9]["control"]["Freq"].asDouble(), 16000);
}

TEST(EqualiserGraph, TheFiltersRunInOneChainFromLowToHigh) {
  const Json::Value graph = Arguments()["filter.graph"];
  const Json::Value& nodes = graph["nodes"];
  const Json::Value& links = graph["links"];
  ASSERT_EQ(links.size(), kEqBandCount - 1);
  for (Json::ArrayIndex i = 0; i < links.size(); ++i) {
    EXPECT_EQ(links[i]["output"], nodes[i]["name"].asString() + ":Out");
    EXPECT_EQ(links[i]["input"], nodes[i + 1]["name"].asString() + ":In");
  }
  std::set<std::string> names;
  for (const Json::Value& node : nodes) names.insert(node["name"].asString());
  EXPECT_EQ(names.size(), kEqBandCount) << "node names must differ";
}

TEST(EqualiserGraph, ASinkOfItsOwnPlayingOnTheHeadsetOnly) {
  const Json::Value arguments = Arguments();
  EXPECT_EQ(arguments["capture.props"]["node.name"], "eq_sink");
  EXPECT_EQ(arguments["capture.props"]["media.class"], "Audio/Sink");
  EXPECT_EQ(arguments["node.description"], "Headset equaliser");
  EXPECT_EQ(arguments["audio.channels"], 2);
  const Json::Value& playback = arguments["playback.props"];
  EXPECT_EQ(playback["node.name"], "eq_sink.output");
  EXPECT_EQ(playback["target.object"], "alsa_output.usb-headset");
  EXPECT_EQ(playback["node.dont-reconnect"], true);
}

// The running filter takes gains by node and control name.
TEST(EqualiserGraph, GainControlsNameTheGraphsNodes) {
  const Json::Value nodes = Arguments()["filter.graph"]["nodes"];
  const auto controls = EqualiserGainControls(kGains);
  ASSERT_EQ(controls.size(), kEqBandCount);
  for (std::size_t band = 0; band < kEqBandCount; ++band) {
    EXPECT_EQ(controls[band].first, nodes[static_cast<Json::ArrayIndex>(band)]["name"].asString() + ":Gain");
    EXPECT_EQ(controls[band].second, kGains[band]);
  }
}

}  // namespace
}  // namespace brontal::audio
