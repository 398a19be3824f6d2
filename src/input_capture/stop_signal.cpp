#include "input_capture/stop_signal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace brontal {

StopSignal::StopSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void StopSignal::Raise() const {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(fd_.get(), &one, sizeof one);
}

}  // namespace brontal
