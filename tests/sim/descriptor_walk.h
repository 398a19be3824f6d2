#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

// A minimal walk over a report descriptor: enough to check that it is well
// formed and what its top-level collections are. Not a parser for the program.
namespace brontal::sim::testing {

enum class MainKind { kInput, kOutput, kFeature };

struct WalkedCollection {
  std::uint16_t usage_page = 0;
  std::uint16_t usage = 0;
  // Data bits per (kind, report id).
  std::map<std::pair<MainKind, std::uint8_t>, std::uint32_t> report_bits;
};

struct DescriptorWalk {
  std::vector<WalkedCollection> collections;
  std::string error;  // empty when well formed
};

inline DescriptorWalk WalkDescriptor(std::span<const std::uint8_t> bytes) {
  struct Globals {
    std::uint16_t usage_page = 0;
    std::uint32_t report_size = 0;
    std::uint32_t report_count = 0;
    std::uint8_t report_id = 0;
  };
  DescriptorWalk walk;
  Globals globals;
  std::vector<Globals> stack;
  std::vector<std::uint16_t> usages;
  int depth = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::uint8_t prefix = bytes[i];
    const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (i + 1 + size > bytes.size()) {
      walk.error = "item runs past the end at " + std::to_string(i);
      return walk;
    }
    std::uint32_t value = 0;
    for (std::size_t b = 0; b < size; ++b) value |= std::uint32_t{bytes[i + 1 + b]} << (8 * b);
    const int type = (prefix >> 2) & 3;
    const int tag = prefix >> 4;
    i += 1 + size;
    if (type == 1) {  // global
      if (tag == 0) globals.usage_page = static_cast<std::uint16_t>(value);
      if (tag == 7) globals.report_size = value;
      if (tag == 8) globals.report_id = static_cast<std::uint8_t>(value);
      if (tag == 9) globals.report_count = value;
      if (tag == 10) stack.push_back(globals);
      if (tag == 11) {
        if (stack.empty()) return walk.error = "pop without push", walk;
        globals = stack.back();
        stack.pop_back();
      }
      continue;
    }
    if (type == 2) {  // local
      if (tag == 0) usages.push_back(static_cast<std::uint16_t>(value));
      continue;
    }
    if (type != 0) return walk.error = "reserved item type", walk;
    if (tag == 10) {  // collection
      if (depth == 0) {
        if (usages.empty()) return walk.error = "top-level collection without usage", walk;
        walk.collections.push_back({globals.usage_page, usages.front(), {}});
      }
      ++depth;
    } else if (tag == 12) {  // end collection
      if (--depth < 0) return walk.error = "end collection without collection", walk;
    } else if (tag == 8 || tag == 9 || tag == 11) {
      if (depth == 0) return walk.error = "main item outside a collection", walk;
      if (globals.report_size == 0 || globals.report_count == 0) return walk.error = "main item without size", walk;
      const MainKind kind = tag == 8 ? MainKind::kInput : tag == 9 ? MainKind::kOutput : MainKind::kFeature;
      walk.collections.back().report_bits[{kind, globals.report_id}] += globals.report_size * globals.report_count;
    } else {
      return walk.error = "unknown main item", walk;
    }
    usages.clear();
  }
  if (depth != 0) walk.error = "unbalanced collections";
  return walk;
}

}  // namespace brontal::sim::testing
