#pragma once

#include <span>
#include <vector>

#include "update/update_row.h"

// Which rows the user's confirmation sends to the download, and when.
namespace brontal {

// Checked offered rows wait for the download; unchecked ones can no longer
// be picked. Failed rows that are checked again are retried as they are.
void ConfirmCheckedRows(std::span<UpdateRow> rows);

// Checked, waiting or failed, and not yet handed over: a package is fetched
// and given to the user once.
bool IsDueForDownload(const UpdateRow& row);

bool AnyRowChecked(std::span<const UpdateRow> rows);

}  // namespace brontal
