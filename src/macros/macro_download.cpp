#include "macros/macro_download.h"

namespace brontal {
namespace {

// The keyboard counts a macro in press and release pairs, 125 of them; the
// user hears of the events beyond them.
constexpr int kPairedEventLimit = 250;

template <typename... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};

}  // namespace

std::optional<MacroDownloadNotice> NoticeOf(const MacroDownloadResult& result) {
  return std::visit(Overloaded{
                        [](const MacroImageTooLarge& refused) -> std::optional<MacroDownloadNotice> {
                          return MacroDownloadNotice{"message_text_16", static_cast<int>(refused.ExcessEvents())};
                        },
                        [](const MacroTooLong& refused) -> std::optional<MacroDownloadNotice> {
                          const auto paired = static_cast<int>(refused.events / 2 * 2);
                          return MacroDownloadNotice{"message_text_30", paired - kPairedEventLimit};
                        },
                        [](const MacroTransferFailed&) -> std::optional<MacroDownloadNotice> {
                          return MacroDownloadNotice{"message_macro_download_failed", std::nullopt};
                        },
                        [](const auto&) -> std::optional<MacroDownloadNotice> { return std::nullopt; },
                    },
                    result.outcome);
}

}  // namespace brontal
