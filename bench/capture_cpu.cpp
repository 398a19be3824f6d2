// Scenario: a mouse reporting at 8 kHz streams into the evdev capture for a few
// seconds (movement in every report, a click ten times a second) while a
// recording runs. Prints the CPU time of the capture path, as a percentage of
// one core: the capture thread's reading and translation, the posting, and the
// recorder on the UI loop. The stream comes through a FIFO, where movement
// cannot be masked in the kernel as it is on an event node, so every report
// wakes the capture: the worst case.
#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "input_capture/evdev_input_capture.h"
#include "input_capture/macro_recorder.h"
#include "scenario_support.h"
#include "support/unique_fd.h"
#include "ui/qt/qt_message_loop.h"

namespace {

using namespace brontal;

constexpr long kReportNanoseconds = 125'000;  // 8 kHz
constexpr std::uint64_t kReportsPerClick = 800;

input_event Event(std::uint16_t type, std::uint16_t code, std::int32_t value) {
  input_event event{};
  event.type = type;
  event.code = code;
  event.value = value;
  return event;
}

// Report n of the stream: a movement, with the left button going down at the
// start of each click period and up halfway through it.
void AppendReport(std::uint64_t n, std::vector<input_event>& out) {
  out.push_back(Event(EV_REL, REL_X, n % 2 == 0 ? 1 : -1));
  out.push_back(Event(EV_REL, REL_Y, 1));
  if (n % kReportsPerClick == 0) out.push_back(Event(EV_KEY, BTN_LEFT, 1));
  if (n % kReportsPerClick == kReportsPerClick / 2) out.push_back(Event(EV_KEY, BTN_LEFT, 0));
  out.push_back(Event(EV_SYN, SYN_REPORT, 0));
}

// Writes each report when it falls due, as the mouse would send it.
std::uint64_t WriteMouseStream(int fd, std::chrono::seconds span) {
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  const std::uint64_t total = static_cast<std::uint64_t>(span.count()) * 1'000'000'000 / kReportNanoseconds;
  std::vector<input_event> batch;
  for (std::uint64_t n = 0; n < total; ++n) {
    next.tv_nsec += kReportNanoseconds;
    if (next.tv_nsec >= 1'000'000'000) {
      next.tv_nsec -= 1'000'000'000;
      ++next.tv_sec;
    }
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    batch.clear();
    AppendReport(n, batch);
    if (::write(fd, batch.data(), batch.size() * sizeof(input_event)) < 0) return n;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const auto span = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 5);
  test::TemporaryFolder folder("brontal_capture_cpu");
  const std::filesystem::path node = folder.path() / "event0";
  if (::mkfifo(node.c_str(), 0600) != 0) {
    std::perror("mkfifo");
    return 1;
  }
  const UniqueFd writer(::open(node.c_str(), O_RDWR | O_CLOEXEC));

  QtMessageLoop loop;
  EvdevInputCapture capture(loop, [node] { return std::vector{node}; });
  MacroRecorder recorder;
  MacroEventList list;
  std::size_t delivered = 0;
  recorder.Start(RecordingKind::kAppend, DelayMode::kRecorded, 0, CaptureClock::now());
  std::string reason;
  if (!capture.Start(
          [&](const CapturedInput& input) {
            ++delivered;
            recorder.Record(input, list);
          },
          reason)) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    return 1;
  }

  const std::set<pid_t> capture_thread = bench::ThreadsNamed("brontal-evdev");
  const std::set<pid_t> loop_thread = {::gettid()};
  const double capture_before = bench::ThreadCpuSeconds(capture_thread);
  const double loop_before = bench::ThreadCpuSeconds(loop_thread);
  const auto wall_before = std::chrono::steady_clock::now();
  std::atomic<std::uint64_t> reports{0};
  std::thread mouse([&] {
    reports = WriteMouseStream(writer.get(), span);
    // Whatever is still in the FIFO is read before the loop ends.
    loop.Post([&loop] { loop.StartTimer(std::chrono::milliseconds(50), [&loop] { loop.Quit(0); }); });
  });
  loop.Run();
  mouse.join();
  const double capture_cpu = bench::ThreadCpuSeconds(capture_thread) - capture_before;
  const double loop_cpu = bench::ThreadCpuSeconds(loop_thread) - loop_before;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
  capture.Stop();
  std::printf(
      "mouse stream: %llu reports in %.2f s (%.0f per second), %zu buttons delivered, %zu rows recorded; "
      "capture path CPU %.3f s (capture thread %.3f s, UI loop %.3f s) = %.2f %% of one core\n",
      static_cast<unsigned long long>(reports.load()), wall, static_cast<double>(reports.load()) / wall, delivered,
      list.events.size(), capture_cpu + loop_cpu, capture_cpu, loop_cpu, 100.0 * (capture_cpu + loop_cpu) / wall);
  return 0;
}
