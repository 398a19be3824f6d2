#include "models/event_report.h"

namespace brontal::sim {

std::vector<std::uint8_t> BuildEventReport(std::uint8_t report_id, std::uint16_t code) {
  return {report_id, static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8)};
}

std::optional<IndexSwitch> DecodeIndexSwitch(std::uint16_t code) {
  const std::uint16_t kind = code & 0xFF00;
  if (kind != event_code::kIndexSwitchBase && kind != event_code::kIndexSwitchWithValueBase) return std::nullopt;
  IndexSwitch result{.index = static_cast<std::uint8_t>(code & 0x0F), .value = std::nullopt};
  if (kind == event_code::kIndexSwitchWithValueBase) result.value = static_cast<std::uint8_t>((code >> 4) & 0x0F);
  return result;
}

}  // namespace brontal::sim
