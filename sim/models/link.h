#pragma once

namespace brontal::sim {

// The way a report reached the product: its own cable, or its 2.4 GHz receiver.
enum class Link { kWired, kReceiver };

}  // namespace brontal::sim
