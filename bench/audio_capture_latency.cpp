// Scenario: brontal-audio as brontal-driver runs it, on a WAV file played at
// its own pace (the sound server's part, one fragment of about 21 ms, comes
// on top with a real recording). This program stands in for the driver's
// window on a bus of its own and hands the spectra, as the driver does, to
// a keyboard in the music mode on an in-process simulated bus. Prints
// brontal-audio's CPU as a share of one core while it sends spectra, and
// the time from a tone starting in the sound to (1) the first spectrum frame
// on the bus that shows it (the frame whose band level, as the driver
// reduces it, lights a keyboard's first row) and (2) the first 0x12 packet
// on the keyboard's wire that lights a key brighter than before.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_messages.h"
#include "app/audio_lighting.h"
#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "audio_capture/test_wav.h"
#include "audio_link/band_levels.h"
#include "audio_link/capture_link.h"
#include "bus_test_window.h"
#include "device_access/command_codes.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/keyboard/keyboard_wire.h"
#include "keyboard_mode_index.h"
#include "scenario_main.h"
#include "single_product.h"
#include "ui/toolkit/registered_messages.h"
#include "ui/toolkit/toolkit.h"
#include "ui_loop_probe.h"

extern char** environ;

namespace brontal {
namespace {

using namespace std::chrono_literals;
using bench::Clock;
using bench::Verdict;

constexpr unsigned kRate = 48000;
constexpr double kFirstTone = 1.0, kTonePeriod = 1.5, kToneLength = 0.5;  // seconds
constexpr int kTones = 12;
constexpr std::size_t kToneBand = 13;  // 1 kHz
// The band level that lights a keyboard's lowest row of a bar.
constexpr std::int32_t kShowingLevel = 667;
constexpr std::uint16_t kKeyboardVendor = 0x320F, kKeyboardProduct = 0x5100;

// Quiet, with a 1 kHz tone at -12 dB now and then.
std::vector<float> Sound() {
  const auto length = static_cast<std::size_t>((kFirstTone + kTones * kTonePeriod + 1) * kRate);
  const std::vector<float> tone = test::Tone(1000, 0.25, kRate, length);
  std::vector<float> sound(length, 0.0f);
  for (int k = 0; k < kTones; ++k) {
    const auto start = static_cast<std::size_t>((kFirstTone + k * kTonePeriod) * kRate);
    std::copy_n(tone.begin() + start, static_cast<std::size_t>(kToneLength * kRate), sound.begin() + start);
  }
  return sound;
}

// User and system CPU seconds of a process so far.
double ProcessCpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stod(field);  // utime, stime
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double Worst(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// One light-frame packet on the keyboard's wire.
struct FramePacket {
  Clock::time_point at;
  std::uint16_t address = 0;
  std::vector<std::uint8_t> colours;
};

// The frame packets the journal holds that came after `seen_ms`, which moves on.
void TakeFramePackets(const sim::CommandJournal& journal, double& seen_ms, std::vector<FramePacket>& packets) {
  for (const sim::JournalEntry& entry : journal.Entries()) {
    if (entry.time_ms <= seen_ms || entry.kind != sim::JournalKind::kRequest ||
        entry.command != command::kLightingFrame)
      continue;
    seen_ms = entry.time_ms;
    const auto at = journal.created() + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double, std::milli>(entry.time_ms));
    packets.push_back({at, entry.address, entry.payload});
  }
}

// Milliseconds from `start` to the first packet that lights any colour
// brighter than the packet before it at its place did. In the silence the
// keys only keep their background or fade, so a brighter one is the tone.
std::optional<double> FirstBrightening(const std::vector<FramePacket>& packets, Clock::time_point start) {
  std::map<std::uint16_t, const std::vector<std::uint8_t>*> previous;
  for (const FramePacket& packet : packets) {
    const auto before = previous.find(packet.address);
    if (packet.at >= start && before != previous.end() && before->second->size() == packet.colours.size() &&
        !std::ranges::equal(packet.colours, *before->second, std::less_equal<>()))
      return bench::Ms(packet.at - start);
    previous[packet.address] = &packet.colours;
  }
  return std::nullopt;
}

void Measure(MessageLoop& loop) {
  bench::SingleProduct<CCorvaneKeyboardDevice> keyboard(loop, kKeyboardVendor, kKeyboardProduct);
  if (!keyboard.Connect()) return;
  CCorvaneKeyboardDevice& kb = keyboard.product();
  const std::optional<std::uint8_t> music = bench::ModeIndexOfCode(kb, keyboard::kHostModeA);
  if (!music) {
    std::fprintf(stderr, "the keyboard has no music mode\n");
    return;
  }
  LightSetting light = kb.profile().GetLight();
  light.select_item = *music;
  kb.profile().SetLight(light);
  kb.LoadLighting();

  const LocalBus bus;
  AudioLighting lighting(keyboard.roster(), loop, bus);
  const std::filesystem::path wav = bus.Folder().parent_path() / "tones.wav";
  test::WriteBytes(wav, test::EncodeWav(Sound(), 1, kRate, test::WavEncoding::kFloat32));

  Toolkit toolkit(loop);
  testing::BusTestWindow driver(toolkit);
  if (!driver.Open(std::string(kApplicationName), {kWmCopyData})) {
    std::fprintf(stderr, "%s\n", driver.GetCreateError().c_str());
    return;
  }
  std::string error;
  const auto endpoint = BusEndpoint::Open(bus, std::string(kApplicationName), driver, error);
  if (!endpoint) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return;
  }
  // Arrival times of the spectra and the keyboard band level each makes.
  std::vector<std::pair<Clock::time_point, std::int32_t>> arrivals;
  audio_link::BandLevelReduction reduction;
  driver.answer = [&](const WindowMessage& m) -> LRESULT {
    lighting.OnCopyData(m);
    if (m.copy_kind != audio_link::kSpectrumKind) return 0;
    if (const auto spectrum = audio_link::DecodeSpectrum(m.copy_data))
      arrivals.emplace_back(Clock::now(), reduction.Next(*spectrum)[kToneBand]);
    return 0;
  };

  std::string program = BRONTAL_AUDIO, input = "--input", file = wav.string();
  char* argv[] = {program.data(), input.data(), file.data(), nullptr};
  pid_t pid = -1;
  if (::posix_spawn(&pid, BRONTAL_AUDIO, nullptr, nullptr, argv, environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", BRONTAL_AUDIO);
    return;
  }
  const auto command = [&](audio_link::CaptureCommand c, std::intptr_t l = 0) {
    return bus.PostTo(audio_link::kCaptureWindowName, WindowMessage(RegisterWindowMessage(kAudioCaptureCommandName),
                                                                    static_cast<std::uintptr_t>(c), l));
  };
  if (!bench::RunUntil(
          loop, [&] { return command(audio_link::CaptureCommand::kHello, ::getpid()); }, 10s)) {
    std::fprintf(stderr, "brontal-audio did not come onto the bus\n");
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return;
  }
  command(audio_link::CaptureCommand::kReset);
  command(audio_link::CaptureCommand::kReady);
  bench::RunUntil(
      loop, [] { return false; }, 2s);
  const double cpu_before = ProcessCpuSeconds(pid);
  const Clock::time_point on = Clock::now();
  command(audio_link::CaptureCommand::kCaptureOn);
  const auto span = std::chrono::duration<double>(kFirstTone + kTones * kTonePeriod);
  // The journal keeps a few seconds of the keyboard's wire: read it every second.
  std::vector<FramePacket> packets;
  double seen_ms = -1;
  sim::CommandJournal& journal = keyboard.simulated().Journal();
  const TimerId reading = loop.StartTimer(1s, [&] { TakeFramePackets(journal, seen_ms, packets); });
  bench::RunUntil(
      loop, [] { return false; }, std::chrono::duration_cast<std::chrono::milliseconds>(span));
  loop.StopTimer(reading);
  TakeFramePackets(journal, seen_ms, packets);
  const double wall = std::chrono::duration<double>(Clock::now() - on).count();
  const double cpu = (ProcessCpuSeconds(pid) - cpu_before) / wall;
  const std::size_t frames = arrivals.size();
  command(audio_link::CaptureCommand::kCaptureOff);
  command(audio_link::CaptureCommand::kQuit);
  int status = -1;
  for (int i = 0; i < 300 && ::waitpid(pid, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(10ms);

  std::vector<double> to_bus, to_keyboard;
  for (int k = 0; k < kTones; ++k) {
    const Clock::time_point start =
        on + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kFirstTone + k * kTonePeriod));
    const auto shown = std::find_if(arrivals.begin(), arrivals.end(),
                                    [&](const auto& a) { return a.first >= start && a.second >= kShowingLevel; });
    if (shown != arrivals.end()) to_bus.push_back(bench::Ms(shown->first - start));
    if (const std::optional<double> lit = FirstBrightening(packets, start)) to_keyboard.push_back(*lit);
  }
  std::printf(
      "audio capture  brontal-audio on a WAV file for %.1f s: %.1f spectra a second on the bus, %.2f %% of one core "
      "(goal < 3 %%: %s; %.3f s of CPU before the capture, at start-up); exit status %d\n",
      wall, static_cast<double>(frames) / wall, 100 * cpu, Verdict(cpu < 0.03), cpu_before,
      WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  std::printf(
      "audio capture  a tone to the first spectrum frame on the bus that shows it: median %.1f ms, worst %.1f ms "
      "over %zu of %d tones\n",
      Median(to_bus), Worst(to_bus), to_bus.size(), kTones);
  std::printf(
      "audio capture  a tone to the first 0x12 packet that shows it on the keyboard (music visualisation %d, %zu "
      "frame packets): median %.1f ms, worst %.1f ms over %zu of %d tones (goal < 100 ms: %s)\n",
      kb.profile().GetAudioLight().audio_mode, packets.size(), Median(to_keyboard), Worst(to_keyboard),
      to_keyboard.size(), kTones, Verdict(to_keyboard.size() == kTones && Worst(to_keyboard) < 100));
}

}  // namespace
}  // namespace brontal

int main(int argc, char** argv) {
  return brontal::bench::RunScenario(argc, argv, [](brontal::MessageLoop& loop) { brontal::Measure(loop); });
}
