#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "devices/key_action_tables.h"
#include "ui/toolkit/geometry.h"

namespace brontal {

class CDeviceKeyButtonUI;
class CSelectPanelUI;

// Where the keys of each keyboard model sit on its device picture. All three
// pictures are ANSI boards with Fn in the place of the right GUI key:
//   variant 0: full size, 104 keys;
//   variant 1: tenkeyless, 87 keys;
//   variant 2: 75 %, 84 keys: Print Screen, Insert and Delete end the function
//              row, Home, Page Up, Page Down and End stand in a column right of
//              the main block; no Scroll Lock or Pause.
// The special-function keys 16, 17 and 120..124 have no cap of their own. Of
// the duplicate pairs only 89 (B) and 108 (Space) are placed, since the key
// events report those; 20 and 104 carry no key.
inline constexpr int kKeyPictureVariantCount = 3;
inline constexpr int kKeyUnit = 40;  // one key width, gap included, in picture units
inline constexpr int kKeyGap = 4;    // at the right and bottom of every key

struct KeyPlace {
  std::size_t logical_key = 0;  // index of kLogicalKeyActions
  Rect rect;                    // picture units, (0, 0) at the picture's top left
};

// Empty for an unknown variant.
std::span<const KeyPlace> KeyPictureLayout(int variant);
// The picture's extent; every key lies inside {0, 0, cx, cy}.
Size KeyPictureSize(int variant);

// The picture of a keyboard product id, wired or receiver.
std::optional<int> KeyPictureVariantOf(std::uint16_t product_id);

// The key's cap as the picture shows it before the profile's labels arrive
// ("Esc", "F1", "A", "Shift"); empty for a key without a cap.
std::string_view KeyCapLabel(std::size_t logical_key);

// Adds the variant's keys to `panel` as floating key buttons named "key_" plus
// the logical key, labelled with KeyCapLabel. The toolkit places floating
// controls in window coordinates, so `area` is where the picture goes in the
// window: the picture is scaled down to fit it (never up), centred across it,
// at its top. Without an area the picture keeps its size at the window's
// origin. Returns the buttons by logical key, nullptr for keys the picture
// does not show.
std::array<CDeviceKeyButtonUI*, kLogicalKeyCount> BuildKeyboardPicture(CSelectPanelUI& panel, int variant,
                                                                       std::optional<Rect> area = std::nullopt);

}  // namespace brontal
