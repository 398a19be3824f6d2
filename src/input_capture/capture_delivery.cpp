#include "input_capture/capture_delivery.h"

#include <utility>

namespace brontal {

// Touched on the loop thread only: the capture threads merely copy the pointer.
struct CaptureDelivery::Receiver {
  CaptureSink sink;
};

CaptureDelivery::CaptureDelivery(MessageLoop& loop, CaptureSink sink)
    : loop_(loop), receiver_(std::make_shared<Receiver>(std::move(sink))) {}

CaptureDelivery::~CaptureDelivery() { Close(); }

void CaptureDelivery::Post(const CapturedInput& input) const {
  loop_.Post([receiver = receiver_, input] {
    if (receiver->sink) receiver->sink(input);
  });
}

void CaptureDelivery::Close() { receiver_->sink = nullptr; }

}  // namespace brontal
