#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "models/link.h"

namespace brontal::sim {

enum class JournalKind : std::uint8_t {
  kRequest,  // a command frame the host wrote
  kReply,    // a frame the device answered
  kOutput,   // any other output report the host wrote
};

// "request", "reply" or "output".
const char* KindName(JournalKind kind);

// One report on the wire, either way.
struct JournalEntry {
  JournalKind kind = JournalKind::kRequest;
  Link link = Link::kWired;
  std::uint8_t report_id = 0;
  // Command frames only (report id 0x04); 0 for other reports.
  std::uint8_t command = 0;
  std::uint8_t length = 0;
  std::uint16_t address = 0;
  // Written data of a command (empty for reads and bare commands); for other
  // reports the bytes after the report id.
  std::vector<std::uint8_t> payload{};
  // False when a receiver answered for a device out of reach, or the device
  // was unplugged by a fault before it could act.
  bool reached_device = true;
  // The whole report as it went on the wire, report id first.
  std::vector<std::uint8_t> bytes{};
  // Milliseconds since the journal was created, stamped by Record.
  double time_ms = 0;
};

// "  12.345 ms  request  04 3a 01 ...", one line without the newline.
std::string FormatJournalLine(const JournalEntry& entry);
// Lower-case hexadecimal, two digits a byte, `separator` between them.
std::string HexBytes(std::span<const std::uint8_t> bytes, const char* separator);

// Counts over the life of the journal, for a status display; replies are not counted.
struct JournalSummary {
  std::size_t commands = 0;
  std::size_t other_reports = 0;
  std::size_t wired = 0;     // commands over the cable
  std::size_t receiver = 0;  // commands through the receiver
  std::map<std::uint8_t, std::size_t> per_command;
};

// One line, e.g. "12 commands (wired 10, receiver 2), 0 other reports: 01x2 03x1 06x3 ...".
std::string FormatSummary(const JournalSummary& summary);

// Every report a device received or answered, the latest `capacity` (both
// ways together) kept in full. Thread-safe.
class CommandJournal {
 public:
  static constexpr std::size_t kDefaultCapacity = 4096;
  explicit CommandJournal(std::size_t capacity = kDefaultCapacity);

  void Record(JournalEntry entry);
  // The reports the host wrote (requests and other output reports), oldest first.
  std::vector<JournalEntry> Entries() const;
  // Those and the replies, oldest first.
  std::vector<JournalEntry> Timeline() const;
  JournalSummary Summary() const;
  // Forgets the entries and the counts; times still count from creation.
  void Clear();
  // What the entries' times count from.
  std::chrono::steady_clock::time_point created() const { return created_; }

 private:
  const std::chrono::steady_clock::time_point created_ = std::chrono::steady_clock::now();
  mutable std::mutex mutex_;
  std::size_t capacity_;
  std::deque<JournalEntry> entries_;
  JournalSummary summary_;
};

}  // namespace brontal::sim
