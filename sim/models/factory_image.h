#pragma once

#include "models/device_memory.h"
#include "models/model_traits.h"
#include "models/product_catalog.h"

namespace brontal::sim {

// The memory of a model as it leaves the factory.
DeviceMemory BuildFactoryMemory(ModelKind kind, const ModelTraits& traits);

}  // namespace brontal::sim
