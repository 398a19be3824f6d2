// Scenario: the mouse through its receiver on the simulator, one report taking
// 1 ms each way, its DPI stage dragged across the whole range in one second:
// 100 changes, each doing what the DPI slider's handler does (the stage list
// changed, the profile saved, the whole settings record written). Prints how
// long the UI loop could not run and how many records reached the mouse.
#include <QCoreApplication>
#include <cstdio>
#include <vector>

#include "device_access/command_codes.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "scenario_main.h"
#include "single_product.h"
#include "ui/qt/qt_message_loop.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using bench::Clock;
using bench::Ms;
using bench::Verdict;

constexpr std::uint16_t kVendor = 0x320F;
constexpr std::uint16_t kReceiver = 0x221D;
constexpr int kChanges = 100;

void DragDpiSlider(MessageLoop& loop) {
  bench::SingleProduct<CCorvaneMouseDevice> scene(loop, kVendor, kReceiver);
  if (!scene.Connect()) return;
  CCorvaneMouseDevice* mouse = &scene.product();
  sim::SimulatedDevice* device = &scene.simulated();
  device->Journal().Clear();
  bench::BlockingProbe probe(loop);
  int changes = 0;
  int answered = 0;
  double longest_change_ms = 0;
  const int largest = mouse->dpi_scale().largest;
  const TimerId changer = loop.StartTimer(10ms, [&] {
    const Clock::time_point start = Clock::now();
    std::vector<DpiStage> stages = mouse->profile().GetDpiStages();
    if (stages.size() < 2) stages.resize(2);
    stages[1].dpi_x = static_cast<std::uint16_t>(changes * largest / (kChanges - 1));
    mouse->profile().SetDpiStages(stages);
    mouse->SaveProfile();
    mouse->WriteSettings([&answered](bool) { ++answered; });
    longest_change_ms = std::max(longest_change_ms, Ms(Clock::now() - start));
    ++changes;
  });
  bench::RunUntil(
      loop,
      [&] {
        if (changes >= kChanges) loop.StopTimer(changer);
        return answered >= kChanges;
      },
      10s);
  probe.Stop();
  std::size_t records = 0;
  for (const sim::JournalEntry& e : device->Journal().Entries())
    if (e.kind == sim::JournalKind::kRequest && e.command == command::kWriteParameters && e.address == 0) ++records;
  const double p99 = probe.Percentile(0.99);
  std::printf(
      "dpi drag  %d changes in %.0f ms through the receiver: %zu settings records reached the mouse "
      "(coalesced: %s); UI loop blocked p99 %.2f ms, max %.2f ms over %zu probes, longest change %.2f ms "
      "(goal p99 < 5 ms: %s)\n",
      changes, changes * 10.0, records, Verdict(records < static_cast<std::size_t>(changes)), p99,
      probe.Percentile(1.0), probe.samples(), longest_change_ms, Verdict(p99 < 5));
}

}  // namespace
}  // namespace brontal

int main(int argc, char** argv) {
  return brontal::bench::RunScenario(argc, argv, [](brontal::MessageLoop& loop) { brontal::DragDpiSlider(loop); });
}
