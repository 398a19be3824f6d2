#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <string>

#include "support/unique_fd.h"

namespace brontal {

// Tells when the computer is about to sleep and when it has woken, from
// logind's PrepareForSleep signal. While it watches it holds a delay lock,
// so that the devices hear of the sleep before it comes: the lock is let go
// once the news is told, and taken again on waking.
class LogindSleepWatch : public QObject {
  Q_OBJECT

 public:
  // `told(true)` before the sleep, `told(false)` after it, on the thread
  // that runs the connection's events (the UI thread).
  LogindSleepWatch(QDBusConnection bus, std::function<void(bool sleeping)> told);

  // False, with the reason, when the signal cannot be followed. The lock
  // comes later; one that cannot be had is only traced: the news still
  // comes, if late.
  bool Start(std::string& error);
  bool holds_delay_lock() const { return delay_lock_.valid(); }

 private Q_SLOTS:
  void OnPrepareForSleep(bool sleeping);

 private:
  void TakeDelayLock();

  QDBusConnection bus_;
  std::function<void(bool)> told_;
  UniqueFd delay_lock_;
};

}  // namespace brontal
