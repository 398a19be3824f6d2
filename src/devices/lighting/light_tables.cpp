#include "devices/lighting/light_tables.h"

#include <algorithm>

namespace brontal::lighting {
namespace {

using SpeedTable = std::array<int, 5>;

constexpr SpeedTable kKeyboardIntervals = {8, 5, 3, 1, 0};
constexpr SpeedTable kKeyboardFastWaveIntervals = {12, 8, 5, 0, 0};  // mode 2
constexpr SpeedTable kKeyboardFieldIntervals = {3, 3, 3, 3, 0};      // modes 14, 16, 17
constexpr SpeedTable kAccessoryIntervals = {8, 6, 4, 2, 1};
constexpr SpeedTable kMouseChaseIntervals = {16, 12, 8, 4, 2};  // mouse mode 5
constexpr int kMusicInterval = 2;

int At(const SpeedTable& table, std::uint8_t speed) { return table[std::min<std::size_t>(speed, table.size() - 1)]; }

}  // namespace

int BlinkPeriodMs(std::uint8_t speed) { return At(kBlinkPeriodsMs, speed); }

int StandardKeyboardInterval(std::uint8_t speed) { return At(kKeyboardIntervals, speed); }

int StandardAccessoryInterval(std::uint8_t speed) { return At(kAccessoryIntervals, speed); }

int KeyboardStepInterval(std::uint8_t mode, std::uint8_t speed) {
  switch (mode) {
    case 2: return At(kKeyboardFastWaveIntervals, speed);
    case 14:
    case 16:
    case 17: return At(kKeyboardFieldIntervals, speed);
    case 29: return kMusicInterval;
    default: return At(kKeyboardIntervals, speed);
  }
}

int MouseStepInterval(std::uint8_t mode, std::uint8_t speed) {
  return At(mode == 5 ? kMouseChaseIntervals : kAccessoryIntervals, speed);
}

}  // namespace brontal::lighting
