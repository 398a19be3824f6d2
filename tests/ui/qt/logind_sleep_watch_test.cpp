// logind's sleep news on a private D-Bus daemon, with a stand-in logind that
// hands out delay locks (one end of a pipe each) and announces sleep.
#include "ui/qt/logind_sleep_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <cstdio>
#include <fstream>
#include <vector>

#include "helpers/temporary_folder.h"
#include "support/unique_fd.h"

namespace brontal {
namespace {

// What a test can see of logind: the locks it handed out, and its signal.
class FakeLogind : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  // Our ends of the locks handed out, oldest first, and what they were asked for.
  std::vector<UniqueFd> lock_ends;
  std::vector<QString> modes;

  // Whether the holder of lock `i` still has it.
  bool Held(std::size_t i) const {
    pollfd p{lock_ends.at(i).get(), POLLIN, 0};
    return ::poll(&p, 1, 0) == 0;
  }

 public Q_SLOTS:
  QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode) {
    static_cast<void>(who);
    static_cast<void>(why);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return {};
    lock_ends.emplace_back(ends[0]);
    modes.push_back(what + ":" + mode);
    QDBusUnixFileDescriptor handed(ends[1]);  // a copy: ours closes now
    ::close(ends[1]);
    return handed;
  }

 Q_SIGNALS:
  void PrepareForSleep(bool start);
};

// A D-Bus daemon of the test's own, ended with the test.
class PrivateBus {
 public:
  explicit PrivateBus(const std::filesystem::path& folder) {
    const std::filesystem::path config = folder / "bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>unix:dir=" << folder.string()
                          << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                             "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                             "<allow own=\"*\"/></policy></busconfig>";
    const std::string command =
        "dbus-daemon --fork --config-file=" + config.string() + " --print-address=1 --print-pid=1";
    if (FILE* out = ::popen(command.c_str(), "r")) {
      char line[512];
      if (std::fgets(line, sizeof line, out)) address_ = std::string(line, std::strcspn(line, "\n"));
      if (std::fgets(line, sizeof line, out)) pid_ = std::atoi(line);
      ::pclose(out);
    }
  }
  ~PrivateBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  const std::string& address() const { return address_; }

 private:
  std::string address_;
  pid_t pid_ = -1;
};

class LogindSleepWatchTest : public ::testing::Test {
 protected:
  LogindSleepWatchTest() {
    logind_bus_.registerObject("/org/freedesktop/login1", &logind_,
                               QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    logind_bus_.registerService("org.freedesktop.login1");
  }
  ~LogindSleepWatchTest() override {
    QDBusConnection::disconnectFromBus("logind");
    QDBusConnection::disconnectFromBus("program");
  }

  template <typename Predicate>
  static bool PumpUntil(Predicate done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > 5000) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }

  static QCoreApplication& Application() {
    static int argc = 1;
    static char name[] = "logind_sleep_watch_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    return application;
  }

  QCoreApplication& application_ = Application();
  test::TemporaryFolder folder_{"brontal_dbus"};
  PrivateBus daemon_{folder_.path()};
  QDBusConnection logind_bus_ = QDBusConnection::connectToBus(QString::fromStdString(daemon_.address()), "logind");
  QDBusConnection program_bus_ = QDBusConnection::connectToBus(QString::fromStdString(daemon_.address()), "program");
  FakeLogind logind_;
  std::vector<bool> told_;
  LogindSleepWatch watch_{program_bus_, [this](bool sleeping) { told_.push_back(sleeping); }};
};

TEST_F(LogindSleepWatchTest, TheNewsComesWhileADelayLockIsHeldWhichIsLetGoBeforeSleepAndTakenAgainAfter) {
  ASSERT_FALSE(daemon_.address().empty()) << "dbus-daemon did not start";
  std::string error;
  ASSERT_TRUE(watch_.Start(error)) << error;
  ASSERT_TRUE(PumpUntil([&] { return watch_.holds_delay_lock(); }));
  ASSERT_EQ(logind_.lock_ends.size(), 1u);
  EXPECT_EQ(logind_.modes[0], "sleep:delay");
  EXPECT_TRUE(logind_.Held(0));

  emit logind_.PrepareForSleep(true);
  ASSERT_TRUE(PumpUntil([&] { return told_.size() == 1; }));
  EXPECT_TRUE(told_[0]);
  // Told first, then let go: logind waits for the news to be handled.
  EXPECT_TRUE(PumpUntil([&] { return !logind_.Held(0); }));

  emit logind_.PrepareForSleep(false);
  ASSERT_TRUE(PumpUntil([&] { return told_.size() == 2; }));
  EXPECT_FALSE(told_[1]);
  ASSERT_TRUE(PumpUntil([&] { return watch_.holds_delay_lock(); }));
  ASSERT_EQ(logind_.lock_ends.size(), 2u);
  EXPECT_TRUE(logind_.Held(1));
}

TEST_F(LogindSleepWatchTest, BeforeLogindIsThereTheWatchStillListensAndWithoutABusItSaysWhy) {
  ASSERT_FALSE(daemon_.address().empty()) << "dbus-daemon did not start";
  logind_bus_.unregisterService("org.freedesktop.login1");
  std::string error;
  EXPECT_TRUE(watch_.Start(error)) << error;
  // logind comes later: its news is heard all the same.
  logind_bus_.registerService("org.freedesktop.login1");
  QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  emit logind_.PrepareForSleep(true);
  EXPECT_TRUE(PumpUntil([&] { return told_.size() == 1; }));

  QDBusConnection nowhere = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "nowhere");
  LogindSleepWatch lost(nowhere, {});
  EXPECT_FALSE(lost.Start(error));
  EXPECT_NE(error.find("no system bus"), std::string::npos) << error;
  QDBusConnection::disconnectFromBus("nowhere");
}

}  // namespace
}  // namespace brontal

#include "logind_sleep_watch_test.moc"
