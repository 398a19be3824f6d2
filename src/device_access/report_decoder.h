#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device_access/hid_status.h"
#include "device_access/report_descriptor.h"

namespace brontal {

// Report decoding over one top-level collection. `report` starts with its
// report id byte (0 for a descriptor without report ids). Reads never go past
// the end of `report`: a field that does not fit gives kInvalidReportLength.

// The button usages of `usage_page` that are on in the report, in field order.
// At most `max_count` usages are stored; more give kBufferTooSmall.
HidStatus GetUsages(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page,
                    std::span<const std::uint8_t> report, std::size_t max_count, std::vector<std::uint16_t>& usages);

struct UsageValue {
  HidStatus status;
  std::uint32_t raw = 0;
};
UsageValue GetUsageValue(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page,
                         std::uint16_t usage, std::span<const std::uint8_t> report);

struct ScaledUsageValue {
  HidStatus status;
  std::int32_t value = 0;
};
// The logical value mapped onto the physical range (the logical range when no
// physical range is given).
ScaledUsageValue GetScaledUsageValue(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page,
                                     std::uint16_t usage, std::span<const std::uint8_t> report);

}  // namespace brontal
