#pragma once

#include <cstdint>

#include "support/unique_fd.h"

namespace brontal {

enum class DeviceLockResult { kHeld, kInUse };

// One program of this user talks to a product at a time: brontalctl and the
// desktop program both take this flock (in the private runtime folder, per
// bus and product) before they send anything. Where no lock can be had at all
// (no private folder), the product is used without one: there is nobody to
// share it with safely either way, and the reason is traced.
DeviceLockResult LockDevice(std::uint16_t vendor_id, std::uint16_t product_id, UniqueFd& lock);

}  // namespace brontal
