#include "input_capture/x11_input_capture.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <poll.h>
#include <pthread.h>

#include <array>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

#include "input_capture/evdev_key_table.h"

namespace brontal {
namespace {

// X11 numbers the buttons 1 left, 2 middle, 3 right, 4-7 the wheels, then
// the side buttons back and forward.
std::optional<MouseButton> ButtonForX11Button(int button) {
  switch (button) {
    case 1: return MouseButton::kLeft;
    case 2: return MouseButton::kMiddle;
    case 3: return MouseButton::kRight;
    case 8: return MouseButton::kBack;
    case 9: return MouseButton::kForward;
    default: return std::nullopt;
  }
}

// X11 keycodes run from 8 to 255.
using HeldKeys = std::bitset<256>;

// The server marks its own auto-repeat, but a press of a key already down
// (as XTEST sends it) comes unmarked: both are repeats.
std::optional<CapturedEvent> Translate(const XIRawEvent& raw, HeldKeys& held) {
  switch (raw.evtype) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease: {
      const bool down = raw.evtype == XI_RawKeyPress;
      if (raw.detail < static_cast<int>(kXkbKeycodeOffset) || raw.detail >= static_cast<int>(held.size()))
        return std::nullopt;
      const auto keycode = static_cast<std::size_t>(raw.detail);
      if (down && ((raw.flags & XIKeyRepeat) != 0 || held.test(keycode))) return std::nullopt;
      held.set(keycode, down);
      const std::optional<ScanCode> key = ScanCodeForEvdevKey(static_cast<std::uint32_t>(keycode) - kXkbKeycodeOffset);
      if (!key) return std::nullopt;
      return CapturedKey{.key = *key, .down = down};
    }
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
      const std::optional<MouseButton> button = ButtonForX11Button(raw.detail);
      if (!button) return std::nullopt;
      return CapturedButton{.button = *button, .down = raw.evtype == XI_RawButtonPress, .in_window = std::nullopt};
    }
    default: return std::nullopt;
  }
}

// Xlib's answer to a broken connection is to end the program, whichever
// connection it was. Ours are left to their exit handler instead; any other
// (the toolkit's) keeps the handler it had.
class BrokenConnections {
 public:
  static void Adopt(Display* display) {
    static std::once_flag installed;
    std::call_once(installed, [] { previous_ = XSetIOErrorHandler(OnBroken); });
    std::scoped_lock lock(mutex_);
    ours_.insert(display);
  }

  static void Release(Display* display) {
    std::scoped_lock lock(mutex_);
    ours_.erase(display);
  }

 private:
  static int OnBroken(Display* display) {
    {
      std::scoped_lock lock(mutex_);
      if (ours_.contains(display)) return 0;
    }
    return previous_ != nullptr ? previous_(display) : 0;
  }

  static inline std::mutex mutex_;
  static inline std::set<Display*> ours_;
  static inline XIOErrorHandler previous_ = nullptr;
};

}  // namespace

struct X11InputCapture::Connection {
  Display* display = nullptr;
  int xinput_opcode = 0;
  // Set from Xlib's handler, on the capture thread, when the server is gone.
  bool lost = false;
  HeldKeys held;  // capture thread

  ~Connection() { Close(); }

  void Close() {
    if (display == nullptr) return;
    XCloseDisplay(display);
    BrokenConnections::Release(display);
    display = nullptr;
  }

  bool Open(const std::string& name, std::string& reason) {
    display = XOpenDisplay(name.c_str());
    if (display == nullptr) {
      reason = "cannot connect to the X display \"" + name + "\"";
      return false;
    }
    BrokenConnections::Adopt(display);
    XSetIOErrorExitHandler(
        display, [](Display*, void* self) { static_cast<Connection*>(self)->lost = true; }, this);
    int first_event = 0, first_error = 0;
    int major = 2, minor = 2;  // from 2.1 raw events arrive during grabs too
    if (!XQueryExtension(display, "XInputExtension", &xinput_opcode, &first_event, &first_error) ||
        XIQueryVersion(display, &major, &minor) != Success) {
      reason = "the X display \"" + name + "\" has no XInput 2";
      return false;
    }
    // Raw events go to the root window only; masters report each input once.
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    for (const int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease})
      XISetMask(bits.data(), type);
    XIEventMask mask{.deviceid = XIAllMasterDevices, .mask_len = static_cast<int>(bits.size()), .mask = bits.data()};
    XISelectEvents(display, XDefaultRootWindow(display), &mask, 1);
    XSync(display, False);
    return true;
  }

  void Handle(XEvent& event, const CaptureDelivery& delivery) {
    XGenericEventCookie& cookie = event.xcookie;
    if (cookie.type != GenericEvent || cookie.extension != xinput_opcode || !XGetEventData(display, &cookie)) return;
    if (std::optional<CapturedEvent> captured = Translate(*static_cast<const XIRawEvent*>(cookie.data), held))
      delivery.Post({.event = std::move(*captured), .time = CaptureClock::now()});
    XFreeEventData(display, &cookie);
  }

  // Closes the connection when done: after a broken one, Xlib's display lock
  // lets no thread but the one that saw the break take it again.
  void Run(const StopSignal& stop, const CaptureDelivery& delivery) {
    std::array<pollfd, 2> waits = {{{XConnectionNumber(display), POLLIN, 0}, {stop.fd(), POLLIN, 0}}};
    while (!lost && waits[1].revents == 0) {
      while (!lost && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        Handle(event, delivery);
      }
      if (!lost && ::poll(waits.data(), waits.size(), -1) < 0 && errno != EINTR) break;
    }
    Close();
  }
};

X11InputCapture::X11InputCapture(MessageLoop& loop, std::string display_name)
    : loop_(loop), display_name_(std::move(display_name)) {}

X11InputCapture::~X11InputCapture() { Stop(); }

bool X11InputCapture::Start(CaptureSink sink, std::string& reason) {
  Stop();
  auto connection = std::make_unique<Connection>();
  if (!connection->Open(display_name_, reason)) return false;
  Connection* reader = connection.get();
  if (!thread_.Start(
          loop_, std::move(sink), "brontal-x11in",
          [reader](const StopSignal& stop, const CaptureDelivery& delivery) { reader->Run(stop, delivery); }, reason))
    return false;
  connection_ = std::move(connection);
  return true;
}

void X11InputCapture::Stop() {
  thread_.Stop();
  connection_.reset();
}

}  // namespace brontal
