#pragma once

#include <optional>
#include <string>

#include "audio/headset_audio.h"
#include "audio/pipewire_equaliser.h"

namespace brontal::audio {

// The equaliser as it was last set, kept while the headset's sound card is
// away: when the card is found again (a replug, maybe under another number),
// the same gains go on again without being set anew.
class RememberedEqualiser {
 public:
  // On with these gains, or off with nothing, on the card with that number;
  // with no card the choice waits for one (kAbsent).
  AudioStatus Set(const std::optional<EqBands>& gains, std::optional<int> card_index);
  // The card went: the equaliser goes with it, the choice stays.
  void CardGone();
  // The card is here: a choice that is not in force yet is tried again. Cheap
  // when there is none, so it may be called on every use of the card.
  void CardHere(int card_index);
  std::string UnavailableReason(int card_index);

 private:
  PipeWireEqualiser equaliser_;
  std::optional<EqBands> gains_;
  bool pending_ = false;  // gains_ not in force on the card
};

}  // namespace brontal::audio
