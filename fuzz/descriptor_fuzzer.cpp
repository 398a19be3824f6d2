// Feeds arbitrary bytes to the report-descriptor parser and, when they parse,
// decodes a report made of the remaining bytes with every collection's items.
// Input: descriptor length (2 bytes, little-endian), descriptor, report.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "device_access/hid_data_item.h"
#include "device_access/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t descriptor_length = std::min<std::size_t>(size - 2, data[0] | (data[1] << 8));
  const std::span<const std::uint8_t> descriptor(data + 2, descriptor_length);
  const std::span<const std::uint8_t> report(data + 2 + descriptor_length, size - 2 - descriptor_length);

  brontal::ReportDescriptor parsed;
  std::string error;
  if (!brontal::ParseReportDescriptor(descriptor, parsed, error)) return 0;
  for (const brontal::TopLevelCollection& collection : parsed.collections) {
    for (std::size_t t = 0; t < brontal::kReportTypeCount; ++t) {
      const auto type = static_cast<brontal::ReportType>(t);
      std::vector<brontal::HidDataItem> items = brontal::BuildItemList(collection, type);
      brontal::UnpackReport(report, type, items, collection);
    }
  }
  return 0;
}
