#include "update/update_check.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "profiles/update_check_date.h"

namespace brontal {
namespace {

// "V0105" for firmware; the program's own dotted version reads better than its digits.
std::string InstalledText(const UpdateItem& item) {
  if (!item.installed_dotted.empty()) return "V" + item.installed_dotted;
  char text[16];
  std::snprintf(text, sizeof text, item.hexadecimal ? "V%04x" : "V%u", item.installed_version);
  return text;
}

UpdateRow OwnRow(const UpdateItem& item) {
  UpdateRow row;
  row.name = RowName(item);
  row.installed_text = InstalledText(item);
  row.state = RowState::kCurrent;
  return row;
}

}  // namespace

std::vector<UpdateRow> RowsBeforeCheck(std::span<const UpdateItem> items) {
  std::vector<UpdateRow> rows;
  for (const UpdateItem& item : items) rows.push_back(OwnRow(item));
  return rows;
}

UpdateCheckOutcome CheckForUpdates(HttpClient& client, std::string_view base_url, std::span<const UpdateItem> items,
                                   std::stop_token stop,
                                   const std::function<void(std::size_t, const UpdateRow&)>& row_filled) {
  UpdateCheckOutcome outcome{RowsBeforeCheck(items)};
  bool offered = false;
  for (std::size_t i = 0; i < items.size() && !stop.stop_requested(); ++i) {
    const UpdateItem& item = items[i];
    const UpdateResult result =
        RequestUpdateInfo(client, base_url, ApplicationKey(item.identity), item.installed_version, item.hexadecimal,
                          item.installed_dotted, stop);
    const bool reached = result.name != kNoLinkServer;
    outcome.answered = outcome.answered || reached;
    UpdateRow& row = outcome.rows[i];
    // An empty answer (or none) leaves the item as it is: current.
    if (reached && !result.name.empty() && result.status == kUpdateStatusNeeded) {
      row.offered_text = result.offered_text;
      row.state = RowState::kOffered;
      row.package_url = result.package_url;
      row.package_name = result.name;
      row.device_id = result.device_id;
      row.checked = row.check_enabled = true;
      offered = true;
    }
    if (row_filled) row_filled(i, row);
  }
  outcome.state = offered                               ? PageState::kOffered
                  : !outcome.answered && !items.empty() ? PageState::kNoService
                                                        : PageState::kCurrent;
  return outcome;
}

bool RecordCheckDate(const UpdateCheckOutcome& outcome, const AppFolders& folders) {
  if (!outcome.answered) return false;
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  return WriteUpdateCheckDate(
      std::chrono::year(local.tm_year + 1900) / std::chrono::month(local.tm_mon + 1) / std::chrono::day(local.tm_mday),
      folders);
}

}  // namespace brontal
