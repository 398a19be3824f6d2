// brontal-driver: the desktop program.
#include <unistd.h>

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_messages.h"
#include "app/bus/local_bus.h"
#include "app/bus/single_instance_lock.h"
#include "app/control_registry.h"
#include "app/main_window.h"
#include "device_access/hid_backend.h"
#include "input_capture/input_capture.h"
#include "profiles/screen_size_setting.h"
#include "sdk_server/sdk_server_setting.h"
#include "sdk_server/sdk_service.h"
#include "support/debug_log.h"
#include "support/standard_output.h"
#include "support/user_folders.h"
#include "transport/in_process_simulation.h"
#include "ui/qt/logind_sleep_watch.h"
#include "ui/qt/qt_desktop_services.h"
#include "ui/qt/qt_message_loop.h"
#include "ui/qt/qt_view.h"
#include "ui/qt/window_input_forwarder.h"
#include "ui/toolkit/toolkit.h"

namespace {

struct Options {
  std::optional<std::vector<brontal::sim::ProductIds>> simulate;
  std::string screenshot;
  bool minimized = false;
  std::optional<std::uint16_t> sdk_port;  // --sdk-server given
  std::string sdk_address = "127.0.0.1";
};

constexpr const char* kUsage =
    "Usage: brontal-driver [--minimized] [--simulate [VID:PID,...]] [--screenshot FILE]\n\n"
    "Configures the supported keyboards, mice, mouse pad and headset.\n\n"
    "  --minimized               start in the tray (without a tray: minimised), as the session does\n"
    "  --simulate [VID:PID,...]  run on simulated devices (default: the 320f:5100 keyboard\n"
    "                            with its receiver 320f:5103, and the mouse 320f:2003)\n"
    "  --screenshot FILE         write a PNG of the main window once it shows, then quit\n"
    "  --sdk-server[=PORT]       let other lighting programs drive the devices over the\n"
    "                            OpenRGB SDK protocol (port 6742 by default; 0: any free port)\n"
    "  --sdk-address ADDRESS     the address it listens on (default 127.0.0.1, this computer only)\n"
    "  --help, --version\n\n"
    "BRONTAL_HID=sim:DIR uses the simulated bus of a running 'brontal-sim serve DIR'.\n"
    "BRONTAL_TRACE=FILE (or -) sends the debug log there.\n";

// 0 to go on, otherwise the exit status plus one.
int ParseOptions(const std::vector<std::string_view>& args, Options& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::cout << kUsage;
      return 1;
    }
    if (args[i] == "--version") {
      std::cout << "brontal-driver " BRONTAL_VERSION "\n";
      return 1;
    }
    if (args[i] == "--simulate") {
      options.simulate = brontal::sim::DefaultSimulatedProducts();
      if (i + 1 < args.size() && !args[i + 1].starts_with("-")) {
        std::string error;
        if (!brontal::sim::ParseProductList(args[++i], *options.simulate, error)) {
          std::cerr << "brontal-driver: --simulate: " << error << '\n';
          return 3;
        }
      }
    } else if (args[i] == "--sdk-server" || args[i].starts_with("--sdk-server=")) {
      const std::string_view port = args[i].substr(std::min(args[i].size(), sizeof "--sdk-server=" - 1));
      unsigned value = brontal::sdk::kDefaultPort;
      if (!port.empty() &&
          (std::from_chars(port.data(), port.data() + port.size(), value).ptr != port.data() + port.size() ||
           value > 0xFFFF)) {
        std::cerr << "brontal-driver: --sdk-server: '" << port << "' is not a port number\n";
        return 3;
      }
      options.sdk_port = static_cast<std::uint16_t>(value);
    } else if (args[i] == "--sdk-address" && i + 1 < args.size()) {
      options.sdk_address = args[++i];
    } else if (args[i] == "--minimized") {
      options.minimized = true;
    } else if (args[i] == "--screenshot" && i + 1 < args.size()) {
      options.screenshot = args[++i];
      if (options.screenshot.empty()) {
        std::cerr << "brontal-driver: --screenshot needs a file name\n";
        return 3;
      }
    } else {
      std::cerr << "brontal-driver: unexpected argument '" << args[i] << "'\n" << kUsage;
      return 3;
    }
  }
  return 0;
}

// The process's resident memory, from the kernel's status file.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// Since the kernel started the process (in clock ticks, so to 10 ms), loading included.
long MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));  // after the command name
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  double uptime = 0;
  std::ifstream("/proc/uptime") >> uptime;
  const double started = std::strtod(field.c_str(), nullptr) / static_cast<double>(sysconf(_SC_CLK_TCK));
  return static_cast<long>((uptime - started) * 1000);
}

// Qt ends the process on a fatal message (no display, no platform plugin);
// during start-up that becomes our own line on stderr and status 1, so that
// the desktop and scripts see why instead of a crash.
QtMessageHandler qt_default_messages = nullptr;
void FatalStartMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) return qt_default_messages(type, context, text);
  std::cerr << "brontal-driver: cannot start: " << text.toStdString() << std::endl;
  std::_Exit(1);
}

void LoadPrivateFonts() {
  for (const char* font : {"Font/Simplified_Chinese.ttf", "Font/Kaltor-Regular.otf", "Font/NotoSansThai-Regular.ttf",
                           "Font/NotoSansCJKtc-Regular.otf"}) {
    const std::filesystem::path path = brontal::ProgramFolder() / font;
    if (std::filesystem::exists(path)) QFontDatabase::addApplicationFont(QString::fromStdString(path.string()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brontal;
  Options options;
  if (const int done = ParseOptions(std::vector<std::string_view>(argv + 1, argv + argc), options))
    return StatusAfterOutput(done - 1, "brontal-driver");

  if (const std::optional<std::string> bad = HidBus::EnvironmentError()) {
    std::cerr << "brontal-driver: " << *bad << '\n';
    return 2;
  }
  qt_default_messages = qInstallMessageHandler(FatalStartMessages);
  QApplication application(argc, argv);
  qInstallMessageHandler(qt_default_messages);
  // The desktop entry's name: Wayland finds the icon and the entry by it.
  QGuiApplication::setDesktopFileName("brontal-driver");
  QGuiApplication::setWindowIcon(QIcon::fromTheme(
      "brontal-driver", QIcon(QString::fromStdString((ProgramFolder() / "skin" / "common/app_icon.png").string()))));
  application.setQuitOnLastWindowClosed(false);  // the window hides to the tray
  LoadPrivateFonts();
  const AppMessages messages = AppMessages::Register();
  Trace("软件标示：" + std::to_string(messages.application));

  const LocalBus bus;
  SingleInstanceLock lock;
  if (lock.Acquire() == InstanceLock::kHeldByAnother) {
    AskRunningInstanceToShow(bus, kApplicationName, kApplicationName);
    // A picture was asked for and none is made: the running one shows itself instead.
    if (!options.screenshot.empty()) {
      std::cerr << "brontal-driver: another instance runs; no screenshot written\n";
      return 1;
    }
    return 0;
  }

  QtMessageLoop loop;
  Toolkit toolkit(loop);
  toolkit.Resources().SetSkinFolder(ProgramFolder() / "skin");
  std::string error;
  if (!toolkit.Resources().LoadIndex("res.xml", error)) {
    std::cerr << "brontal-driver: cannot start: " << error << '\n';
    return 1;
  }
  RegisterProgramControls(toolkit.Factory());
  std::optional<sim::InProcessSimulation> simulation;
  if (options.simulate) simulation.emplace(*options.simulate);

  QtView view(toolkit);
  if (!view.ApplySkinStyleSheet(error)) Trace("skin: " + error);
  QtDesktopServices desktop(view);
  // The mouse's settings record carries the screen size; brontalctl sends what was stored here.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    if (pixels.width() > 0 && pixels.width() <= 0xFFFF && pixels.height() > 0 && pixels.height() <= 0xFFFF)
      WriteScreenSize({static_cast<std::uint16_t>(pixels.width()), static_cast<std::uint16_t>(pixels.height())});
  }
  CMainWnd main_window(toolkit, messages, desktop, bus);
  main_window.set_start_minimized(options.minimized);
  desktop.AttachTray(main_window);
  if (!main_window.Create(nullptr, std::string(kApplicationName), Rect{0, 0, 800, 572})) {
    std::cerr << "brontal-driver: cannot start: " << main_window.GetCreateError() << '\n';
    return 1;
  }
  main_window.CenterWindow();
  // The option starts the server whatever the settings window's switch says.
  if (options.sdk_port || sdk::ReadSdkServerSwitch()) {
    if (!main_window.sdk_service().Start({options.sdk_address, options.sdk_port.value_or(sdk::kDefaultPort)}, error))
      std::cerr << "brontal-driver: sdk server: " << error << '\n';
  }

  LogindSleepWatch sleep_watch(QDBusConnection::systemBus(), [&main_window](bool sleeping) {
    main_window.SendMessage(WindowMessage(kWmPowerBroadcast, sleeping ? kPbtSuspend : kPbtResume));
  });
  if (!sleep_watch.Start(error)) Trace("sleep and waking go unnoticed: " + error);

  // The window's own input, for recording where nothing system-wide may be read.
  static_assert(static_cast<int>(WindowInputForwarder::Button::kForward) == static_cast<int>(MouseButton::kForward));
  WindowInputForwarder own_input({[&main_window](std::uint32_t code, bool down, bool auto_repeat) {
                                    if (InputCapture* capture = main_window.input_capture())
                                      capture->OnWindowKey(code, down, auto_repeat);
                                  },
                                  [&main_window](WindowInputForwarder::Button button, bool down, int x, int y) {
                                    if (InputCapture* capture = main_window.input_capture())
                                      capture->OnWindowButton(static_cast<MouseButton>(button), down, Point{x, y});
                                  }});
  application.installEventFilter(&own_input);

  // One trace line when the window first shows with its devices: start-up time and memory.
  QTimer first_show;
  first_show.setInterval(5);
  QObject::connect(&first_show, &QTimer::timeout, [&] {
    if (!main_window.IsVisible()) return;
    first_show.stop();
    Trace("first shown after " + std::to_string(MillisecondsSinceProcessStart()) + " ms, resident " +
          std::to_string(ResidentKiB()) + " KiB");
  });
  first_show.start();

  QTimer screenshot;
  bool screenshot_saved = false;
  if (!options.screenshot.empty()) {
    // Once the window shows with its devices, let the layout settle, then save it and quit.
    screenshot.setInterval(50);
    QObject::connect(&screenshot, &QTimer::timeout, [&] {
      QWidget* widget = view.WidgetOf(main_window);
      if (!widget || !main_window.IsVisible()) return;
      screenshot.stop();
      QTimer::singleShot(400, [&, widget] {
        screenshot_saved = widget->grab().save(QString::fromStdString(options.screenshot), "PNG");
        if (!screenshot_saved) std::cerr << "brontal-driver: cannot write " << options.screenshot << '\n';
        main_window.PostMessage(WindowMessage(kWmDestroy));
      });
    });
    screenshot.start();
  }
  loop.Run();
  return options.screenshot.empty() || screenshot_saved ? 0 : 1;
}
