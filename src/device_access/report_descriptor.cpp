#include "device_access/report_descriptor.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace brontal {
namespace {

constexpr std::size_t kMaxPushDepth = 32;
constexpr std::size_t kMaxLocalUsages = 4096;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : std::uint8_t { kInputTag = 0x8, kOutputTag = 0x9, kCollectionTag = 0xA, kFeatureTag = 0xB, kEndCollectionTag = 0xC };

enum GlobalTag : std::uint8_t {
  kUsagePage = 0x0, kLogicalMin = 0x1, kLogicalMax = 0x2, kPhysicalMin = 0x3, kPhysicalMax = 0x4,
  kUnitExponent = 0x5, kUnit = 0x6, kReportSize = 0x7, kReportId = 0x8, kReportCount = 0x9,
  kPush = 0xA, kPop = 0xB,
};

enum LocalTag : std::uint8_t { kUsage = 0x0, kUsageMin = 0x1, kUsageMax = 0x2 };

// Main item data bits.
constexpr std::uint32_t kConstantBit = 1u << 0;
constexpr std::uint32_t kVariableBit = 1u << 1;
constexpr std::uint32_t kNullStateBit = 1u << 6;

struct GlobalState {
  std::uint16_t usage_page = 0;
  std::int64_t logical_min = 0;
  std::int64_t logical_max = 0;
  std::int64_t physical_min = 0;
  std::int64_t physical_max = 0;
  std::int8_t unit_exponent = 0;
  std::uint32_t unit = 0;
  std::uint32_t report_size = 0;
  std::uint32_t report_count = 0;
  std::uint8_t report_id = 0;
};

// A local usage before its page is known: extended usages carry their page.
struct PendingUsage {
  std::uint32_t value;
  bool extended;
};

struct LocalState {
  std::vector<UsageEntry> usages;
  std::optional<PendingUsage> usage_min;
  std::optional<PendingUsage> usage_max;
  void Clear() { *this = LocalState{}; }
};

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

class Parser {
 public:
  Parser(std::span<const std::uint8_t> bytes, ReportDescriptor& out, std::string& error)
      : bytes_(bytes), out_(out), error_(error) {}

  bool Run();

 private:
  bool Fail(std::string reason) {
    error_ = std::move(reason) + " (offset " + std::to_string(item_offset_) + ")";
    return false;
  }
  bool HandleMain(std::uint8_t tag, std::uint32_t data);
  bool HandleGlobal(std::uint8_t tag, std::uint32_t data, std::size_t size);
  bool HandleLocal(std::uint8_t tag, std::uint32_t data, std::size_t size);
  bool AddField(ReportType type, std::uint32_t flags);
  UsageEntry Resolve(const PendingUsage& u) const;
  bool FlushUsageRange();
  void FinishCollection(TopLevelCollection& tlc) const;

  std::span<const std::uint8_t> bytes_;
  ReportDescriptor& out_;
  std::string& error_;
  std::size_t item_offset_ = 0;

  GlobalState global_;
  std::vector<GlobalState> global_stack_;
  LocalState local_;
  int depth_ = 0;
  std::uint16_t link_index_ = 0;                 // next link collection index in the current TLC
  std::vector<std::uint16_t> link_stack_;        // open link collections of the current TLC
  std::optional<bool> uses_report_ids_;          // fixed by the first data item
  std::map<std::pair<ReportType, std::uint8_t>, std::uint64_t> report_bits_;
};

UsageEntry Parser::Resolve(const PendingUsage& u) const {
  const std::uint16_t page = u.extended ? static_cast<std::uint16_t>(u.value >> 16) : global_.usage_page;
  const auto id = static_cast<std::uint16_t>(u.value & 0xFFFF);
  return {page, id, id};
}

bool Parser::FlushUsageRange() {
  if (!local_.usage_min && !local_.usage_max) return true;
  if (!local_.usage_min || !local_.usage_max) {
    // A lone bound names one usage; the kernel and Windows both accept it.
    local_.usages.push_back(Resolve(local_.usage_min ? *local_.usage_min : *local_.usage_max));
  } else {
    UsageEntry min = Resolve(*local_.usage_min);
    const UsageEntry max = Resolve(*local_.usage_max);
    if (min.min > max.min) return Fail("Usage Minimum above Usage Maximum");
    min.max = max.min;
    local_.usages.push_back(min);
  }
  local_.usage_min.reset();
  local_.usage_max.reset();
  return true;
}

bool Parser::Run() {
  if (bytes_.size() > kMaxDescriptorBytes)
    return Fail("descriptor longer than " + std::to_string(kMaxDescriptorBytes) + " bytes");
  std::size_t pos = 0;
  while (pos < bytes_.size()) {
    item_offset_ = pos;
    const std::uint8_t prefix = bytes_[pos];
    if (prefix == 0xFE) {  // long item: size, tag, data; none is defined, so skip it
      if (pos + 3 > bytes_.size()) return Fail("long item runs past the end of the descriptor");
      const std::size_t size = bytes_[pos + 1];
      if (pos + 3 + size > bytes_.size()) return Fail("long item runs past the end of the descriptor");
      pos += 3 + size;
      continue;
    }
    const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    const auto type = static_cast<std::uint8_t>((prefix >> 2) & 3);
    const auto tag = static_cast<std::uint8_t>(prefix >> 4);
    if (pos + 1 + size > bytes_.size()) return Fail("item runs past the end of the descriptor");
    std::uint32_t data = 0;
    for (std::size_t i = 0; i < size; ++i) data |= std::uint32_t{bytes_[pos + 1 + i]} << (8 * i);
    pos += 1 + size;

    bool ok = true;
    switch (type) {
      case kMain: ok = HandleMain(tag, data); break;
      case kGlobal: ok = HandleGlobal(tag, data, size); break;
      case kLocal: ok = HandleLocal(tag, data, size); break;
      default: break;  // reserved item type: nothing defined to do
    }
    if (!ok) return false;
  }
  item_offset_ = bytes_.size();
  if (depth_ != 0) return Fail(std::to_string(depth_) + " collection(s) not closed at the end of the descriptor");
  if (out_.collections.empty()) return Fail("descriptor has no top-level collection");
  for (TopLevelCollection& tlc : out_.collections) FinishCollection(tlc);
  return true;
}

bool Parser::HandleMain(std::uint8_t tag, std::uint32_t data) {
  if (!FlushUsageRange()) return false;
  bool ok = true;
  switch (tag) {
    case kCollectionTag: {
      if (depth_ == 0) {
        TopLevelCollection tlc;
        const UsageEntry usage = local_.usages.empty() ? UsageEntry{global_.usage_page, 0, 0} : local_.usages.front();
        tlc.usage_page = usage.page;
        tlc.usage = usage.min;
        out_.collections.push_back(std::move(tlc));
        link_index_ = 0;
        link_stack_.clear();
      }
      link_stack_.push_back(link_index_++);
      out_.collections.back().link_collection_nodes = link_index_;
      ++depth_;
      break;
    }
    case kEndCollectionTag:
      if (depth_ == 0) return Fail("End Collection without an open collection");
      --depth_;
      link_stack_.pop_back();
      break;
    case kInputTag: ok = AddField(ReportType::kInput, data); break;
    case kOutputTag: ok = AddField(ReportType::kOutput, data); break;
    case kFeatureTag: ok = AddField(ReportType::kFeature, data); break;
    default: break;  // reserved main tag
  }
  local_.Clear();
  return ok;
}

bool Parser::AddField(ReportType type, std::uint32_t flags) {
  if (depth_ == 0) return Fail(std::string(ReportTypeName(type)) + " item outside any collection");
  const bool with_id = global_.report_id != 0;
  if (!uses_report_ids_) uses_report_ids_ = with_id;
  if (*uses_report_ids_ != with_id)
    return Fail(std::string(ReportTypeName(type)) + " item without a Report ID while other reports have one");
  if (global_.report_count > kMaxReportCount)
    return Fail("Report Count " + std::to_string(global_.report_count) + " above " + std::to_string(kMaxReportCount));
  if (global_.report_size > 0xFFFF) return Fail("Report Size above 65535 bits");

  std::uint64_t& bits = report_bits_[{type, global_.report_id}];
  const std::uint64_t offset = bits;
  bits += std::uint64_t{global_.report_size} * global_.report_count;
  if (bits > kMaxReportBytes * 8)
    return Fail(std::string(ReportTypeName(type)) + " report " + std::to_string(global_.report_id) +
                " longer than " + std::to_string(kMaxReportBytes) + " bytes");

  TopLevelCollection& tlc = out_.collections.back();
  // Remember the report even when the item is padding: it sizes the report.
  auto& ids = tlc.report_ids[static_cast<std::size_t>(type)];
  if (std::find(ids.begin(), ids.end(), global_.report_id) == ids.end()) ids.push_back(global_.report_id);
  if ((flags & kConstantBit) || global_.report_count == 0 || global_.report_size == 0) return true;

  ReportField field;
  field.type = type;
  field.report_id = global_.report_id;
  field.bit_offset = static_cast<std::uint32_t>(offset);
  field.bit_size = static_cast<std::uint16_t>(global_.report_size);
  field.count = static_cast<std::uint16_t>(global_.report_count);
  field.is_array = !(flags & kVariableBit);
  field.has_null = flags & kNullStateBit;
  field.logical_min = ClampToInt32(global_.logical_min);
  field.logical_max = ClampToInt32(global_.logical_max);
  field.physical_min = ClampToInt32(global_.physical_min);
  field.physical_max = ClampToInt32(global_.physical_max);
  field.unit = global_.unit;
  field.unit_exponent = global_.unit_exponent;
  field.link_collection = link_stack_.back();
  field.usages = local_.usages.empty() ? std::vector<UsageEntry>{{global_.usage_page, 0, 0}} : local_.usages;
  tlc.fields.push_back(std::move(field));
  return true;
}

bool Parser::HandleGlobal(std::uint8_t tag, std::uint32_t data, std::size_t size) {
  // Signed items are sign-extended from their own size.
  const std::int64_t sdata = size == 0   ? 0
                             : size == 1 ? static_cast<std::int8_t>(data)
                             : size == 2 ? static_cast<std::int16_t>(data)
                                         : static_cast<std::int32_t>(data);
  switch (tag) {
    case kUsagePage: global_.usage_page = static_cast<std::uint16_t>(data); break;
    case kLogicalMin: global_.logical_min = sdata; break;
    // A maximum is unsigned unless its minimum is negative (as the kernel reads it).
    case kLogicalMax: global_.logical_max = global_.logical_min < 0 ? sdata : std::int64_t{data}; break;
    case kPhysicalMin: global_.physical_min = sdata; break;
    case kPhysicalMax: global_.physical_max = global_.physical_min < 0 ? sdata : std::int64_t{data}; break;
    case kUnitExponent: global_.unit_exponent = static_cast<std::int8_t>(data & 0xF) << 4 >> 4; break;
    case kUnit: global_.unit = data; break;
    case kReportSize: global_.report_size = data; break;
    case kReportCount: global_.report_count = data; break;
    case kReportId:
      if (data == 0 || data > 0xFF) return Fail("Report ID " + std::to_string(data) + " outside 1..255");
      global_.report_id = static_cast<std::uint8_t>(data);
      break;
    case kPush:
      if (global_stack_.size() >= kMaxPushDepth) return Fail("Push nested deeper than " + std::to_string(kMaxPushDepth));
      global_stack_.push_back(global_);
      break;
    case kPop:
      if (global_stack_.empty()) return Fail("Pop without a matching Push");
      global_ = global_stack_.back();
      global_stack_.pop_back();
      break;
    default: break;  // reserved global tag
  }
  return true;
}

bool Parser::HandleLocal(std::uint8_t tag, std::uint32_t data, std::size_t size) {
  const PendingUsage usage{data, size == 4};
  switch (tag) {
    case kUsage:
      if (!FlushUsageRange()) return false;
      local_.usages.push_back(Resolve(usage));
      break;
    case kUsageMin:
      if (local_.usage_min && !FlushUsageRange()) return false;
      local_.usage_min = usage;
      break;
    case kUsageMax:
      if (local_.usage_max && !FlushUsageRange()) return false;
      local_.usage_max = usage;
      break;
    default: break;  // designators, strings, delimiters: not needed for decoding
  }
  if (local_.usage_min && local_.usage_max && !FlushUsageRange()) return false;
  if (local_.usages.size() > kMaxLocalUsages) return Fail("more than " + std::to_string(kMaxLocalUsages) + " usages on one item");
  return true;
}

void Parser::FinishCollection(TopLevelCollection& tlc) const {
  tlc.uses_report_ids = uses_report_ids_.value_or(false);
  for (std::size_t t = 0; t < kReportTypeCount; ++t) {
    auto& ids = tlc.report_ids[t];
    std::sort(ids.begin(), ids.end());
    std::uint64_t largest_bits = 0;
    for (std::uint8_t id : ids) {
      const auto it = report_bits_.find({static_cast<ReportType>(t), id});
      if (it != report_bits_.end()) largest_bits = std::max(largest_bits, it->second);
    }
    tlc.report_byte_length[t] = ids.empty() ? 0 : static_cast<std::uint16_t>((largest_bits + 7) / 8 + 1);
  }
  for (const ReportField& field : tlc.fields) {
    if (field.is_button()) {
      // Array elements index the usage list; variable bits walk it, the last usage repeating.
      std::uint32_t remaining = field.is_array ? UINT32_MAX : field.count;
      for (std::size_t i = 0; i < field.usages.size() && remaining > 0; ++i) {
        const UsageEntry& u = field.usages[i];
        const std::uint32_t covered = field.is_array ? u.size() : std::min(u.size(), remaining);
        tlc.button_caps.push_back({field.type, field.report_id, u.page, u.min,
                                   static_cast<std::uint16_t>(u.min + covered - 1), u.min != u.max,
                                   field.link_collection});
        if (!field.is_array) remaining -= covered;
      }
    } else {
      std::uint32_t remaining = field.count;
      for (std::size_t i = 0; i < field.usages.size() && remaining > 0; ++i) {
        const UsageEntry& u = field.usages[i];
        const bool last = i + 1 == field.usages.size();
        const std::uint32_t usages = std::min(u.size(), remaining);
        // The last usage takes the remaining elements as a value array.
        const std::uint32_t elements = last ? remaining : usages;
        tlc.value_caps.push_back({field.type, field.report_id, u.page, u.min,
                                  static_cast<std::uint16_t>(u.min + usages - 1), u.min != u.max, field.bit_size,
                                  static_cast<std::uint16_t>(elements), field.logical_min, field.logical_max,
                                  field.link_collection});
        remaining -= elements;
      }
    }
  }
}

}  // namespace

const char* ReportTypeName(ReportType type) {
  switch (type) {
    case ReportType::kInput: return "input";
    case ReportType::kOutput: return "output";
    case ReportType::kFeature: return "feature";
  }
  return "?";
}

UsageEntry ReportField::UsageOfElement(std::uint32_t index) const {
  for (const UsageEntry& u : usages) {
    if (index < u.size()) {
      const auto id = static_cast<std::uint16_t>(u.min + index);
      return {u.page, id, id};
    }
    index -= u.size();
  }
  const UsageEntry& last = usages.back();
  return {last.page, last.max, last.max};
}

bool TopLevelCollection::HasReport(ReportType type, std::uint8_t report_id) const {
  const auto& ids = report_ids[static_cast<std::size_t>(type)];
  return std::binary_search(ids.begin(), ids.end(), report_id);
}

std::uint32_t TopLevelCollection::MaxUsageListLength(ReportType type, std::uint16_t usage_page) const {
  std::uint32_t total = 0;
  for (const ReportField& field : fields) {
    if (field.type != type || !field.is_button()) continue;
    if (field.is_array) {
      const bool any = std::any_of(field.usages.begin(), field.usages.end(),
                                   [&](const UsageEntry& u) { return u.page == usage_page; });
      if (any) total += field.count;
    } else {
      std::uint32_t remaining = field.count;
      for (const UsageEntry& u : field.usages) {
        const std::uint32_t n = std::min(u.size(), remaining);
        if (u.page == usage_page) total += n;
        remaining -= n;
      }
      if (field.usages.back().page == usage_page) total += remaining;  // the last usage repeats
    }
  }
  return total;
}

std::uint16_t TopLevelCollection::DataIndexCount(ReportType type) const {
  std::uint32_t total = 0;
  for (const ButtonCapability& cap : button_caps)
    if (cap.type == type) total += std::uint32_t{cap.usage_max} - cap.usage_min + 1;
  for (const ValueCapability& cap : value_caps)
    if (cap.type == type) total += std::uint32_t{cap.usage_max} - cap.usage_min + 1;
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(total, 0xFFFF));
}

bool ParseReportDescriptor(std::span<const std::uint8_t> bytes, ReportDescriptor& out, std::string& error) {
  out = ReportDescriptor{};
  error.clear();
  Parser parser(bytes, out, error);
  if (parser.Run()) return true;
  out = ReportDescriptor{};
  return false;
}

}  // namespace brontal
