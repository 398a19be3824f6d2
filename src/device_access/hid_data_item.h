#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device_access/hid_status.h"
#include "device_access/report_descriptor.h"

namespace brontal {

// One button group or one value of a report type, with the result of the last
// decode of a report that carried it.
struct HidDataItem {
  bool IsButtonData = false;
  std::uint16_t UsagePage = 0;
  HidStatus Status = HidStatus::kSuccess;
  std::uint8_t ReportID = 0;
  bool IsDataSet = false;
  // Button group.
  std::uint16_t UsageMin = 0;
  std::uint16_t UsageMax = 0;
  std::uint32_t MaxUsageLength = 0;
  std::vector<std::uint16_t> Usages;  // MaxUsageLength entries
  // Value.
  std::uint16_t Usage = 0;
  std::uint32_t Value = 0;
  std::int32_t ScaledValue = 0;
};

// One item per button capability, then one per value usage (a value range
// gives one item for each usage in it, ascending).
std::vector<HidDataItem> BuildItemList(const TopLevelCollection& tlc, ReportType type);

// Decodes a report into the items whose ReportID equals the report's first
// byte. Returns false when a value could not be read; items decoded before it
// keep their results. Button groups keep only the usages inside their range,
// packed to the front and followed by a 0 when the array is not full.
bool UnpackReport(std::span<const std::uint8_t> report, ReportType type, std::span<HidDataItem> items,
                  const TopLevelCollection& tlc);

}  // namespace brontal
