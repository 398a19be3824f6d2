#include "devices/lighting/light_chase.h"

#include "devices/lighting/light_primitives.h"
#include "devices/lighting/light_runs.h"

namespace brontal::lighting {

void StepChase(AnimationState& state, const LightSetting& look, ChasePlaces places, std::uint8_t direction,
               bool rotate) {
  constexpr std::uint8_t kFullLevel = 255;
  const std::size_t light_count = state.colours.size();
  const bool runs = places == ChasePlaces::kRuns;
  const std::size_t count = runs ? kLightRuns : light_count;
  const std::size_t spacing = runs ? 4 : 5;
  auto place_of = [&](std::size_t light) { return runs ? RunOf(light, light_count) : light; };
  if (count == 0) return;

  if (rotate) state.phase = StepPhase(direction, static_cast<std::uint8_t>(count), state.phase, 1);
  for (const std::uint8_t light : state.Lights()) {
    const std::size_t place = place_of(light);
    std::uint8_t& level = state.levels[light];
    if (rotate && (place + count - state.phase) % count % spacing == 0) level = kFullLevel;
    level = Fade(level, look.select_item);
    state.Paint(light, ColourOf(look, 12 * place), LevelAlpha(look, level));
  }
}

}  // namespace brontal::lighting
