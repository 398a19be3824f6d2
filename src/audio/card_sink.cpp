#include "audio/card_sink.h"

namespace brontal::audio {

std::optional<std::string> CardSinkName(const std::vector<NodeProperties>& sinks, int card_index) {
  const std::string card = std::to_string(card_index);
  for (const NodeProperties& sink : sinks) {
    const auto name = sink.find("node.name");
    if (name == sink.end()) continue;
    // The PCM's own card number, and the one PipeWire's card profiles copy
    // from the PCM as PulseAudio did.
    for (const char* key : {"api.alsa.pcm.card", "alsa.card"}) {
      const auto value = sink.find(key);
      if (value != sink.end() && value->second == card) return name->second;
    }
  }
  return std::nullopt;
}

}  // namespace brontal::audio
