#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "audio/default_output_handover.h"
#include "audio/headset_audio.h"

namespace brontal::audio {

class PipeWireConnection;

// The headset's equaliser: PipeWire's filter-chain module, loaded into this
// process, as a sink of its own whose output plays on the sink of the
// headset's ALSA card. New gains go to the running filter, so dragging a
// slider does not restart it. While it runs, it is the default output in place
// of the headset's sink. Unloaded by Remove and with the object.
class PipeWireEqualiser {
 public:
  PipeWireEqualiser();
  ~PipeWireEqualiser();
  PipeWireEqualiser(const PipeWireEqualiser&) = delete;
  PipeWireEqualiser& operator=(const PipeWireEqualiser&) = delete;

  // kUnsupported when PipeWire, the card's sink or the filter module is
  // missing; UnavailableReason then tells which.
  AudioStatus Apply(const EqBands& gains, int card_index);
  void Remove();
  // Empty when Apply can work for that card now.
  std::string UnavailableReason(int card_index);

  // The name of the equaliser's own sink for a card, as the daemon shows it.
  static std::string SinkName(int card_index);

 private:
  // The connection to the daemon, opened again after it broke; nothing (and
  // the reason why) while no daemon answers. Opening is retried at most every
  // kRetryPause, so asking often stays cheap.
  PipeWireConnection* Connection(std::string& reason);
  // The card's sink, or nothing with the reason why not.
  std::optional<std::string> CardSink(int card_index, std::string& reason);

  static constexpr std::chrono::seconds kRetryPause{2};

  std::unique_ptr<PipeWireConnection> connection_;
  DefaultOutputHandover handover_;
  std::string connect_failure_;
  std::chrono::steady_clock::time_point retry_after_;
  bool module_missing_ = false;
  int module_ = 0;
  std::string module_target_;
  int module_card_ = -1;
};

}  // namespace brontal::audio
