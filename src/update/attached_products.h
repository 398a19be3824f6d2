#pragma once

#include <optional>
#include <vector>

#include "update/update_item.h"

namespace brontal {

// The supported products on the HID bus (real or simulated) with the version
// their USB descriptor gives; a receiver stands for its wired partner. Read
// from the bus's descriptions, so no device is opened and no program's
// exchange is disturbed. nullopt when the bus cannot be listed.
std::optional<std::vector<ConnectedProduct>> AttachedProducts();

}  // namespace brontal
