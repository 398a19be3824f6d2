// The cost of one animation unit of a full-size keyboard (126 lights) in
// every mode with multicolour on, at full speed, so that the mode steps on
// every unit (music on every second one: see steps_per_unit), and the
// allocations those units make, counted exactly over 1000 units before the
// timed loop. Goal: under 20 us a step and no allocation.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>

#include "devices/lighting/light_engine.h"

namespace {

std::atomic<std::size_t> g_allocations{0};

}  // namespace

// Kept out of line: inlined into the containers, GCC takes malloc and free
// for a mismatch with new and delete.
[[gnu::noinline]] void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace brontal::lighting {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kFullSize = 0x50EB;
constexpr std::size_t kKeyboardLights = 126;

EngineSettings KeyboardSettings(std::uint8_t mode) {
  EngineSettings settings;
  settings.light.select_item = mode;
  settings.light.light = 4;
  settings.light.speed = 4;
  settings.light.fx = 1;
  settings.light.multi_color = 1;
  settings.light.red = 40;
  settings.light.green = 80;
  settings.light.blue = 160;
  settings.custom_colours.assign(kKeyboardLights, CustomColour{200, 100, 50, 255});
  LightStep breathing;
  breathing.brightness = 4;
  breathing.speed = 4;
  breathing.multi_color = 1;
  breathing.time = 2000;
  settings.effect_list = {breathing};
  return settings;
}

// Every light of its own: the five effects in turn.
std::vector<LedEffect> OwnEffects() {
  std::vector<LedEffect> records(kKeyboardLights);
  for (std::size_t light = 0; light < records.size(); ++light) {
    records[light].mode = static_cast<std::uint8_t>(light % 5);
    records[light].brightness = 4;
    records[light].speed = 2;
    records[light].multi_color = 1;
    records[light].present = 1;
  }
  return records;
}

void RunUnits(benchmark::State& state, EngineSettings settings) {
  LightEngine engine(Family::kKeyboard, kFullSize, kKeyboardLights, 1);
  engine.Configure(std::move(settings), true);
  engine.SetColourBlock({10, 20, 30, 40, 50, 60});
  std::chrono::milliseconds now{0};

  constexpr int kCountedUnits = 1000;
  const std::size_t before = g_allocations.load(std::memory_order_relaxed);
  for (int unit = 0; unit < kCountedUnits; ++unit) {
    now += 16ms;
    engine.Tick(now);
  }
  const std::size_t allocations = g_allocations.load(std::memory_order_relaxed) - before;

  std::size_t steps = 0;
  for (auto _ : state) {
    now += 16ms;
    steps += engine.Tick(now) ? 1 : 0;
    benchmark::DoNotOptimize(engine.colours().data());
    benchmark::ClobberMemory();
  }
  state.counters["allocations_per_1000_units"] = static_cast<double>(allocations);
  state.counters["steps_per_unit"] = static_cast<double>(steps) / static_cast<double>(state.iterations());
}

void BM_KeyboardUnit(benchmark::State& state) {
  RunUnits(state, KeyboardSettings(static_cast<std::uint8_t>(state.range(0))));
}
BENCHMARK(BM_KeyboardUnit)->ArgName("mode")->DenseRange(0, 30);

void BM_KeyboardUnitWithOwnEffects(benchmark::State& state) {
  EngineSettings settings = KeyboardSettings(static_cast<std::uint8_t>(state.range(0)));
  settings.light_list = OwnEffects();
  RunUnits(state, std::move(settings));
}
BENCHMARK(BM_KeyboardUnitWithOwnEffects)->ArgName("mode")->Arg(4)->Arg(15)->Arg(24);

}  // namespace
}  // namespace brontal::lighting
