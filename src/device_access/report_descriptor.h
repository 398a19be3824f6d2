#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brontal {

enum class ReportType : std::uint8_t { kInput = 0, kOutput = 1, kFeature = 2 };
inline constexpr std::size_t kReportTypeCount = 3;
const char* ReportTypeName(ReportType type);

// A usage or a usage range of one main item, with its usage page.
struct UsageEntry {
  std::uint16_t page = 0;
  std::uint16_t min = 0;
  std::uint16_t max = 0;
  std::uint32_t size() const { return std::uint32_t{max} - min + 1; }
};

// One non-constant main item: `count` elements of `bit_size` bits, starting at
// `bit_offset` bits after the report id byte of report `report_id`.
struct ReportField {
  ReportType type = ReportType::kInput;
  std::uint8_t report_id = 0;
  std::uint32_t bit_offset = 0;
  std::uint16_t bit_size = 0;
  std::uint16_t count = 0;
  bool is_array = false;     // elements hold usage indices
  bool has_null = false;
  std::int32_t logical_min = 0;
  std::int32_t logical_max = 0;
  std::int32_t physical_min = 0;
  std::int32_t physical_max = 0;
  std::uint32_t unit = 0;
  std::int8_t unit_exponent = 0;
  std::uint16_t link_collection = 0;  // index of the enclosing collection within the top-level one
  std::vector<UsageEntry> usages;     // never empty

  // Buttons are array items and one-bit variables; everything else is a value.
  bool is_button() const { return is_array || bit_size == 1; }
  // The usage of element `index` of a variable item (the last usage repeats).
  UsageEntry UsageOfElement(std::uint32_t index) const;
};

// Capabilities in the form the layers above expect: one per usage entry of a
// main item. A value range covers only the usages that have an element.
struct ButtonCapability {
  ReportType type = ReportType::kInput;
  std::uint8_t report_id = 0;
  std::uint16_t usage_page = 0;
  std::uint16_t usage_min = 0;
  std::uint16_t usage_max = 0;
  bool is_range = false;
  std::uint16_t link_collection = 0;
};

struct ValueCapability {
  ReportType type = ReportType::kInput;
  std::uint8_t report_id = 0;
  std::uint16_t usage_page = 0;
  std::uint16_t usage_min = 0;
  std::uint16_t usage_max = 0;
  bool is_range = false;
  std::uint16_t bit_size = 0;
  std::uint16_t report_count = 0;
  std::int32_t logical_min = 0;
  std::int32_t logical_max = 0;
  std::uint16_t link_collection = 0;
};

struct TopLevelCollection {
  std::uint16_t usage_page = 0;
  std::uint16_t usage = 0;
  std::uint16_t link_collection_nodes = 0;
  bool uses_report_ids = false;
  // Sorted report ids per report type (empty for a type without reports; {0}
  // for a descriptor without report ids).
  std::array<std::vector<std::uint8_t>, kReportTypeCount> report_ids;
  // Largest report of the type plus the report id byte; 0 without reports.
  std::array<std::uint16_t, kReportTypeCount> report_byte_length{};
  std::vector<ReportField> fields;
  std::vector<ButtonCapability> button_caps;
  std::vector<ValueCapability> value_caps;

  bool HasReport(ReportType type, std::uint8_t report_id) const;
  // How many button usages of `usage_page` can be on at once in a report of `type`.
  std::uint32_t MaxUsageListLength(ReportType type, std::uint16_t usage_page) const;
  std::uint16_t DataIndexCount(ReportType type) const;
};

struct ReportDescriptor {
  std::vector<TopLevelCollection> collections;
};

// Largest descriptor the kernel hands out, and the bounds that keep a hostile
// descriptor from making us allocate or loop without end.
inline constexpr std::size_t kMaxDescriptorBytes = 4096;
inline constexpr std::size_t kMaxReportBytes = 16384;
inline constexpr std::uint32_t kMaxReportCount = 12288;

// Parses a report descriptor into its top-level collections. On a malformed
// descriptor returns false and a one-line reason naming the byte offset.
bool ParseReportDescriptor(std::span<const std::uint8_t> bytes, ReportDescriptor& out, std::string& error);

}  // namespace brontal
