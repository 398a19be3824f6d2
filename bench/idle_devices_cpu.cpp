// Scenario: a keyboard with its receiver and a mouse sit idle on the simulator
// for ten seconds while the program follows them as it always does (discovery
// every 100 ms, the frame and status timers, the event and lighting threads).
// Prints the CPU time the process used, as a percentage of one core.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "devices/headless_roster.h"
#include "scenario_support.h"
#include "support/user_folders.h"
#include "transport/in_process_simulation.h"
#include "ui/qt/qt_message_loop.h"

int main(int argc, char** argv) {
  using namespace brontal;
  using bench::CpuSeconds;
  QCoreApplication application(argc, argv);
  const auto span = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 10);
  sim::InProcessSimulation simulation(sim::DefaultSimulatedProducts());
  QtMessageLoop loop;
  HeadlessRoster devices(loop, ProgramFolder() / "skin");
  std::string error;
  if (!devices.Create(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  devices.Start();
  // Let the devices connect first; then measure the idle state alone.
  TimerId settle = 0;
  settle = loop.StartTimer(std::chrono::seconds(2), [&loop, &settle] {
    loop.StopTimer(settle);
    loop.Exit(0);
  });
  loop.Run();
  const double cpu_before = CpuSeconds();
  const auto wall_before = std::chrono::steady_clock::now();
  loop.StartTimer(span, [&loop] { loop.Quit(0); });
  loop.Run();
  const double cpu = CpuSeconds() - cpu_before;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
  devices.discovery().Stop();
  std::printf("devices: %zu, idle for %.1f s, CPU %.3f s = %.2f %% of one core\n", devices.roster().devices().size(),
              wall, cpu, 100.0 * cpu / wall);
  return 0;
}
