// What a macro download's outcome lets the caller do next and tells the user.
#include "macros/macro_download.h"

#include <gtest/gtest.h>

namespace brontal {
namespace {

TEST(MacroDownload, OnlyAnImageInPlaceLetsTheKeyTableFollowAndTheRestIsTold) {
  const struct {
    const char* name;
    MacroDownloadOutcome outcome;
    bool key_table_follows;
    std::optional<std::string_view> text_id;
    std::optional<int> argument;
  } cases[] = {
      {"nothing needed", MacrosNotNeeded{}, true, std::nullopt, std::nullopt},
      {"sent", MacrosSent{62}, true, std::nullopt, std::nullopt},
      {"too large", MacroImageTooLarge{262, 256}, false, "message_text_16", 2},
      {"252 events", MacroTooLong{0, 252}, false, "message_text_30", 2},
      {"253 events", MacroTooLong{0, 253}, false, "message_text_30", 2},
      {"254 events", MacroTooLong{1, 254}, false, "message_text_30", 4},
      {"transfer failed", MacroTransferFailed{}, false, "message_macro_download_failed", std::nullopt},
  };
  for (const auto& c : cases) {
    const MacroDownloadResult result{{4, 2}, c.outcome};
    EXPECT_EQ(result.KeyTableMayFollow(), c.key_table_follows) << c.name;
    const std::optional<MacroDownloadNotice> notice = NoticeOf(result);
    ASSERT_EQ(notice.has_value(), c.text_id.has_value()) << c.name;
    if (!notice) continue;
    EXPECT_EQ(notice->text_id, *c.text_id) << c.name;
    EXPECT_EQ(notice->argument, c.argument) << c.name;
  }
}

}  // namespace
}  // namespace brontal
