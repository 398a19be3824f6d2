#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device_access/hid_backend.h"
#include "device_access/report_descriptor.h"

namespace brontal {

struct HidNodeListing {
  HidNodeInfo info;
  std::shared_ptr<const ReportDescriptor> descriptor;  // null when the descriptor is malformed
  std::string descriptor_error;
};

// The node's descriptor, parsed once per plug of the node (scans run every
// 100 ms and must not parse again). Null with the reason when malformed.
std::shared_ptr<const ReportDescriptor> ParsedDescriptor(const HidNodeInfo& info, std::string* error = nullptr);

// Every node of the backend with its parsed descriptor, in enumeration order.
bool ListHidNodes(HidBackend& backend, std::vector<HidNodeListing>& nodes);

// The path of top-level collection `index` (0-based) of a node with
// `collection_count` collections: numbered from 1, no number for a lone one.
std::string CollectionPath(const HidNodeInfo& info, std::size_t index, std::size_t collection_count);

}  // namespace brontal
