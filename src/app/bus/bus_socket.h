#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "support/unique_fd.h"

namespace brontal {

// The socket side of the local message bus: SOCK_SEQPACKET Unix sockets, one
// frame a packet, every wait bounded by a deadline and, on the serving side,
// cut short by a stop descriptor (an eventfd).
using BusClock = std::chrono::steady_clock;

// Whether a path fits the address of a Unix socket.
bool FitsSocketAddress(const std::filesystem::path& path);

// Non-blocking and close-on-exec. Invalid, with errno set, on failure;
// ENAMETOOLONG for a path that does not fit a socket address.
UniqueFd ListenAt(const std::filesystem::path& path);
UniqueFd ConnectTo(const std::filesystem::path& path);

// Binds `path`. A socket file nobody listens on is what an ended program
// leaves behind and is replaced; a live one keeps its name. Invalid, with the
// reason, otherwise.
UniqueFd ListenInPlaceOf(const std::filesystem::path& path, std::string& error);

// Waits for the next connection; invalid once `stop` is readable or the
// listener fails.
UniqueFd AcceptConnection(int listener, int stop);

// The connection's other end runs as this process's effective user.
bool PeerIsThisUser(int socket);
// The user the other end ran as when the connection was made.
bool PeerUser(int socket, uid_t& user);

enum class PacketResult { kDone, kOversized, kClosed, kTimedOut, kStopped, kFailed };

// One packet of at most `limit` bytes. A longer one is consumed and reported
// kOversized; a closed connection reads kClosed.
PacketResult ReceivePacket(int socket, std::vector<std::uint8_t>& packet, std::size_t limit,
                           BusClock::time_point deadline, int stop = -1);
PacketResult SendPacket(int socket, std::span<const std::uint8_t> packet, BusClock::time_point deadline);

}  // namespace brontal
