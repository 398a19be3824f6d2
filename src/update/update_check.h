#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <stop_token>
#include <string_view>
#include <vector>

#include "profiles/data_folders.h"
#include "update/http_client.h"
#include "update/update_item.h"
#include "update/update_row.h"

// One pass of the update check over the items, in order.
namespace brontal {

struct UpdateCheckOutcome {
  std::vector<UpdateRow> rows;
  PageState state = PageState::kChecking;
  // True when the service answered at least once: only then is the check
  // date worth recording.
  bool answered = false;
};

// The rows before anything was asked: each item's own versions, current.
std::vector<UpdateRow> RowsBeforeCheck(std::span<const UpdateItem> items);

// Asks about every item; row_filled hears each row as soon as its answer is
// in. Rows with something offered come out checked and checkable. A stop
// request ends the pass within a second, the request under way included; the
// rows not asked about stay as RowsBeforeCheck made them.
UpdateCheckOutcome CheckForUpdates(HttpClient& client, std::string_view base_url, std::span<const UpdateItem> items,
                                   std::stop_token stop = {},
                                   const std::function<void(std::size_t, const UpdateRow&)>& row_filled = {});

// Records today's date in "updatetime.config" when the service answered;
// a check that reached nobody must not pass for a recent one. True when
// written.
bool RecordCheckDate(const UpdateCheckOutcome& outcome, const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
