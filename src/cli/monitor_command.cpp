#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <thread>

#include "cli/brontalctl.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "devices/headless_roster.h"
#include "support/hex_text.h"
#include "support/user_folders.h"
#include "ui/qt/qt_message_loop.h"

namespace brontal {
namespace {

void Print(const RosterEvent& e, bool json, std::ostream& out) {
  if (json) {
    Json::Value v;
    v["event"] = RosterEventName(e.kind);
    if (e.slot) v["slot"] = static_cast<Json::UInt>(*e.slot);
    v["vendor_id"] = e.row.vendor_id;
    v["product_id"] = e.row.product_id;
    v["type"] = static_cast<int>(e.row.type);
    v["role"] = static_cast<int>(e.row.role);
    if (e.kind == RosterEvent::Kind::kLink) {
      v["link"] = e.receiver_link ? "receiver" : "wired";
      v["chunk"] = e.chunk_size;
    }
    WriteJson(out, v, true);
    return;
  }
  out << RosterEventName(e.kind);
  if (e.slot) out << "  slot " << *e.slot;
  out << "  " << HexPair(e.row.vendor_id, e.row.product_id) << "  type " << static_cast<int>(e.row.type) << "  role "
      << static_cast<int>(e.row.role);
  if (e.kind == RosterEvent::Kind::kLink)
    out << "  " << (e.receiver_link ? "receiver" : "wired") << "  chunk " << int{e.chunk_size};
  out << std::endl;
}

// The timer counts milliseconds in an int.
constexpr unsigned kMaxSeconds = 2'147'483;

bool ParseSeconds(std::string_view text, unsigned& seconds) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  return ec == std::errc{} && end == text.data() + text.size() && seconds > 0 && seconds <= kMaxSeconds;
}

}  // namespace

int MonitorCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  bool json = false;
  unsigned seconds = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--for" && i + 1 < args.size()) {
      if (!ParseSeconds(args[i + 1], seconds)) {
        err << "brontalctl: monitor: --for takes a number of seconds from 1 to " << kMaxSeconds << ", not '"
            << args[i + 1] << "'\n";
        return kExitUsage;
      }
      ++i;
    } else {
      err << "brontalctl: monitor: unexpected argument '" << args[i] << "' (monitor [--for SECONDS] [--json])\n";
      return kExitUsage;
    }
  }

  QtMessageLoop loop;
  HeadlessRoster devices(loop, ProgramFolder() / "skin");
  std::string error;
  if (!devices.Create(error)) {
    err << "brontalctl: monitor: " << error << '\n';
    return kExitFailure;
  }
  devices.roster().listener = [&](const RosterEvent& e) { Print(e, json, out); };

  // Ctrl+C and SIGTERM end the run cleanly: a thread waits for them and asks the loop to quit.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::jthread signal_waiter([&loop, signals] {
    int received = 0;
    sigwait(&signals, &received);
    loop.Post([&loop] { loop.Quit(0); });
  });
  if (seconds > 0) loop.StartTimer(std::chrono::seconds(seconds), [&loop] { loop.Quit(0); });

  devices.Start();
  loop.Run();
  devices.discovery().Stop();
  // Wake the signal waiter when the run ended by itself.
  pthread_kill(signal_waiter.native_handle(), SIGTERM);
  return kExitOk;
}

}  // namespace brontal
