#include "device_access/report_decoder.h"

#include <algorithm>

namespace brontal {
namespace {

// Reads `bit_size` bits (at most 32 are kept) at `bit_offset` after the report id byte.
bool ExtractBits(std::span<const std::uint8_t> report, std::uint64_t bit_offset, std::uint32_t bit_size,
                 std::uint32_t& value) {
  const std::uint64_t first = 8 + bit_offset;
  if (report.size() * 8 < first + bit_size) return false;
  value = 0;
  const std::uint32_t kept = std::min<std::uint32_t>(bit_size, 32);
  for (std::uint32_t i = 0; i < kept; ++i) {
    const std::uint64_t bit = first + i;
    if (report[bit / 8] & (1u << (bit % 8))) value |= 1u << i;
  }
  return true;
}

std::int64_t SignExtend(std::uint32_t raw, std::uint32_t bits) {
  if (bits == 0 || bits >= 32) return static_cast<std::int32_t>(raw);
  const std::uint32_t sign = 1u << (bits - 1);
  return static_cast<std::int64_t>(raw ^ sign) - sign;
}

struct ValueLocation {
  const ReportField* field = nullptr;
  std::uint32_t element = 0;
};

// Finds the element that carries `usage`; reports whether the usage exists in
// another report when not in this one.
HidStatus FindValue(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page, std::uint16_t usage,
                    std::uint8_t report_id, ValueLocation& location) {
  HidStatus status = HidStatus::kUsageNotFound;
  for (const ReportField& field : tlc.fields) {
    if (field.type != type || field.is_button()) continue;
    std::uint32_t base = 0;
    for (const UsageEntry& u : field.usages) {
      if (base >= field.count) break;
      if (u.page == usage_page && usage >= u.min && usage <= u.max && base + (usage - u.min) < field.count) {
        if (field.report_id != report_id) {
          status = HidStatus::kIncompatibleReportId;
          break;
        }
        location = {&field, base + (usage - u.min)};
        return HidStatus::kSuccess;
      }
      base += u.size();
    }
  }
  return status;
}

}  // namespace

HidStatus GetUsages(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page,
                    std::span<const std::uint8_t> report, std::size_t max_count, std::vector<std::uint16_t>& usages) {
  usages.clear();
  if (report.empty()) return HidStatus::kInvalidReportLength;
  const std::uint8_t report_id = report[0];
  HidStatus status = HidStatus::kSuccess;
  auto add = [&](std::uint16_t usage) {
    if (usages.size() < max_count) usages.push_back(usage);
    else status = HidStatus::kBufferTooSmall;
  };
  for (const ReportField& field : tlc.fields) {
    if (field.type != type || !field.is_button() || field.report_id != report_id) continue;
    for (std::uint32_t e = 0; e < field.count; ++e) {
      std::uint32_t raw = 0;
      if (!ExtractBits(report, field.bit_offset + std::uint64_t{e} * field.bit_size, field.bit_size, raw))
        return HidStatus::kInvalidReportLength;
      if (field.is_array) {
        const std::int64_t v = field.logical_min < 0 ? SignExtend(raw, field.bit_size) : std::int64_t{raw};
        if (v < field.logical_min || v > field.logical_max) continue;  // no key in this slot
        const UsageEntry u = field.UsageOfElement(static_cast<std::uint32_t>(v - field.logical_min));
        // Usage 0 means "none"; it also ends a usage list.
        if (u.page == usage_page && u.min != 0) add(u.min);
      } else if (raw & 1) {
        const UsageEntry u = field.UsageOfElement(e);
        if (u.page == usage_page && u.min != 0) add(u.min);
      }
    }
  }
  return status;
}

UsageValue GetUsageValue(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page,
                         std::uint16_t usage, std::span<const std::uint8_t> report) {
  if (report.empty()) return {HidStatus::kInvalidReportLength};
  ValueLocation at;
  if (const HidStatus s = FindValue(tlc, type, usage_page, usage, report[0], at); s != HidStatus::kSuccess) return {s};
  std::uint32_t raw = 0;
  if (!ExtractBits(report, at.field->bit_offset + std::uint64_t{at.element} * at.field->bit_size, at.field->bit_size,
                   raw))
    return {HidStatus::kInvalidReportLength};
  return {HidStatus::kSuccess, raw};
}

ScaledUsageValue GetScaledUsageValue(const TopLevelCollection& tlc, ReportType type, std::uint16_t usage_page,
                                     std::uint16_t usage, std::span<const std::uint8_t> report) {
  if (report.empty()) return {HidStatus::kInvalidReportLength};
  ValueLocation at;
  if (const HidStatus s = FindValue(tlc, type, usage_page, usage, report[0], at); s != HidStatus::kSuccess) return {s};
  const ReportField& f = *at.field;
  std::uint32_t raw = 0;
  if (!ExtractBits(report, f.bit_offset + std::uint64_t{at.element} * f.bit_size, f.bit_size, raw))
    return {HidStatus::kInvalidReportLength};
  if (f.logical_min >= f.logical_max) return {HidStatus::kBadLogPhyValues};
  const std::int64_t logical = f.logical_min < 0 ? SignExtend(raw, f.bit_size) : std::int64_t{raw};
  if (logical < f.logical_min || logical > f.logical_max)
    return {f.has_null ? HidStatus::kNull : HidStatus::kValueOutOfRange};
  std::int64_t phys_min = f.physical_min;
  std::int64_t phys_max = f.physical_max;
  if (phys_min == 0 && phys_max == 0) {
    phys_min = f.logical_min;
    phys_max = f.logical_max;
  }
  if (phys_min > phys_max) return {HidStatus::kBadLogPhyValues};
  // Both spans fit in 33 bits, so their product fits in 64 unsigned bits.
  const auto logical_span = static_cast<std::uint64_t>(std::int64_t{f.logical_max} - f.logical_min);
  const auto step = static_cast<std::uint64_t>(logical - f.logical_min);
  const auto physical_span = static_cast<std::uint64_t>(phys_max - phys_min);
  const std::int64_t scaled = phys_min + static_cast<std::int64_t>(step * physical_span / logical_span);
  return {HidStatus::kSuccess, static_cast<std::int32_t>(scaled)};
}

}  // namespace brontal
