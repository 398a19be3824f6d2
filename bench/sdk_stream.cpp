// Scenario: an SDK client streams per-key colours to the keyboard in Direct
// at 30 updates a second, over loopback to the program's SDK server. Prints
// the program's CPU (the simulator's and the client's threads apart) as a
// share of one core, first with the client connected but silent, then
// streaming, and how long an update takes from the client's send to the
// first keyboard frame on the wire that carries it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <set>
#include <thread>

#include "device_access/command_codes.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "scenario_main.h"
#include "sdk_server/packet_reader.h"
#include "sdk_server/sdk_service.h"
#include "single_product.h"
#include "support/unique_fd.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using bench::Clock;
using bench::Verdict;

constexpr std::uint16_t kVendor = 0x320F;
constexpr std::uint16_t kProduct = 0x5100;
constexpr auto kUpdatePeriod = std::chrono::microseconds(1000000 / 30);
constexpr auto kCpuSpan = 10s;
constexpr auto kLatencySpan = 3s;

struct SentUpdate {
  Clock::time_point at;
  std::uint8_t red;
};

// The client: its own thread, its own socket, as another program would be.
class StreamingClient {
 public:
  StreamingClient(std::uint16_t port, std::size_t leds) : port_(port), leds_(leds) {}
  ~StreamingClient() { Stop(); }

  void Start() {
    thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
  }
  void Stop() {
    if (thread_.joinable()) {
      thread_.request_stop();
      thread_.join();
    }
  }
  pid_t thread_id() const { return thread_id_; }
  // A paused client stays connected and sends nothing.
  void set_paused(bool paused) { paused_ = paused; }
  std::vector<SentUpdate> TakeSent() {
    std::lock_guard lock(mutex_);
    return std::exchange(sent_, {});
  }

 private:
  void Run(std::stop_token stop) {
    thread_id_ = ::gettid();
    UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
    Send(socket, sdk::EncodePacket(0, sdk::PacketId::kSetCustomMode));
    Clock::time_point next = Clock::now();
    for (std::uint32_t k = 0; !stop.stop_requested(); ++k) {
      next += kUpdatePeriod;
      if (paused_) {
        std::this_thread::sleep_until(next);
        continue;
      }
      // Every key one colour, a different red each update (1..255 stay apart on the wire).
      const auto red = static_cast<std::uint8_t>(16 + k % 200);
      sdk::ByteWriter data;
      data.U32(static_cast<std::uint32_t>(6 + 4 * leds_));
      data.Count(leds_);
      for (std::size_t i = 0; i < leds_; ++i) data.Colour({red, 64, 128});
      const std::vector<std::uint8_t> bytes = data.Take();
      const Clock::time_point at = Clock::now();
      Send(socket, sdk::EncodePacket(0, sdk::PacketId::kUpdateLeds, bytes));
      {
        std::lock_guard lock(mutex_);
        sent_.push_back({at, red});
      }
      std::this_thread::sleep_until(next);
    }
  }
  static void Send(const UniqueFd& socket, const std::vector<std::uint8_t>& bytes) {
    [[maybe_unused]] const ssize_t n = ::send(socket.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }

  const std::uint16_t port_;
  const std::size_t leds_;
  std::atomic<pid_t> thread_id_{0};
  std::atomic<bool> paused_{false};
  std::mutex mutex_;
  std::vector<SentUpdate> sent_;
  std::jthread thread_;
};

// The device shows a colour at full level as value × 255 / 256.
std::uint8_t OnWire(std::uint8_t value) { return static_cast<std::uint8_t>(value * 255 / 256); }

// When the first frame packet carrying the update's colour reached the keyboard.
std::optional<Clock::time_point> FrameTime(const std::vector<sim::JournalEntry>& entries, Clock::time_point created,
                                           const SentUpdate& update) {
  const std::array<std::uint8_t, 3> triple{OnWire(update.red), OnWire(64), OnWire(128)};
  for (const sim::JournalEntry& entry : entries) {
    if (entry.command != command::kLightingFrame) continue;
    const Clock::time_point at =
        created + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(entry.time_ms));
    if (at < update.at) continue;
    for (std::size_t p = 0; p + 3 <= entry.payload.size(); ++p)
      if ((entry.address + p) % 3 == 0 && std::equal(triple.begin(), triple.end(), entry.payload.begin() + p))
        return at;
  }
  return std::nullopt;
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(share * (values.size() - 1) + 0.5))];
}

void StreamToKeyboard(MessageLoop& loop) {
  bench::SingleProduct<CCorvaneKeyboardDevice> scene(loop, kVendor, kProduct);
  if (!scene.Connect()) return;
  sim::SimulatedDevice& device = scene.simulated();
  sdk::SdkService service(loop, scene.roster());
  std::string error;
  if (!service.Start({"127.0.0.1", 0}, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return;
  }
  const std::size_t leds = service.controllers().Describe(0)->leds.size();
  const std::set<pid_t> before_client = bench::ThreadIds();
  StreamingClient client(service.port(), leds);
  client.Start();
  // Into Direct (the settings write) and the stream settled.
  bench::RunUntil(
      loop, [] { return false; }, 2s);
  if (!service.controllers().InDirect(scene.product())) {
    std::fprintf(stderr, "the keyboard did not enter Direct\n");
    return;
  }
  std::set<pid_t> program;
  std::ranges::set_difference(before_client, scene.simulator_threads(), std::inserter(program, program.end()));
  const auto run_for = [&loop](std::chrono::milliseconds span) {
    // One timer ends the span: RunUntil's own polling would be measured too.
    const TimerId end = loop.StartTimer(span, [&loop] { loop.Exit(0); });
    loop.Run();
    loop.StopTimer(end);
  };

  struct Span {
    double wall, cpu, simulator_cpu, client_cpu, rate;
  };
  const auto measure = [&] {
    const double cpu_before = bench::ThreadCpuSeconds(program);
    const double simulator_before = bench::ThreadCpuSeconds(scene.simulator_threads());
    const double client_before = bench::ThreadCpuSeconds({client.thread_id()});
    const Clock::time_point start = Clock::now();
    client.TakeSent();
    run_for(kCpuSpan);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return Span{wall, (bench::ThreadCpuSeconds(program) - cpu_before) / wall,
                (bench::ThreadCpuSeconds(scene.simulator_threads()) - simulator_before) / wall,
                (bench::ThreadCpuSeconds({client.thread_id()}) - client_before) / wall,
                static_cast<double>(client.TakeSent().size()) / wall};
  };
  // The keyboard in Direct with the client silent first: what the frames the
  // host sends anyway cost, apart from the client's updates.
  client.set_paused(true);
  const Span quiet = measure();
  client.set_paused(false);
  const Span streaming = measure();

  // The journal keeps a few seconds of frames: the latency has a span of its own.
  device.Journal().Clear();
  client.TakeSent();
  run_for(kLatencySpan);
  const std::vector<SentUpdate> sent = client.TakeSent();
  client.Stop();
  bench::RunUntil(
      loop, [] { return false; }, 200ms);
  const std::vector<sim::JournalEntry> entries = device.Journal().Entries();
  std::vector<double> latencies;
  std::size_t unseen = 0;
  // The last updates may still be on their way when the span ends.
  for (std::size_t i = 0; i + 3 < sent.size(); ++i) {
    if (const auto at = FrameTime(entries, device.Journal().created(), sent[i]))
      latencies.push_back(std::chrono::duration<double, std::milli>(*at - sent[i].at).count());
    else
      ++unseen;
  }
  const double p95 = Percentile(latencies, 0.95);
  std::printf(
      "sdk stream  %zu keys of the keyboard in Direct, %.0f s each: with the client silent the program takes %.2f %% "
      "of one core; with %.1f updates a second from the client %.2f %% (goal < 3 %%: %s), so the updates cost "
      "%.2f %%; the simulator's threads %.2f %%, the client's %.2f %% more; update to frame on the wire over %zu "
      "updates: median %.1f ms, p95 %.1f ms, max %.1f ms (goal < 40 ms: %s), %zu never seen\n",
      leds, quiet.wall, 100 * quiet.cpu, streaming.rate, 100 * streaming.cpu, Verdict(streaming.cpu < 0.03),
      100 * (streaming.cpu - quiet.cpu), 100 * streaming.simulator_cpu, 100 * streaming.client_cpu, latencies.size(),
      Percentile(latencies, 0.5), p95, Percentile(latencies, 1.0),
      Verdict(!latencies.empty() && p95 < 40 && unseen == 0), unseen);
}

}  // namespace
}  // namespace brontal

int main(int argc, char** argv) {
  return brontal::bench::RunScenario(argc, argv, [](brontal::MessageLoop& loop) { brontal::StreamToKeyboard(loop); });
}
