#include "audio/equaliser_graph.h"

#include <json/json.h>

namespace brontal::audio {
namespace {

std::string BandNode(std::size_t band) { return "eq_band_" + std::to_string(band + 1); }

}  // namespace

std::string FilterChainArguments(const EqBands& gains, const EqualiserNodeNames& names,
                                 const std::string& target_sink) {
  Json::Value nodes(Json::arrayValue);
  Json::Value links(Json::arrayValue);
  for (std::size_t band = 0; band < kEqBandCount; ++band) {
    Json::Value node;
    node["type"] = "builtin";
    node["name"] = BandNode(band);
    node["label"] = "bq_peaking";
    node["control"]["Freq"] = kEqualiserFrequencies[band];
    node["control"]["Q"] = kEqualiserQ;
    node["control"]["Gain"] = static_cast<double>(gains[band]);
    nodes.append(node);
    if (band == 0) continue;
    Json::Value link;
    link["output"] = BandNode(band - 1) + ":Out";
    link["input"] = BandNode(band) + ":In";
    links.append(link);
  }

  Json::Value arguments;
  arguments["node.description"] = names.description;
  arguments["media.name"] = names.description;
  arguments["audio.channels"] = 2;
  arguments["audio.position"].append("FL");
  arguments["audio.position"].append("FR");
  arguments["filter.graph"]["nodes"] = nodes;
  arguments["filter.graph"]["links"] = links;
  Json::Value& capture = arguments["capture.props"];
  capture["node.name"] = names.sink;
  capture["media.class"] = "Audio/Sink";
  Json::Value& playback = arguments["playback.props"];
  playback["node.name"] = names.output;
  playback["target.object"] = target_sink;
  // Quiet while nothing plays, and never moved to another sink when the
  // headset goes.
  playback["node.passive"] = true;
  playback["node.dont-reconnect"] = true;
  playback["stream.dont-remix"] = true;

  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  writer["precision"] = 6;
  return Json::writeString(writer, arguments);
}

std::vector<std::pair<std::string, float>> EqualiserGainControls(const EqBands& gains) {
  std::vector<std::pair<std::string, float>> controls;
  for (std::size_t band = 0; band < kEqBandCount; ++band)
    controls.emplace_back(BandNode(band) + ":Gain", static_cast<float>(gains[band]));
  return controls;
}

}  // namespace brontal::audio
