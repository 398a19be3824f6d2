// Scenario: the headset on the simulator with its lights animating at speed 4,
// every host frame going to it as twelve output reports. Prints the program's
// CPU (the simulator's own threads apart) as a share of one core, the frames
// that reached the headset, and how long the UI loop could not run meanwhile.
#include <QCoreApplication>
#include <cstdio>
#include <iterator>
#include <set>

#include "devices/headset/corvane_zu6533_device.h"
#include "devices/headset/headset_wire.h"
#include "scenario_main.h"
#include "single_product.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using bench::Clock;
using bench::Verdict;

constexpr std::uint16_t kVendor = 0x0C76;
constexpr std::uint16_t kProduct = 0x1630;
constexpr auto kSpan = 10s;

void AnimateHeadset(MessageLoop& loop) {
  bench::SingleProduct<CCorvaneZU6533Device> scene(loop, kVendor, kProduct);
  if (!scene.Connect()) return;
  CCorvaneZU6533Device* headset = &scene.product();
  sim::SimulatedDevice* device = &scene.simulated();
  const std::set<pid_t>& simulator_threads = scene.simulator_threads();
  // Colour cycle (mode 1) at the fastest speed.
  LightSetting light = headset->profile().GetLight();
  light.select_item = 1;
  light.speed = 4;
  light.light = 4;
  bool applied = false;
  headset->ApplyLightRecord(light, [&applied](bool) { applied = true; });
  bench::RunUntil(
      loop, [&] { return applied; }, 5s);
  bench::RunUntil(
      loop, [] { return false; }, 1s);

  const auto reports = [&] { return device->Journal().Summary().other_reports; };
  const std::set<pid_t> all = bench::ThreadIds();
  std::set<pid_t> program;
  std::ranges::set_difference(all, simulator_threads, std::inserter(program, program.end()));
  struct Span {
    double wall, cpu, simulator_cpu, frames;
  };
  const auto measure = [&] {
    const std::size_t reports_before = reports();
    const double cpu_before = bench::ThreadCpuSeconds(program);
    const double simulator_before = bench::ThreadCpuSeconds(simulator_threads);
    const Clock::time_point start = Clock::now();
    // One timer ends the span: RunUntil's own polling would be measured too.
    const TimerId end = loop.StartTimer(kSpan, [&loop] { loop.Exit(0); });
    loop.Run();
    loop.StopTimer(end);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return Span{wall, (bench::ThreadCpuSeconds(program) - cpu_before) / wall,
                (bench::ThreadCpuSeconds(simulator_threads) - simulator_before) / wall,
                static_cast<double>(reports() - reports_before) / headset::kReportsPerFrame / wall};
  };
  // The same animation without the frames first: what the frames cost on their own.
  headset->set_host_lighting(false);
  const Span quiet = measure();
  headset->set_host_lighting(true);
  const Span streaming = measure();

  // The UI loop's stalls, measured apart: the 1 ms probe costs CPU of its own.
  bench::BlockingProbe probe(loop);
  bench::RunUntil(
      loop, [] { return false; }, 5s);
  probe.Stop();
  const double p99 = probe.Percentile(0.99);
  const double frames_cost = 100 * (streaming.cpu - quiet.cpu);
  std::printf(
      "headset lights  colour cycle at speed 4, %.0f s each: without frames the program takes %.2f %% of one core; "
      "with %.0f frames a second on the wire (%.0f output reports a second, %.0f frames a second before) %.2f %%, "
      "so the frames cost %.2f %% (goal < 1 %%: %s), the simulator's threads %.2f %% more; UI loop blocked p99 "
      "%.2f ms, max %.2f ms over %zu probes (goal p99 < 5 ms: %s)\n",
      quiet.wall, 100 * quiet.cpu, streaming.frames, streaming.frames * headset::kReportsPerFrame, quiet.frames,
      100 * streaming.cpu, frames_cost, Verdict(frames_cost < 1), 100 * streaming.simulator_cpu, p99,
      probe.Percentile(1.0), probe.samples(), Verdict(p99 < 5));
}

}  // namespace
}  // namespace brontal

int main(int argc, char** argv) {
  return brontal::bench::RunScenario(argc, argv, [](brontal::MessageLoop& loop) { brontal::AnimateHeadset(loop); });
}
