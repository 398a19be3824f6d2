#include "device_access/hid_enumeration.h"

#include <map>
#include <mutex>

#include "device_access/hid_path.h"

namespace brontal {
namespace {

struct CacheEntry {
  std::vector<std::uint8_t> bytes;
  std::shared_ptr<const ReportDescriptor> descriptor;
  std::string error;
};

// Plenty for any machine; replugs add entries, so the cache starts over past it.
constexpr std::size_t kCacheLimit = 256;

}  // namespace

std::shared_ptr<const ReportDescriptor> ParsedDescriptor(const HidNodeInfo& info, std::string* error) {
  static std::mutex mutex;
  static std::map<std::string, CacheEntry> cache;
  const std::string key = info.node + '#' + info.instance;
  std::scoped_lock lock(mutex);
  auto it = cache.find(key);
  if (it == cache.end() || it->second.bytes != info.report_descriptor) {
    if (cache.size() >= kCacheLimit) cache.clear();
    CacheEntry entry;
    entry.bytes = info.report_descriptor;
    auto parsed = std::make_shared<ReportDescriptor>();
    if (ParseReportDescriptor(info.report_descriptor, *parsed, entry.error)) entry.descriptor = std::move(parsed);
    it = cache.insert_or_assign(key, std::move(entry)).first;
  }
  if (error) *error = it->second.error;
  return it->second.descriptor;
}

bool ListHidNodes(HidBackend& backend, std::vector<HidNodeListing>& nodes) {
  std::vector<HidNodeInfo> infos;
  nodes.clear();
  if (!backend.Enumerate(infos)) return false;
  nodes.reserve(infos.size());
  for (HidNodeInfo& info : infos) {
    HidNodeListing listing;
    listing.descriptor = ParsedDescriptor(info, &listing.descriptor_error);
    listing.info = std::move(info);
    nodes.push_back(std::move(listing));
  }
  return true;
}

std::string CollectionPath(const HidNodeInfo& info, std::size_t index, std::size_t collection_count) {
  HidPathParts parts;
  parts.vendor_id = info.vendor_id;
  parts.product_id = info.product_id;
  parts.interface_number = info.interface_number;
  parts.collection_number = collection_count > 1 ? static_cast<std::uint16_t>(index + 1) : 0;
  parts.node = info.node;
  parts.instance = info.instance;
  return MakeHidPath(parts);
}

}  // namespace brontal
