#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audio/pipewire_connection.h"

namespace brontal::audio {

// The node.name of the sink that plays on ALSA card `card_index`, going by
// the card number PipeWire's ALSA nodes carry; the first one in `sinks` when
// the card has several.
std::optional<std::string> CardSinkName(const std::vector<NodeProperties>& sinks, int card_index);

}  // namespace brontal::audio
