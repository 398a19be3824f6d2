#pragma once

#include "audio_capture/spectrum_analyser.h"
#include "audio_link/capture_link.h"

namespace brontal::audio_capture {

// The keyboards' sound colour for a frame: the style colour (levels 0..9,
// anything beyond counting as 0 or 9) at full brightness scaled by the
// loudness, then the loudest band (the lowest of equals; 0 in silence) and
// the loudness.
audio_link::ColourBlock MakeColourBlock(const audio_link::StyleColour& style, const AnalysedFrame& frame);

}  // namespace brontal::audio_capture
