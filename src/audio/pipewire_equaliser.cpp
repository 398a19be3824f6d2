#include "audio/pipewire_equaliser.h"

#include <cerrno>

#include "audio/card_sink.h"
#include "audio/equaliser_graph.h"
#include "audio/pipewire_connection.h"

namespace brontal::audio {
namespace {

constexpr const char* kFilterModule = "libpipewire-module-filter-chain";
constexpr const char* kModuleMissing = "PipeWire's filter-chain module is not installed";

EqualiserNodeNames NodeNames(int card_index) {
  const std::string sink = PipeWireEqualiser::SinkName(card_index);
  return {sink, sink + ".output", "Headset equaliser"};
}

}  // namespace

PipeWireEqualiser::PipeWireEqualiser() = default;
PipeWireEqualiser::~PipeWireEqualiser() { Remove(); }

std::string PipeWireEqualiser::SinkName(int card_index) {
  return "brontal_equaliser.card" + std::to_string(card_index);
}

PipeWireConnection* PipeWireEqualiser::Connection(std::string& reason) {
  if (connection_ && !connection_->Usable()) {
    connection_.reset();
    module_ = 0;
    handover_ = {};
  }
  if (!connection_ && std::chrono::steady_clock::now() >= retry_after_) {
    connection_ = PipeWireConnection::Open(connect_failure_);
    if (!connection_) retry_after_ = std::chrono::steady_clock::now() + kRetryPause;
  }
  if (!connection_) reason = connect_failure_;
  return connection_.get();
}

std::optional<std::string> PipeWireEqualiser::CardSink(int card_index, std::string& reason) {
  PipeWireConnection* connection = Connection(reason);
  if (!connection) return std::nullopt;
  auto sink = CardSinkName(connection->Sinks(), card_index);
  if (!sink) reason = connection->Usable() ? "PipeWire has no output on the headset" : "PipeWire does not answer";
  return sink;
}

AudioStatus PipeWireEqualiser::Apply(const EqBands& gains, int card_index) {
  std::string reason;
  const std::optional<std::string> sink = CardSink(card_index, reason);
  if (!sink) {
    Remove();
    return AudioStatus::kUnsupported;
  }
  if (module_ && connection_->ModuleLoaded(module_) && module_target_ == *sink && module_card_ == card_index &&
      connection_->SetSinkControls(SinkName(card_index), EqualiserGainControls(gains)))
    return AudioStatus::kDone;
  Remove();
  int error = 0;
  module_ = connection_->LoadModule(kFilterModule, FilterChainArguments(gains, NodeNames(card_index), *sink), error);
  module_missing_ = !module_ && error == ENOENT;
  if (!module_) return module_missing_ ? AudioStatus::kUnsupported : AudioStatus::kFailed;
  module_target_ = *sink;
  module_card_ = card_index;
  handover_.Take(*connection_, *sink, SinkName(card_index));
  return AudioStatus::kDone;
}

void PipeWireEqualiser::Remove() {
  // The default goes back while the sink is still there, which spares the
  // session manager a fallback to some other output in between.
  if (connection_) handover_.GiveBack(*connection_);
  if (connection_ && module_) connection_->UnloadModule(module_);
  module_ = 0;
  module_target_.clear();
  module_card_ = -1;
}

std::string PipeWireEqualiser::UnavailableReason(int card_index) {
  std::string reason;
  if (!CardSink(card_index, reason)) return reason;
  return module_missing_ ? kModuleMissing : std::string();
}

}  // namespace brontal::audio
