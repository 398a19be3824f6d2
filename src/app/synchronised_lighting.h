#pragma once

#include <chrono>
#include <mutex>
#include <stop_token>
#include <vector>

#include "devices/lighting/sync_effect.h"
#include "devices/worker_thread.h"

namespace brontal {

class CCorvaneUSBDevice;

// The host thread of synchronised lighting and the devices it paints. The UI
// thread decides who joins (the devices whose synchronisation box is ticked
// when the same-mode effect starts) and takes a device out before its
// channel closes; the thread computes one colour per time unit and writes it
// into every position of every joined device whose polling is paused (the
// device's own animation stands still then). Device list and look are kept
// under one lock, which the thread holds while it writes, so a device that
// has left is never touched again.
class SynchronisedLighting {
 public:
  // How long the thread sleeps while no device takes part.
  static constexpr std::chrono::milliseconds kIdlePause{1000};

  SynchronisedLighting() = default;
  ~SynchronisedLighting() { Stop(); }
  SynchronisedLighting(const SynchronisedLighting&) = delete;
  SynchronisedLighting& operator=(const SynchronisedLighting&) = delete;

  void Start();
  // Returns once the thread has ended (within a unit).
  void Stop();

  // UI thread. The devices that take part from now on (in place of the
  // earlier ones) and the look they share.
  void Join(std::vector<CCorvaneUSBDevice*> devices, const lighting::SyncLook& look);
  void Leave(const CCorvaneUSBDevice& device);
  void LeaveAll();

  struct Status {
    lighting::SyncLook look;
    // The joined devices whose polling is paused: those the thread paints.
    std::vector<CCorvaneUSBDevice*> painted;
  };
  Status CurrentStatus() const;

 private:
  void Run(std::stop_token stop);
  // Under the lock.
  bool AnyPainted() const;
  void Paint(const lighting::SyncColour& colour);

  mutable std::mutex mutex_;
  std::vector<CCorvaneUSBDevice*> devices_;  // guarded
  lighting::SyncLook look_;                  // guarded
  WorkerThread thread_;                      // last: it stops before the members above go
};

}  // namespace brontal
