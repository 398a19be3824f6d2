#include "devices/device_lock.h"

#include <cstdio>
#include <functional>
#include <string>

#include "device_access/hid_backend.h"
#include "support/debug_log.h"
#include "support/file_lock.h"
#include "support/hex_text.h"
#include "support/private_folder.h"
#include "support/user_folders.h"

namespace brontal {

DeviceLockResult LockDevice(std::uint16_t vendor_id, std::uint16_t product_id, UniqueFd& lock) {
  const std::filesystem::path folder = UserRuntimeFolder();
  std::string error;
  if (!PreparePrivateFolder(folder, error)) {
    Trace("device lock: " + error);
    return DeviceLockResult::kHeld;
  }
  // Per bus: a simulated product is not the real one, nor another simulator's.
  char bus[24];
  std::snprintf(bus, sizeof bus, "%016zx", std::hash<std::string>{}(HidBus::Identity()));
  const std::string name = "device-" + std::string(bus) + "-" + Hex4(vendor_id) + "-" + Hex4(product_id) + ".lock";
  switch (TryLockFile(folder / name, lock, error)) {
    case FileLockResult::kAcquired: return DeviceLockResult::kHeld;
    case FileLockResult::kHeldByAnother: return DeviceLockResult::kInUse;
    case FileLockResult::kUnavailable: break;
  }
  Trace("device lock: " + error);
  return DeviceLockResult::kHeld;
}

}  // namespace brontal
