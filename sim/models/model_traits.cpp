#include "models/model_traits.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace brontal::sim {
namespace {

// Keyboard matrices: the logical key at each row and column. The firmware
// scans columns, so slot numbers run down the columns, while the LED chain
// snakes along the rows; neither order is the host's logical order.
template <std::size_t Rows, std::size_t Columns>
using KeyMatrix = std::array<std::array<std::uint8_t, Columns>, Rows>;

template <std::size_t Rows, std::size_t Columns>
constexpr std::array<std::uint8_t, Rows * Columns> ColumnMajorSlots(const KeyMatrix<Rows, Columns>& matrix) {
  std::array<std::uint8_t, Rows * Columns> slots{};
  for (std::size_t r = 0; r < Rows; ++r)
    for (std::size_t c = 0; c < Columns; ++c) slots[c * Rows + r] = matrix[r][c];
  return slots;
}

template <std::size_t Rows, std::size_t Columns>
constexpr std::array<std::uint8_t, Rows * Columns> SnakingLeds(const KeyMatrix<Rows, Columns>& matrix) {
  std::array<std::uint8_t, Rows * Columns> leds{};
  std::uint8_t next = 0;
  for (std::size_t r = 0; r < Rows; ++r) {
    for (std::size_t i = 0; i < Columns; ++i) {
      const std::size_t c = r % 2 == 0 ? i : Columns - 1 - i;
      leds[c * Rows + r] = matrix[r][c] == kNoKey ? kNoLed : next++;
    }
  }
  return leds;
}

// A short matrix row would silently fill with key 0, so every key must appear once.
template <std::size_t Rows, std::size_t Columns>
constexpr bool EachKeyOnce(const KeyMatrix<Rows, Columns>& matrix) {
  std::array<bool, 256> seen{};
  for (const auto& row : matrix)
    for (const std::uint8_t key : row) {
      if (key == kNoKey) continue;
      if (seen[key]) return false;
      seen[key] = true;
    }
  return true;
}

constexpr std::uint8_t XX = kNoKey;

// Full size with numeric pad, ISO/JIS extras and the lighting keys.
constexpr KeyMatrix<6, 20> kMatrix50EB = {{
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, XX, XX},
    {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40},
    {42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61},
    {63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, XX, XX, XX, 76, 77, 78, 41},
    {84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, XX, 96, XX, 97, 98, 99, 119, 118},
    {105, 106, 107, 108, 109, 110, 111, 112, XX, XX, XX, XX, 113, 114, 115, 116, 117, 79, 80, 81},
}};

// Full size with numeric pad and the five macro keys M1..M5.
constexpr KeyMatrix<6, 21> kMatrix5100 = {{
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 120, 121, 122, 123, 124},
    {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41},
    {42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 119},
    {63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, XX, XX, XX, 76, 77, 78, XX},
    {84, 102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, XX, XX, 96, XX, 97, 98, 99, 118},
    {105, 106, 107, 108, 109, 125, 110, 111, 112, XX, XX, XX, XX, 113, 114, 115, 116, XX, 117, XX, XX},
}};

// Tenkeyless.
constexpr KeyMatrix<6, 17> kMatrix5101 = {{
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, XX},
    {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37},
    {42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58},
    {63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, XX, XX, XX},
    {84, 102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, XX, XX, 96, XX},
    {105, 106, 107, 108, 109, 125, 110, 111, 112, XX, XX, XX, XX, XX, 113, 114, 115},
}};

static_assert(EachKeyOnce(kMatrix50EB) && EachKeyOnce(kMatrix5100) && EachKeyOnce(kMatrix5101));

constexpr auto kSlots50EB = ColumnMajorSlots(kMatrix50EB);
constexpr auto kLeds50EB = SnakingLeds(kMatrix50EB);
constexpr auto kSlots5100 = ColumnMajorSlots(kMatrix5100);
constexpr auto kLeds5100 = SnakingLeds(kMatrix5100);
constexpr auto kSlots5101 = ColumnMajorSlots(kMatrix5101);
constexpr auto kLeds5101 = SnakingLeds(kMatrix5101);

// The mouse's buttons in its own slot order; it has no DPI-cycle button (7).
constexpr std::array<std::uint8_t, 10> kMouseSlots = {0, 1, 2, 4, 3, 8, 5, 6, 9, 10};

// Two-range sensor: 100 DPI steps up to stage 48, then 200 DPI steps.
constexpr SensorFields kMouseSensor = {.sensor_code = 0x3325, .dpi_step = 100, .largest_stage = 108, .base_dpi = 100};

constexpr std::array<ModelTraits, 6> kModels = {{
    {.vendor_id = 0x320F, .product_id = 0x50EB, .macro_units = 16, .slot_keys = kSlots50EB, .slot_leds = kLeds50EB, .sensor = {}},
    {.vendor_id = 0x320F, .product_id = 0x5100, .macro_units = 32, .slot_keys = kSlots5100, .slot_leds = kLeds5100, .sensor = {}},
    {.vendor_id = 0x320F, .product_id = 0x5101, .macro_units = 24, .slot_keys = kSlots5101, .slot_leds = kLeds5101, .sensor = {}},
    {.vendor_id = 0x320F, .product_id = 0x2003, .macro_units = 16, .slot_keys = kMouseSlots, .slot_leds = {}, .sensor = kMouseSensor},
    {.vendor_id = 0x320F, .product_id = 0x1004, .macro_units = 0, .slot_keys = {}, .slot_leds = {}, .sensor = {}},
    {.vendor_id = 0x0C76, .product_id = 0x1630, .macro_units = 0, .slot_keys = {}, .slot_leds = {}, .sensor = {}},
}};

// The per-index key tables sit 384 bytes apart; longer tables would overlap.
static_assert(kSlots50EB.size() * 3 <= 384 && kSlots5100.size() * 3 <= 384 && kSlots5101.size() * 3 <= 384);

}  // namespace

const ModelTraits* FindModelTraits(const ProductSpec& cabled) {
  const auto it = std::find_if(kModels.begin(), kModels.end(), [&](const ModelTraits& m) {
    return m.vendor_id == cabled.vendor_id && m.product_id == cabled.product_id;
  });
  return it == kModels.end() ? nullptr : &*it;
}

}  // namespace brontal::sim
