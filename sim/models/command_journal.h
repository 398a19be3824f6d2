#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "models/link.h"

namespace brontal::sim {

// One output report as the device received it.
struct JournalEntry {
  Link link = Link::kWired;
  std::uint8_t report_id = 0;
  // Command frames only (report id 0x04); 0 for other reports.
  std::uint8_t command = 0;
  std::uint8_t length = 0;
  std::uint16_t address = 0;
  // Written data of a command (empty for reads and bare commands); for other
  // reports the bytes after the report id.
  std::vector<std::uint8_t> payload;
  // False when a receiver answered for a device out of reach, or the device
  // was unplugged by a fault before it could act.
  bool reached_device = true;
};

// Counts over the life of the journal, for a status display.
struct JournalSummary {
  std::size_t commands = 0;
  std::size_t other_reports = 0;
  std::size_t wired = 0;     // commands over the cable
  std::size_t receiver = 0;  // commands through the receiver
  std::map<std::uint8_t, std::size_t> per_command;
};

// One line, e.g. "12 commands (wired 10, receiver 2), 0 other reports: 01x2 03x1 06x3 ...".
std::string FormatSummary(const JournalSummary& summary);

// Every report a device received, the latest `capacity` kept in full. Thread-safe.
class CommandJournal {
 public:
  static constexpr std::size_t kDefaultCapacity = 4096;
  explicit CommandJournal(std::size_t capacity = kDefaultCapacity);

  void Record(JournalEntry entry);
  std::vector<JournalEntry> Entries() const;
  JournalSummary Summary() const;
  // Forgets the entries and the counts.
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::size_t capacity_;
  std::deque<JournalEntry> entries_;
  JournalSummary summary_;
};

}  // namespace brontal::sim
