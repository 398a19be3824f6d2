#include "update/update_row.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "update/update_download_rules.h"

namespace brontal {
namespace {

TEST(PercentOfTest, AnUnknownTotalNeverDividesAndHugeSizesDoNotOverflow) {
  struct Case {
    std::uint64_t received;
    std::uint64_t total;
    int percent;
  };
  const Case cases[] = {
      {0, 0, 0},
      {5, 0, 0},
      {0, 10, 0},
      {1, 3, 33},
      {3, 3, 100},
      {4, 3, 100},  // a server that sent more than it said shows no more than full
      {UINT64_MAX / 2, UINT64_MAX, 49},
      {UINT64_MAX / 2 + 1, UINT64_MAX, 50},
      {UINT64_MAX, UINT64_MAX, 100},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentOf(c.received, c.total), c.percent) << c.received << "/" << c.total;
}

UpdateRow Row(RowState state, bool checked, bool handed_over = false) {
  UpdateRow row;
  row.state = state;
  row.checked = checked;
  row.check_enabled = true;
  if (handed_over) row.package = HandedOverPackage{"/tmp/x.exe", 1, "00"};
  return row;
}

TEST(UpdateDownloadRulesTest, ConfirmationSendsCheckedOffersAndNoPackageIsFetchedTwice) {
  struct Case {
    UpdateRow before;
    RowState after;
    bool check_enabled;
    bool due;
  };
  const Case cases[] = {
      {Row(RowState::kOffered, true), RowState::kWaiting, true, true},
      {Row(RowState::kOfferedAgain, true), RowState::kWaiting, true, true},
      {Row(RowState::kOffered, false), RowState::kOffered, false, false},
      {Row(RowState::kFailed, true), RowState::kFailed, true, true},  // retried as it is
      {Row(RowState::kFailed, false), RowState::kFailed, true, false},
      {Row(RowState::kCurrent, true), RowState::kCurrent, true, false},
      {Row(RowState::kHandedOver, true, true), RowState::kHandedOver, true, false},
      {Row(RowState::kFailed, true, true), RowState::kFailed, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.before.state));
    UpdateRow row = c.before;
    ConfirmCheckedRows({&row, 1});
    EXPECT_EQ(row.state, c.after);
    EXPECT_EQ(row.check_enabled, c.check_enabled);
    EXPECT_EQ(IsDueForDownload(row), c.due);
  }
}

}  // namespace
}  // namespace brontal
