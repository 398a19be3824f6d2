// The desktop program as a user meets it: on a virtual X display, on the
// brontal-sim daemon's bus, driven with xdotool.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <unordered_set>

#include "e2e/child_process.h"
#include "e2e/virtual_display.h"

namespace brontal::e2e {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr milliseconds kStartLimit{10000};
constexpr milliseconds kCommandLimit{5000};
constexpr milliseconds kSecondStartLimit{3000};
constexpr char kTitle[] = "^Brontal Driver$";
constexpr char kKeyboard[] = "320f:5100";
constexpr char kMouse[] = "320f:2003";
// The close button, from the window's top-right corner (800 wide, 40 high title bar).
constexpr int kCloseX = 800 - 22, kCloseY = 20;

using Entries = std::multiset<std::string>;

// The selector entries of the last "selector:" line the program traced.
Entries TracedSelector(const fs::path& trace) {
  std::ifstream in(trace);
  std::string last;
  for (std::string line; std::getline(in, line);)
    if (line.starts_with("selector:")) last = line;
  std::istringstream words(last.substr(std::min(last.size(), sizeof "selector:" - 1)));
  Entries entries;
  for (std::string word; words >> word;) entries.insert(word);
  return entries;
}

fs::path PrivateFolder(const fs::path& path) {
  fs::create_directories(path);
  ::chmod(path.c_str(), 0700);
  return path;
}

class BrontalDriverOnXvfb : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/brontal-e2e-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    root_ = folder;
    sim_ = root_ / "sim";
    environment_ = {{"HOME", PrivateFolder(root_ / "home")},
                    {"XDG_RUNTIME_DIR", PrivateFolder(root_ / "run")},
                    {"XDG_CONFIG_HOME", ""},
                    {"XDG_DATA_HOME", ""},
                    {"XDG_STATE_HOME", ""},
                    {"XDG_CACHE_HOME", ""},
                    {"XAUTHORITY", ""},
                    // No desktop's session bus: its tray would make the results depend on the host.
                    {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (root_ / "no-bus").string()},
                    {"QT_QPA_PLATFORM", "xcb"},
                    {"BRONTAL_HID", "sim:" + sim_.string()},
                    {"BRONTAL_TRACE", (root_ / "driver.trace").string()}};
    StartDisplay();
    ASSERT_FALSE(HasFatalFailure());
    Start({BRONTAL_SIM, "serve", sim_}, "sim");
    ASSERT_TRUE(WaitUntil(
        [&] {
          return Command({BRONTAL_SIM, "status", sim_}) == 0;
        },
        kStartLimit))
        << "brontal-sim serve did not come up";
  }

  void TearDown() override {
    while (!processes_.empty()) processes_.pop_back();
    display_.reset();  // the display goes last
    if (HasFailure()) PrintLogs();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // What the programs printed and traced, to tell why a run failed.
  void PrintLogs() const {
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(root_, ignored)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path());
      std::cerr << "--- " << entry.path().filename().string() << "\n" << in.rdbuf() << "\n";
    }
  }

  ChildProcess& Start(const std::vector<std::string>& argv, const std::string& log, const Environment& changes = {},
                      int pass_fd = -1) {
    Environment env = environment_;
    for (const auto& [name, value] : changes) env[name] = value;
    processes_.push_back(std::make_unique<ChildProcess>(argv, env, root_ / (log + ".log"), pass_fd));
    return *processes_.back();
  }

  int Command(const std::vector<std::string>& argv, std::string* output = nullptr) {
    return RunCommand(argv, environment_, kCommandLimit, output);
  }

  void StartDisplay() {
    std::string error;
    display_ = VirtualDisplay::Start({"-screen", "0", "1280x800x24"}, root_ / "xvfb.log", error);
    ASSERT_TRUE(display_) << error << " (installed by scripts/deps)";
    environment_["DISPLAY"] = display_->name();
  }

  // Waits until the tray host's panel shows; it owns the tray selection by then.
  void StartTrayHost() {
    Start({"trayer", "--edge", "bottom", "--align", "right"}, "trayer");
    ASSERT_TRUE(WaitUntil(
        [&] {
          return Command({"xdotool", "search", "--onlyvisible", "--class", "trayer"}) == 0;
        },
        kStartLimit))
        << "trayer did not come up (installed by scripts/deps)";
  }

  // The command codes of the requests the product received, oldest first.
  std::vector<std::string> JournalCommands(const std::string& product) {
    std::string output;
    EXPECT_EQ(Command({BRONTAL_SIM, "journal", sim_, product}, &output), 0);
    std::istringstream lines(output);
    std::vector<std::string> commands;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      std::vector<std::string> w;
      for (std::string word; words >> word;) w.push_back(word);
      // "T ms request 04 CK CK CMD ..."
      if (w.size() > 6 && w[2] == "request") commands.push_back(w[6]);
    }
    return commands;
  }

  void Plug(const std::string& product) { ASSERT_EQ(Command({BRONTAL_SIM, "plug", sim_, product}), 0) << product; }

  ChildProcess& StartDriver() { return Start({BRONTAL_DRIVER}, "driver"); }

  // The ids of the main windows that are mapped.
  std::vector<std::string> VisibleWindows() {
    std::string output;
    Command({"xdotool", "search", "--onlyvisible", "--name", kTitle}, &output);
    std::istringstream lines(output);
    std::vector<std::string> ids;
    for (std::string id; lines >> id;) ids.push_back(id);
    return ids;
  }

  bool WaitForWindow(bool shown, milliseconds limit = kStartLimit) {
    return WaitUntil([&] { return VisibleWindows().empty() != shown; }, limit);
  }

  Entries Selector() const { return TracedSelector(root_ / "driver.trace"); }

  bool WaitForSelector(const Entries& expected) {
    return WaitUntil([&] { return Selector() == expected; }, kStartLimit);
  }

  void ClickClose() {
    const std::vector<std::string> windows = VisibleWindows();
    ASSERT_EQ(windows.size(), 1u);
    ASSERT_EQ(Command({"xdotool", "mousemove", "--window", windows[0], std::to_string(kCloseX), std::to_string(kCloseY),
                       "click", "1"}),
              0);
  }

  fs::path root_, sim_;
  Environment environment_;
  std::unique_ptr<VirtualDisplay> display_;
  std::vector<std::unique_ptr<ChildProcess>> processes_;
};

TEST_F(BrontalDriverOnXvfb, ShowsItsWindowWithAnEntryPerPluggedProduct) {
  Plug(kKeyboard);
  Plug(kMouse);
  StartDriver();
  ASSERT_TRUE(WaitForWindow(true)) << "no window titled Brontal Driver";
  EXPECT_TRUE(WaitForSelector({"keyboard", "mouse"})) << ::testing::PrintToString(Selector());

  // The picture comes from a start of its own, kept apart from the running one by its runtime folder.
  const fs::path picture = root_ / "window.png";
  ChildProcess& shot = Start({BRONTAL_DRIVER, "--screenshot", picture}, "screenshot",
                             {{"XDG_RUNTIME_DIR", PrivateFolder(root_ / "run-screenshot")},
                              {"BRONTAL_TRACE", (root_ / "screenshot.trace").string()}});
  ASSERT_EQ(shot.WaitExit(kStartLimit), 0);
  EXPECT_EQ(TracedSelector(root_ / "screenshot.trace"), Entries({"keyboard", "mouse"}));
  QImage image(QString::fromStdString(picture.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(800, 572));
  std::unordered_set<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 500u) << "the window looks blank";
}

TEST_F(BrontalDriverOnXvfb, AScreenshotThatIsNotWrittenIsAFailure) {
  Plug(kMouse);
  const Environment alone = {{"XDG_RUNTIME_DIR", PrivateFolder(root_ / "run-shot")}};
  EXPECT_EQ(Start({BRONTAL_DRIVER, "--screenshot", (root_ / "no-such-folder" / "x.png").string()}, "shot-folder", alone)
                .WaitExit(kStartLimit),
            1);
  EXPECT_EQ(Start({BRONTAL_DRIVER, "--screenshot", ""}, "shot-empty", alone).WaitExit(kStartLimit), 2);
  // Another instance runs: it shows itself, and no picture is made.
  StartDriver();
  ASSERT_TRUE(WaitForWindow(true));
  EXPECT_EQ(
      Start({BRONTAL_DRIVER, "--screenshot", (root_ / "second.png").string()}, "shot-second").WaitExit(kStartLimit), 1);
  EXPECT_FALSE(fs::exists(root_ / "second.png"));
}

// Careless environments: a bus that is no bus is refused before anything
// starts; a debug log that cannot be written is said once and the program runs.
TEST_F(BrontalDriverOnXvfb, ABadEnvironmentIsRefusedOrSaidOnce) {
  const Environment alone = {{"XDG_RUNTIME_DIR", PrivateFolder(root_ / "run-env")}};
  int run = 0;
  for (const char* bus : {"bogus", "sim", "sim:"}) {
    Environment bad = alone;
    bad["BRONTAL_HID"] = bus;
    EXPECT_EQ(Start({BRONTAL_DRIVER}, "bad-hid-" + std::to_string(++run), bad).WaitExit(kStartLimit), 2) << bus;
  }
  // Help that cannot be written is a failure too.
  EXPECT_EQ(RunCommand({"sh", "-c", std::string(BRONTAL_DRIVER) + " --help > /dev/full 2>/dev/null"}, environment_,
                       kCommandLimit),
            1);
  const fs::path fifo = root_ / "trace.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Plug(kMouse);
  Environment traced = alone;
  traced["BRONTAL_TRACE"] = fifo.string();
  ChildProcess& driver = Start({BRONTAL_DRIVER}, "fifo-trace", traced);
  EXPECT_TRUE(WaitForWindow(true)) << "a FIFO as the debug log kept the window from showing";
  EXPECT_TRUE(driver.Running());
  std::ifstream log(root_ / "fifo-trace.log");
  const std::string said((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  std::size_t count = 0;
  for (std::size_t at = said.find("BRONTAL_TRACE="); at != std::string::npos; at = said.find("BRONTAL_TRACE=", at + 1))
    ++count;
  EXPECT_EQ(count, 1u) << said;
}

// Careless files in the user's folder: the window still shows.
struct UserFileCase {
  const char* name;
  bool main_ini_is_fifo;  // else main.ini names a FIFO as the background
};
void PrintTo(const UserFileCase& c, std::ostream* out) { *out << c.name; }

class UserFiles : public BrontalDriverOnXvfb, public ::testing::WithParamInterface<UserFileCase> {};

TEST_P(UserFiles, AFifoWhereAFileShouldBeKeepsNothingFromShowing) {
  const fs::path data = root_ / "home" / ".local" / "share" / "Brontal Driver";
  fs::create_directories(data);
  const fs::path fifo = root_ / "image.fifo";
  if (GetParam().main_ini_is_fifo) {
    ASSERT_EQ(::mkfifo((data / "main.ini").c_str(), 0600), 0);
  } else {
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(data / "main.ini") << "[SKINIMAGE]\nFLAGS=0\nIMAGE=" << fifo.string() << "\n";
  }
  Plug(kMouse);
  ChildProcess& driver = StartDriver();
  EXPECT_TRUE(WaitForWindow(true)) << GetParam().name;
  EXPECT_TRUE(driver.Running());
}

INSTANTIATE_TEST_SUITE_P(Careless, UserFiles,
                         ::testing::Values(UserFileCase{"MainIniIsAFifo", true},
                                           UserFileCase{"BackgroundIsAFifo", false}),
                         [](const ::testing::TestParamInfo<UserFileCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(BrontalDriverOnXvfb, UnpluggingTheMouseTakesItsEntryAway) {
  Plug(kKeyboard);
  Plug(kMouse);
  StartDriver();
  ASSERT_TRUE(WaitForSelector({"keyboard", "mouse"}));
  ASSERT_EQ(Command({BRONTAL_SIM, "unplug", sim_, kMouse}), 0);
  EXPECT_TRUE(WaitForSelector({"keyboard"})) << ::testing::PrintToString(Selector());
  EXPECT_EQ(VisibleWindows().size(), 1u);
}

TEST_F(BrontalDriverOnXvfb, ASecondStartShowsTheHiddenWindowAgain) {
  StartTrayHost();
  Plug(kMouse);
  ChildProcess& first = StartDriver();
  ASSERT_TRUE(WaitForWindow(true));
  ClickClose();
  ASSERT_TRUE(WaitForWindow(false)) << "the close button did not hide the window";

  ChildProcess& second = Start({BRONTAL_DRIVER}, "second");
  EXPECT_EQ(second.WaitExit(kSecondStartLimit), 0);
  EXPECT_TRUE(WaitForWindow(true)) << "the first window was not shown again";
  EXPECT_TRUE(first.Running());
}

// As the session's autostart entry starts it: discovery's first pass leaves
// the window in the tray, and a second start brings it up.
TEST_F(BrontalDriverOnXvfb, AMinimizedStartStaysInTheTrayUntilASecondStart) {
  StartTrayHost();
  Plug(kMouse);
  ChildProcess& first = Start({BRONTAL_DRIVER, "--minimized"}, "driver");
  // Traced when discovery's first pass asks for the window ("软件标示 ID，0d0d").
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::ifstream trace(root_ / "driver.trace");
        const std::string text((std::istreambuf_iterator<char>(trace)), std::istreambuf_iterator<char>());
        return text.find("软件标示 ") != std::string::npos;
      },
      kStartLimit));
  EXPECT_FALSE(WaitForWindow(true, milliseconds(1500))) << "the window showed";
  EXPECT_TRUE(first.Running());

  ChildProcess& second = Start({BRONTAL_DRIVER}, "second");
  EXPECT_EQ(second.WaitExit(kSecondStartLimit), 0);
  EXPECT_TRUE(WaitForWindow(true)) << "a second start did not show the window";
}

TEST_F(BrontalDriverOnXvfb, BrontalctlAloneOpensTheKeyboardItselfAndARefusedCommandSendsNothing) {
  Plug(kKeyboard);
  ASSERT_EQ(Command({BRONTALCTL, "set", "keyboard", "brightness=1", "color=00ff00"}), 0);
  std::string shown;
  ASSERT_EQ(Command({BRONTALCTL, "show", "--json", "keyboard"}, &shown), 0);
  EXPECT_NE(shown.find("\"color\" : \"00ff00\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("\"brightness\" : 1"), std::string::npos) << shown;

  const std::size_t before = JournalCommands(kKeyboard).size();
  EXPECT_EQ(Command({BRONTALCTL, "set", "keyboard", "brightness=9"}), 2);
  EXPECT_EQ(JournalCommands(kKeyboard).size(), before);
}

TEST_F(BrontalDriverOnXvfb, WhileTheDesktopProgramRunsBrontalctlHandsItTheCommand) {
  Plug(kKeyboard);
  StartDriver();
  ASSERT_TRUE(WaitForSelector({"keyboard"}));
  // Answered once the program has read the keyboard.
  ASSERT_TRUE(WaitUntil([&] { return Command({BRONTALCTL, "show", "keyboard"}) == 0; }, kStartLimit));
  const std::vector<std::string> before = JournalCommands(kKeyboard);
  ASSERT_EQ(Command({BRONTALCTL, "set", "keyboard", "brightness=2"}), 0);
  const std::vector<std::string> after = JournalCommands(kKeyboard);
  ASSERT_GT(after.size(), before.size());
  const std::vector<std::string> added(after.begin() + static_cast<std::ptrdiff_t>(before.size()), after.end());
  // One settings write of the program's, and no connect-time read of brontalctl's own.
  EXPECT_EQ(std::count(added.begin(), added.end(), "06"), 1) << ::testing::PrintToString(added);
  EXPECT_EQ(std::count(added.begin(), added.end(), "03"), 0) << ::testing::PrintToString(added);
  std::string shown;
  ASSERT_EQ(Command({BRONTALCTL, "show", "keyboard", "--json"}, &shown), 0);
  EXPECT_NE(shown.find("\"brightness\" : 2"), std::string::npos) << shown;
}

// Closing hides to the tray when there is one; otherwise the user could never
// get the window back, so the program quits.
struct CloseCase {
  const char* name;
  bool tray;
};
void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class CloseButton : public BrontalDriverOnXvfb, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseButton, HidesToTheTrayOrQuitsWithoutOne) {
  if (GetParam().tray) StartTrayHost();
  Plug(kKeyboard);
  ChildProcess& driver = StartDriver();
  ASSERT_TRUE(WaitForWindow(true));
  ClickClose();
  EXPECT_TRUE(WaitForWindow(false));
  if (GetParam().tray) {
    EXPECT_EQ(driver.WaitExit(milliseconds(500)), std::nullopt) << "quit although a tray holds its icon";
  } else {
    EXPECT_EQ(driver.WaitExit(kCommandLimit), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Tray, CloseButton,
                         ::testing::Values(CloseCase{"WithTray", true}, CloseCase{"WithoutTray", false}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brontal::e2e
