#include "audio/default_output_handover.h"

#include <json/json.h>

#include <memory>
#include <utility>

#include "audio/pipewire_connection.h"
#include "support/debug_log.h"

namespace brontal::audio {
namespace {

// The user's choice, which desktop mixers write when the user picks an output
// and the session manager follows (and keeps across logins). The current
// default ("default.audio.sink") is the session manager's own: it works it out
// again from the choice whenever a device comes or goes, so a value written
// there would not last.
constexpr const char* kConfiguredKey = "default.configured.audio.sink";
constexpr const char* kCurrentKey = "default.audio.sink";

std::optional<std::string> NodeOf(const MetadataValues& values, const char* key) {
  const auto value = values.find(key);
  return value == values.end() ? std::nullopt : DefaultNodeName(value->second);
}

}  // namespace

std::optional<std::string> DefaultNodeName(const std::string& json) {
  Json::Value value;
  std::string errors;
  const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  if (!reader->parse(json.data(), json.data() + json.size(), &value, &errors) || !value.isObject() ||
      !value["name"].isString())
    return std::nullopt;
  return value["name"].asString();
}

std::string DefaultNodeValue(const std::string& node_name) {
  Json::Value value;
  value["name"] = node_name;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, value);
}

void DefaultOutputHandover::Take(PipeWireConnection& connection, const std::string& card_sink,
                                 const std::string& equaliser_sink) {
  taken_.reset();
  const std::optional<MetadataValues> defaults = connection.Defaults();
  if (!defaults) {
    Trace(
        "equaliser: no default output to hand over: the sound server has no session manager's defaults or "
        "does not answer");
    return;
  }
  const std::optional<std::string> configured = NodeOf(*defaults, kConfiguredKey);
  const std::optional<std::string> current = NodeOf(*defaults, kCurrentKey);
  // A choice naming the equaliser was left by a run that died before handing
  // it back: the user listened on the headset through it.
  const bool left_over = configured == equaliser_sink;
  // The user listens on the headset when it is their choice (the session
  // manager makes it current, maybe a moment after the card came back) or
  // what the session manager fell back to.
  if (!left_over && configured != card_sink && current != card_sink) return;
  if (!connection.SetDefault(kConfiguredKey, DefaultNodeValue(equaliser_sink))) {
    Trace("equaliser: the default output could not be handed to " + equaliser_sink);
    return;
  }
  std::optional<std::string> replaced;
  if (left_over)
    replaced = DefaultNodeValue(card_sink);
  else if (const auto value = defaults->find(kConfiguredKey); value != defaults->end())
    replaced = value->second;
  taken_ = Taken{equaliser_sink, std::move(replaced)};
}

// A program that dies without handing the default back leaves the choice
// naming a sink that went with it; the session manager then falls back to
// another output by itself.
void DefaultOutputHandover::GiveBack(PipeWireConnection& connection) {
  if (!taken_) return;
  const Taken taken = *std::exchange(taken_, std::nullopt);
  const std::optional<MetadataValues> defaults = connection.Defaults();
  // The user chose another output meanwhile: that choice stands.
  if (!defaults || NodeOf(*defaults, kConfiguredKey) != taken.equaliser_sink) return;
  if (!connection.SetDefault(kConfiguredKey, taken.replaced))
    Trace("equaliser: the default output could not be handed back from " + taken.equaliser_sink);
}

}  // namespace brontal::audio
