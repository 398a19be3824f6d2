#pragma once

#include <poll.h>

#include <vector>

#include "support/unique_fd.h"

namespace brontal {

// Forgets the sockets whose peer has closed its end.
inline void DropHungUpSockets(std::vector<UniqueFd>& sockets) {
  std::erase_if(sockets, [](const UniqueFd& s) {
    pollfd p{s.get(), 0, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
  });
}

}  // namespace brontal
