#include "macros/macro_event_name.h"

#include <algorithm>
#include <span>

#include "macros/key_code_table.h"
#include "macros/mouse_action_table.h"

namespace brontal {
namespace {

template <typename Row, typename Match>
std::string_view FirstName(std::span<const Row> rows, Match match) {
  const auto row = std::ranges::find_if(rows, match);
  return row == rows.end() ? std::string_view() : row->name_key;
}

}  // namespace

std::string_view MacroEventNameKey(const MacroEvent& event) {
  const std::span<const KeyCodeRow> keys(kKeyCodeTable);
  const std::span<const MouseActionRow> mouse(kMouseActionTable);
  switch (event.type) {
    case macro_event_type::kKey:
      return FirstName(keys.subspan(kFirstOrdinaryKeyRow), [&](const KeyCodeRow& row) {
        return row.action == KeyAction{0x20, 0, event.button};
      });
    case macro_event_type::kModifierKey:
      return FirstName(keys.first(kFirstOrdinaryKeyRow),
                       [&](const KeyCodeRow& row) { return row.action[1] == event.button && row.action[2] == 0; });
    case macro_event_type::kMouseButton:
      return FirstName(mouse.first(kMouseButtonRows),
                       [&](const MouseActionRow& row) { return row.mask == event.button; });
    case macro_event_type::kHorizontalMove:
    case macro_event_type::kVerticalMove: {
      const int code = event.type | (event.down ? kActionDownBit : 0);
      return FirstName(mouse.subspan(kFirstMovementRow, kMovementRows),
                       [&](const MouseActionRow& row) { return row.action_code == code; });
    }
    default: return {};
  }
}

}  // namespace brontal
