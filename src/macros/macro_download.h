#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "macros/macro_image.h"

// How a macro download to a keyboard or mouse ended, and what the user is
// told of it. The key table written after a download points its macro keys
// at slots of the image, so it follows only a download that left the device
// with the image it needs.
namespace brontal {

// No key plays a macro the folder has: nothing was sent.
struct MacrosNotNeeded {
  bool operator==(const MacrosNotNeeded&) const = default;
};
struct MacrosSent {
  std::size_t image_bytes = 0;
  bool operator==(const MacrosSent&) const = default;
};
// A command of the download failed, or the device was not reachable: the
// device may hold part of the image.
struct MacroTransferFailed {
  bool operator==(const MacroTransferFailed&) const = default;
};

using MacroDownloadOutcome =
    std::variant<MacrosNotNeeded, MacrosSent, MacroImageTooLarge, MacroTooLong, MacroTransferFailed>;

struct MacroDownloadResult {
  // Macro index by slot: what the image holds, or was to hold.
  std::vector<std::uint8_t> macros;
  MacroDownloadOutcome outcome;

  bool KeyTableMayFollow() const {
    return std::holds_alternative<MacrosNotNeeded>(outcome) || std::holds_alternative<MacrosSent>(outcome);
  }
};

// A message for the message box: a language text id, used as a format with
// the argument when there is one.
struct MacroDownloadNotice {
  std::string_view text_id;
  std::optional<int> argument;
};

// Nothing for a download the user need not hear of. Too large: how many
// events too many (plus one); too long: the events beyond 250, rounded down
// to even; a failed transfer: no argument.
std::optional<MacroDownloadNotice> NoticeOf(const MacroDownloadResult& result);

// A key table write preceded by the download of the macros it plays.
struct KeyWriteOutcome {
  MacroDownloadResult macros;
  // Nothing when the key table was not written because the download did not
  // go through; else whether the device took it.
  std::optional<bool> key_table;

  bool ok() const { return key_table.value_or(false); }
};

}  // namespace brontal
