// Scenario: the keyboard alone on the simulator, one report taking 1 ms each
// way, followed as the desktop program follows it (profile selector included).
// Prints three figures, each beside its goal:
// 1. the connect-time read on the cable and through the receiver against the
//    wire's minimum (2 ms a request);
// 2. how long the UI loop is blocked while the keyboard connects through the
//    receiver and then takes 100 brightness changes in one second, and how many
//    settings records reached it;
// 3. host-driven lighting frames on the cable for five seconds against what the
//    wire and the frame timer allow, and the CPU the process used meanwhile.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <vector>

#include "device_access/command_codes.h"
#include "devices/device_option_ui.h"
#include "devices/headless_roster.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "keyboard_mode_index.h"
#include "scenario_main.h"
#include "scenario_support.h"
#include "support/user_folders.h"
#include "transport/in_process_simulation.h"
#include "ui/qt/qt_message_loop.h"
#include "ui_loop_probe.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using bench::BlockingProbe;
using bench::Clock;
using bench::Ms;
using bench::RunUntil;
using bench::Verdict;

constexpr std::uint16_t kVendor = 0x320F;
constexpr std::uint16_t kCabled = 0x5100;
constexpr std::uint16_t kReceiver = 0x5103;
constexpr std::chrono::milliseconds kConnectLimit{10'000};
// The end of a transaction is sent after a 10 ms pause.
constexpr double kEndPauseMs = 10;
constexpr double kWireMsPerRequest = 2.0;  // 1 ms out, 1 ms back

// One timer for the whole span: a polling one would add to the CPU measured.
void RunFor(MessageLoop& loop, std::chrono::milliseconds span) {
  const TimerId end = loop.StartTimer(span, [&loop] { loop.Exit(0); });
  loop.Run();
  loop.StopTimer(end);
}

// One keyboard product plugged alone on a fresh simulated bus.
class KeyboardScene {
 public:
  KeyboardScene(MessageLoop& loop, std::uint16_t product)
      : loop_(loop), product_(product), devices_(loop, ProgramFolder() / "skin") {
    // Journal times count from the device's creation: bracketing it puts them on our clock.
    const Clock::time_point before = Clock::now();
    device_ = simulation_.simulator().Device(kVendor, product);
    journal_epoch_ = before + (Clock::now() - before) / 2;
    // The simulator runs in this process: its threads' CPU is told apart from the program's.
    const std::set<pid_t> threads_before = bench::ThreadIds();
    simulation_.simulator().Plug(kVendor, product);
    std::ranges::set_difference(bench::ThreadIds(), threads_before,
                                std::inserter(simulator_threads_, simulator_threads_.end()));
    devices_.roster().profile_panels = true;
    devices_.roster().device_created = [this](CCorvaneUSBDevice& device) {
      keyboard_ = dynamic_cast<CCorvaneKeyboardDevice*>(&device);
      if (keyboard_) keyboard_->on_ready = [this] { Ready(); };
    };
  }
  ~KeyboardScene() { devices_.discovery().Stop(); }

  // The device strip, built as the program starts; false when it cannot be.
  bool Create() {
    std::string error;
    if (devices_.Create(error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  // Discovery starts and the keyboard connects; false when it never became ready.
  bool Connect() {
    devices_.Start();
    if (RunUntil(
            loop_, [this] { return ready_at_.has_value(); }, kConnectLimit))
      return true;
    std::fprintf(stderr, "the keyboard %04x did not become ready\n", product_);
    return false;
  }

  CCorvaneKeyboardDevice& keyboard() { return *keyboard_; }
  sim::CommandJournal& journal() { return device_->Journal(); }
  double ready_ms() const { return Ms(*ready_at_ - journal_epoch_); }
  double SimulatorCpuSeconds() const { return bench::ThreadCpuSeconds(simulator_threads_); }
  std::function<void()> on_first_ready;

  // The command frames the host sent, oldest first.
  std::vector<sim::JournalEntry> Requests() const {
    std::vector<sim::JournalEntry> requests = device_->Journal().Entries();
    std::erase_if(requests, [](const sim::JournalEntry& e) { return e.kind != sim::JournalKind::kRequest; });
    return requests;
  }

 private:
  void Ready() {
    if (ready_at_) return;
    ready_at_ = Clock::now();
    if (on_first_ready) on_first_ready();
  }

  MessageLoop& loop_;
  const std::uint16_t product_;
  sim::InProcessSimulation simulation_{std::vector<sim::ProductIds>{}};
  sim::SimulatedDevice* device_ = nullptr;
  Clock::time_point journal_epoch_;
  std::set<pid_t> simulator_threads_;
  HeadlessRoster devices_;
  CCorvaneKeyboardDevice* keyboard_ = nullptr;
  std::optional<Clock::time_point> ready_at_;
};

// ---- 1. Connect-time read ----

void ConnectRead(MessageLoop& loop, std::uint16_t product, const char* link) {
  KeyboardScene scene(loop, product);
  if (!scene.Create() || !scene.Connect()) return;
  const std::vector<sim::JournalEntry> requests = scene.Requests();
  // The read begins a transaction and asks for the device information first;
  // it ends with the settings reads before the ready call.
  std::size_t first = 0;
  while (first + 1 < requests.size() &&
         !(requests[first].command == command::kBegin && requests[first + 1].command == command::kDeviceInfo))
    ++first;
  std::size_t last = first;
  for (std::size_t i = first; i < requests.size() && requests[i].time_ms <= scene.ready_ms(); ++i)
    if (requests[i].command == command::kReadParameters) last = i;
  if (first + 1 >= requests.size() || requests[last].command != command::kReadParameters) {
    std::printf("%-8s connect read not found in the journal\n", link);
    return;
  }
  const double time = scene.ready_ms() - requests[first].time_ms;
  const std::size_t packets = last - first + 1;
  const double minimum = static_cast<double>(packets) * kWireMsPerRequest;
  // The end of a transaction waits 10 ms before it is sent: part of the protocol, not of the wire.
  const double with_pause = minimum + kEndPauseMs;
  // What one exchange costs here, beside the wire's 2 ms.
  std::vector<double> spacing;
  for (std::size_t i = first + 1; i <= last; ++i) spacing.push_back(requests[i].time_ms - requests[i - 1].time_ms);
  std::nth_element(spacing.begin(), spacing.begin() + static_cast<std::ptrdiff_t>(spacing.size() / 2), spacing.end());
  std::printf(
      "%-8s connect read %.1f ms, %zu packets, wire minimum %.1f ms, ratio %.3f (goal <= 1.05: %s); "
      "%.3f counting the 10 ms pause before the end command; median request spacing %.2f ms, "
      "last request to ready %.1f ms\n",
      link, time, packets, minimum, time / minimum, Verdict(time / minimum <= 1.05), time / with_pause,
      spacing[spacing.size() / 2], scene.ready_ms() - requests[last].time_ms);
}

// ---- 2. UI responsiveness ----

void UiResponsiveness(MessageLoop& loop) {
  constexpr int kChanges = 100;
  KeyboardScene scene(loop, kReceiver);
  if (!scene.Create()) return;
  BlockingProbe probe(loop);
  int changes = 0;
  int answered = 0;
  double longest_change_ms = 0;
  TimerId changer = 0;
  // A brightness slider dragged across its steps, one step every 10 ms.
  scene.on_first_ready = [&] {
    changer = loop.StartTimer(10ms, [&] {
      const Clock::time_point start = Clock::now();
      CCorvaneKeyboardDevice& kb = scene.keyboard();
      LightSetting l = kb.profile().GetLight();
      l.light = static_cast<std::uint8_t>(changes % 5);
      kb.profile().SetLight(l);
      kb.LoadLighting();
      kb.WriteSettings(0, 0, [&answered](bool) { ++answered; });
      longest_change_ms = std::max(longest_change_ms, Ms(Clock::now() - start));
      if (++changes == kChanges) loop.StopTimer(changer);
    });
  };
  if (!scene.Connect()) return;
  if (!RunUntil(
          loop, [&] { return answered == kChanges; }, 10s))
    std::fprintf(stderr, "only %d of %d settings writes answered\n", answered, kChanges);
  probe.Stop();
  std::vector<double> record_times;
  for (const sim::JournalEntry& e : scene.Requests())
    if (e.command == command::kWriteParameters && e.address == 0) record_times.push_back(e.time_ms);
  const std::size_t records = record_times.size();
  const double record_spacing =
      records > 1 ? (record_times.back() - record_times.front()) / static_cast<double>(records - 1) : 0;
  const double p99 = probe.Percentile(0.99);
  const double max = probe.Percentile(1.0);
  std::printf(
      "ui loop  blocked p99 %.2f ms, max %.2f ms over %zu probes, longest change %.2f ms "
      "(goal p99 < 5 ms, max <= 16 ms: %s)\n",
      p99, max, probe.samples(), longest_change_ms, Verdict(p99 < 5 && max <= 16));
  std::printf(
      "ui loop  %d brightness changes, %zu settings records reached the device, one every %.1f ms "
      "(fewer than the changes: %s)\n",
      changes, records, record_spacing, Verdict(records < static_cast<std::size_t>(changes)));
}

// ---- 3. Host-driven lighting ----

void HostDrivenFrames(MessageLoop& loop, std::chrono::seconds span) {
  KeyboardScene scene(loop, kCabled);
  if (!scene.Create() || !scene.Connect()) return;
  CCorvaneKeyboardDevice& kb = scene.keyboard();
  const std::optional<std::uint8_t> mode = bench::ModeIndexOfCode(kb, keyboard::kHostModeA);
  if (!mode) {
    std::printf("frames   the keyboard has no host-driven mode\n");
    return;
  }
  LightSetting l = kb.profile().GetLight();
  l.select_item = *mode;
  kb.profile().SetLight(l);
  kb.LoadLighting();
  RunFor(loop, 500ms);  // the frame timer at its steady period

  auto frame_requests = [&scene] { return scene.journal().Summary().per_command[command::kLightingFrame]; };
  const std::size_t requests_before = frame_requests();
  const std::uint64_t replaced_before = kb.io().frames_replaced();
  const std::set<pid_t> io_threads = bench::ThreadsNamed("brontal-io");
  const double io_before = bench::ThreadCpuSeconds(io_threads);
  const double cpu_before = bench::CpuSeconds();
  const double simulator_before = scene.SimulatorCpuSeconds();
  const Clock::time_point wall_before = Clock::now();
  RunFor(loop, span);
  const double cpu = bench::CpuSeconds() - cpu_before;
  const double simulator_cpu = scene.SimulatorCpuSeconds() - simulator_before;
  const double io_cpu = bench::ThreadCpuSeconds(io_threads) - io_before;
  const double wall = Ms(Clock::now() - wall_before) / 1000;
  const std::size_t requests = frame_requests() - requests_before;
  const std::uint64_t replaced = kb.io().frames_replaced() - replaced_before;

  const std::size_t slot_count = kb.info().key_slot_count();
  const std::size_t chunk = kb.channel().chunk_size();
  const std::size_t packets = (slot_count * 3 + chunk - 1) / chunk;
  const double wire_fps = 1000.0 / (static_cast<double>(packets) * kWireMsPerRequest);
  const double timer_fps = 1000.0 / static_cast<double>(CDeviceOptionUI::kWiredFramePeriod.count());
  const double allowed = std::min(wire_fps, timer_fps);
  const double fps = static_cast<double>(requests) / static_cast<double>(packets) / wall;
  const double cpu_percent = 100.0 * cpu / wall;
  std::printf(
      "frames   %zu frames in %.2f s = %.1f/s (%zu slots, %zu packets a frame; wire allows %.1f/s, "
      "timer %.0f/s), ratio %.1f %% (goal >= 90 %%: %s), %llu replaced in the mailbox\n",
      requests / packets, wall, fps, slot_count, packets, wire_fps, timer_fps, 100.0 * fps / allowed,
      Verdict(fps / allowed >= 0.9), static_cast<unsigned long long>(replaced));
  std::printf(
      "frames   CPU of the I/O path (the device's I/O thread) %.2f %% of one core (goal < 2 %%: %s); "
      "the whole process %.2f %%, of it the in-process simulator's threads %.2f %%\n",
      100.0 * io_cpu / wall, Verdict(100.0 * io_cpu / wall < 2), cpu_percent, 100.0 * simulator_cpu / wall);
}

}  // namespace
}  // namespace brontal

int main(int argc, char** argv) {
  using namespace brontal;
  const std::chrono::seconds frames(argc > 1 ? std::atoi(argv[1]) : 5);
  return bench::RunScenario(argc, argv, [frames](MessageLoop& loop) {
    ConnectRead(loop, kCabled, "cable");
    ConnectRead(loop, kReceiver, "receiver");
    UiResponsiveness(loop);
    HostDrivenFrames(loop, frames);
  });
}
