#include "devices/lighting/wave_field.h"

namespace brontal::lighting {
namespace {

using Bitmap = std::array<std::uint8_t, kGridColumns>;
constexpr std::size_t kLast = kGridColumns - 1;

std::uint8_t Up(std::uint8_t bits) { return static_cast<std::uint8_t>(bits >> 1); }
// Bits pushed past row 7 are gone.
std::uint8_t Down(std::uint8_t bits) { return static_cast<std::uint8_t>(bits << 1); }

}  // namespace

void WaveField::Seed(const KeyGrid<kGridRows>& grid, std::uint8_t key) {
  if (!IsKeyCell(key)) return;  // kNoKey would find an empty cell
  if (const std::optional<GridCell> cell = FindCell(grid, key)) {
    SetInAll(cell->column, static_cast<std::uint8_t>(1u << cell->row));
  }
}

void WaveField::Ripple() {
  // Each column takes its neighbour's bits from before the move.
  const auto before = bitmaps;
  Bitmap& a = bitmaps[kA];
  Bitmap& b = bitmaps[kB];
  Bitmap& c = bitmaps[kC];
  Bitmap& d = bitmaps[kD];
  for (std::size_t i = 0; i < kGridColumns; ++i) {
    const std::uint8_t from_right_a = i < kLast ? before[kA][i + 1] : 0;
    const std::uint8_t from_right_d = i < kLast ? before[kD][i + 1] : 0;
    const std::uint8_t from_left_b = i > 0 ? before[kB][i - 1] : 0;
    const std::uint8_t from_left_c = i > 0 ? before[kC][i - 1] : 0;
    a[i] = Up(before[kA][i]) | from_right_a;
    d[i] = Down(before[kD][i]) | from_right_d;
    b[i] = Up(before[kB][i]) | from_left_b;
    c[i] = Down(before[kC][i]) | from_left_c;
  }
}

void WaveField::Streak() {
  bitmaps[kA].fill(0);
  bitmaps[kC].fill(0);
  Bitmap& b = bitmaps[kB];
  Bitmap& d = bitmaps[kD];
  for (std::size_t i = kLast; i > 0; --i) b[i] = b[i - 1];
  b[0] = 0;
  for (std::size_t i = 0; i < kLast; ++i) d[i] = d[i + 1];
  d[kLast] = 0;
}

}  // namespace brontal::lighting
