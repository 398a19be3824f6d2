// brontal-sim: the device simulator as a daemon, and the commands that plug,
// unplug and drive its products.
#include <signal.h>
#include <sys/signalfd.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "daemon/sim_daemon.h"
#include "support/hex_text.h"
#include "support/standard_output.h"
#include "support/unique_fd.h"
#include "transport/in_process_simulation.h"

namespace {

constexpr int kExitUsage = 2;

void PrintHelp(std::ostream& out) {
  out << "Usage: brontal-sim COMMAND DIR [ARGS]\n\n"
         "Simulates the supported devices on a bus that Brontal Driver reaches with\n"
         "BRONTAL_HID=sim:DIR (brontal-driver, brontalctl).\n\n"
         "Commands:\n"
         "  serve DIR                    run the simulated bus in DIR until Ctrl+C\n"
         "  serve --uhid DIR             the same, its products as kernel HID devices (hidraw nodes)\n"
         "                               controlled from DIR; needs /dev/uhid: root, or a udev rule\n"
         "                               giving you access to it\n"
         "  plug DIR VID:PID [--off]     plug a product (--off: a receiver whose device is switched off)\n"
         "  unplug DIR VID:PID           unplug a product\n"
         "  link DIR VID:PID on|off      switch the wireless device behind a receiver\n"
         "  event DIR VID:PID CODE       send a device event (hexadecimal, e.g. 0404)\n"
         "  status DIR [--json]          plugged products, device state and command journal\n"
         "  journal DIR VID:PID [--json] every report to and from the product's device, oldest first\n"
         "  latency DIR MICROSECONDS     each report's time on the wire, each way (1000 at start)\n\n"
         "Products (VID:PID in hexadecimal):";
  for (const brontal::sim::ProductSpec& p : brontal::sim::Products())
    out << ' ' << brontal::HexPair(p.vendor_id, p.product_id);
  out << "\n";
}

bool ValidProduct(std::string_view text) {
  std::vector<brontal::sim::ProductIds> products;
  std::string error;
  if (brontal::sim::ParseProductList(text, products, error) && products.size() == 1) return true;
  std::cerr << "brontal-sim: " << (error.empty() ? "one VID:PID expected" : error) << '\n';
  return false;
}

}  // namespace

static int RunSim(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp(std::cerr);
    return kExitUsage;
  }
  const std::string& command = args[0];
  const auto asks_help = [](const std::string& a) { return a == "--help" || a == "-h"; };
  if (command == "help" || std::any_of(args.begin(), args.end(), asks_help)) {
    PrintHelp(std::cout);
    return 0;
  }
  if (command == "--version") {
    std::cout << "brontal-sim " BRONTAL_VERSION "\n";
    return 0;
  }
  if (args.size() < 2) {
    std::cerr << "brontal-sim: " << command << " needs a DIR (see brontal-sim --help)\n";
    return kExitUsage;
  }
  const bool uhid = command == "serve" && args.size() == 3 && args[1] == "--uhid";
  const std::string& folder = uhid ? args[2] : args[1];
  if (command == "serve" && (args.size() == 2 || uhid)) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const brontal::UniqueFd stop(::signalfd(-1, &signals, SFD_CLOEXEC));
    return brontal::sim::ServeSimulatedBus(
        folder, stop.get(), std::cerr,
        uhid ? brontal::sim::BusTransport::kUhid : brontal::sim::BusTransport::kSocketFolder);
  }

  const bool known = (command == "plug" && (args.size() == 3 || (args.size() == 4 && args[3] == "--off"))) ||
                     (command == "unplug" && args.size() == 3) ||
                     (command == "link" && args.size() == 4 && (args[3] == "on" || args[3] == "off")) ||
                     (command == "event" && args.size() == 4) ||
                     (command == "status" && (args.size() == 2 || (args.size() == 3 && args[2] == "--json"))) ||
                     (command == "journal" && (args.size() == 3 || (args.size() == 4 && args[3] == "--json"))) ||
                     (command == "latency" && args.size() == 3);
  if (!known) {
    std::cerr << "brontal-sim: bad command line (see brontal-sim --help)\n";
    return kExitUsage;
  }
  if (command != "status" && command != "latency" && !ValidProduct(args[2])) return kExitUsage;

  std::string line = command;
  for (std::size_t i = 2; i < args.size(); ++i) line += " " + args[i];
  bool ok = false;
  std::string reply;
  if (!brontal::sim::SendControlCommand(folder, line, ok, reply)) {
    std::cerr << "brontal-sim: " << reply << '\n';
    return 1;
  }
  (ok ? std::cout : std::cerr) << (ok ? "" : "brontal-sim: ") << reply << (ok || reply.ends_with('\n') ? "" : "\n");
  return ok ? 0 : 1;
}

int main(int argc, char** argv) { return brontal::StatusAfterOutput(RunSim(argc, argv), "brontal-sim"); }
