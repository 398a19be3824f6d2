#include "ui/qt/logind_sleep_watch.h"

#include <fcntl.h>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include "support/debug_log.h"

namespace brontal {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
// logind waits at most its InhibitDelayMaxSec for a delay lock; we need far less.
constexpr int kCallLimitMs = 1000;

}  // namespace

LogindSleepWatch::LogindSleepWatch(QDBusConnection bus, std::function<void(bool sleeping)> told)
    : bus_(std::move(bus)), told_(std::move(told)) {}

bool LogindSleepWatch::Start(std::string& error) {
  if (!bus_.isConnected()) {
    error = "no system bus: " + bus_.lastError().message().toStdString();
    return false;
  }
  if (!bus_.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                    SLOT(OnPrepareForSleep(bool)))) {
    error = "logind's sleep signal cannot be followed: " + bus_.lastError().message().toStdString();
    return false;
  }
  TakeDelayLock();
  return true;
}

void LogindSleepWatch::OnPrepareForSleep(bool sleeping) {
  if (told_) told_(sleeping);
  if (sleeping)
    delay_lock_.Reset();
  else
    TakeDelayLock();
}

void LogindSleepWatch::TakeDelayLock() {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
  call << QStringLiteral("sleep") << QStringLiteral("Brontal Driver")
       << QStringLiteral("Gives the lights back to the devices before the computer sleeps") << QStringLiteral("delay");
  // Asked without waiting: a slow bus must not hold up the window.
  auto* answer = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallLimitMs), this);
  connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
    finished->deleteLater();
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
    if (reply.isError()) {
      Trace("no delay lock for sleep: " + reply.error().message().toStdString());
      return;
    }
    // The reply's descriptor closes with it: keep a copy of our own.
    delay_lock_.Reset(::fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 0));
  });
}

}  // namespace brontal
