#include "device_access/hid_data_item.h"

#include <algorithm>

#include "device_access/report_decoder.h"

namespace brontal {

std::vector<HidDataItem> BuildItemList(const TopLevelCollection& tlc, ReportType type) {
  std::vector<HidDataItem> items;
  for (const ButtonCapability& cap : tlc.button_caps) {
    if (cap.type != type) continue;
    HidDataItem item;
    item.IsButtonData = true;
    item.UsagePage = cap.usage_page;
    item.ReportID = cap.report_id;
    item.UsageMin = cap.usage_min;
    item.UsageMax = cap.usage_max;
    item.MaxUsageLength = tlc.MaxUsageListLength(type, cap.usage_page);
    item.Usages.assign(item.MaxUsageLength, 0);
    items.push_back(std::move(item));
  }
  for (const ValueCapability& cap : tlc.value_caps) {
    if (cap.type != type) continue;
    for (std::uint32_t usage = cap.usage_min; usage <= cap.usage_max; ++usage) {
      HidDataItem item;
      item.UsagePage = cap.usage_page;
      item.ReportID = cap.report_id;
      item.Usage = static_cast<std::uint16_t>(usage);
      items.push_back(std::move(item));
    }
  }
  return items;
}

bool UnpackReport(std::span<const std::uint8_t> report, ReportType type, std::span<HidDataItem> items,
                  const TopLevelCollection& tlc) {
  if (report.empty()) return true;
  const std::uint8_t report_id = report[0];
  std::vector<std::uint16_t> on;
  for (HidDataItem& item : items) {
    if (item.ReportID != report_id) continue;
    if (item.IsButtonData) {
      item.Status = GetUsages(tlc, type, item.UsagePage, report, item.MaxUsageLength, on);
      const auto kept = std::copy_if(on.begin(), on.end(), item.Usages.begin(), [&](std::uint16_t u) {
        return u >= item.UsageMin && u <= item.UsageMax;
      });
      if (kept != item.Usages.end()) *kept = 0;
    } else {
      const UsageValue raw = GetUsageValue(tlc, type, item.UsagePage, item.Usage, report);
      item.Status = raw.status;
      if (raw.status != HidStatus::kSuccess) return false;
      item.Value = raw.raw;
      const ScaledUsageValue scaled = GetScaledUsageValue(tlc, type, item.UsagePage, item.Usage, report);
      item.Status = scaled.status;
      item.ScaledValue = scaled.value;
    }
    item.IsDataSet = true;
  }
  return true;
}

}  // namespace brontal
