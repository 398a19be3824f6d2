#include "audio/remembered_equaliser.h"

namespace brontal::audio {

AudioStatus RememberedEqualiser::Set(const std::optional<EqBands>& gains, std::optional<int> card_index) {
  gains_ = gains;
  pending_ = gains.has_value();
  if (!card_index) return AudioStatus::kAbsent;
  if (!gains) {
    equaliser_.Remove();
    return AudioStatus::kDone;
  }
  const AudioStatus status = equaliser_.Apply(*gains, *card_index);
  pending_ = status != AudioStatus::kDone;
  return status;
}

void RememberedEqualiser::CardGone() {
  equaliser_.Remove();
  pending_ = gains_.has_value();
}

void RememberedEqualiser::CardHere(int card_index) {
  // The card's sink may show in PipeWire a moment after the card itself.
  if (pending_) pending_ = equaliser_.Apply(*gains_, card_index) != AudioStatus::kDone;
}

std::string RememberedEqualiser::UnavailableReason(int card_index) { return equaliser_.UnavailableReason(card_index); }

}  // namespace brontal::audio
