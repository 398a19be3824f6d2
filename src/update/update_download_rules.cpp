#include "update/update_download_rules.h"

#include <algorithm>

namespace brontal {

void ConfirmCheckedRows(std::span<UpdateRow> rows) {
  for (UpdateRow& row : rows) {
    if (row.state != RowState::kOffered && row.state != RowState::kOfferedAgain) continue;
    if (row.checked)
      row.state = RowState::kWaiting;
    else
      row.check_enabled = false;
  }
}

bool IsDueForDownload(const UpdateRow& row) {
  return row.checked && (row.state == RowState::kWaiting || row.state == RowState::kFailed) && !row.package;
}

bool AnyRowChecked(std::span<const UpdateRow> rows) {
  return std::ranges::any_of(rows, [](const UpdateRow& row) { return row.checked; });
}

}  // namespace brontal
