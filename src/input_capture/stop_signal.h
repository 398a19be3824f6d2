#pragma once

#include "support/unique_fd.h"

namespace brontal {

// Wakes a capture thread out of poll() at once: its descriptor becomes
// readable when raised and stays so.
class StopSignal {
 public:
  StopSignal();

  // False when the system had no descriptor to spare.
  bool valid() const { return fd_.valid(); }
  int fd() const { return fd_.get(); }
  void Raise() const;

 private:
  UniqueFd fd_;
};

}  // namespace brontal
