#include "models/command_journal.h"

#include <cstdio>

#include "models/report_descriptors.h"

namespace brontal::sim {

const char* KindName(JournalKind kind) {
  switch (kind) {
    case JournalKind::kRequest:
      return "request";
    case JournalKind::kReply:
      return "reply";
    case JournalKind::kOutput:
      return "output";
  }
  return "?";
}

std::string HexBytes(std::span<const std::uint8_t> bytes, const char* separator) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
    if (i > 0) text += separator;
    text += digits;
  }
  return text;
}

std::string FormatJournalLine(const JournalEntry& entry) {
  char head[64];
  std::snprintf(head, sizeof head, "%8.3f ms  %-7s  ", entry.time_ms, KindName(entry.kind));
  return head + HexBytes(entry.bytes, " ");
}

std::string FormatSummary(const JournalSummary& summary) {
  char head[128];
  std::snprintf(head, sizeof head, "%zu commands (wired %zu, receiver %zu), %zu other reports", summary.commands,
                summary.wired, summary.receiver, summary.other_reports);
  std::string text = head;
  if (!summary.per_command.empty()) text += ":";
  for (const auto& [command, count] : summary.per_command) {
    char item[32];
    std::snprintf(item, sizeof item, " %02xx%zu", command, count);
    text += item;
  }
  return text;
}

CommandJournal::CommandJournal(std::size_t capacity) : capacity_(capacity) {}

void CommandJournal::Record(JournalEntry entry) {
  std::scoped_lock lock(mutex_);
  // Stamped under the lock so that times never go back along the journal.
  entry.time_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - created_).count();
  if (entry.kind == JournalKind::kRequest && entry.report_id == kCommandReportId) {
    ++summary_.commands;
    ++(entry.link == Link::kWired ? summary_.wired : summary_.receiver);
    ++summary_.per_command[entry.command];
  } else if (entry.kind != JournalKind::kReply) {  // a reply is counted with its request
    ++summary_.other_reports;
  }
  if (capacity_ == 0) return;
  if (entries_.size() == capacity_) entries_.pop_front();
  entries_.push_back(std::move(entry));
}

std::vector<JournalEntry> CommandJournal::Entries() const {
  std::scoped_lock lock(mutex_);
  std::vector<JournalEntry> written;
  for (const JournalEntry& entry : entries_)
    if (entry.kind != JournalKind::kReply) written.push_back(entry);
  return written;
}

std::vector<JournalEntry> CommandJournal::Timeline() const {
  std::scoped_lock lock(mutex_);
  return {entries_.begin(), entries_.end()};
}

JournalSummary CommandJournal::Summary() const {
  std::scoped_lock lock(mutex_);
  return summary_;
}

void CommandJournal::Clear() {
  std::scoped_lock lock(mutex_);
  entries_.clear();
  summary_ = {};
}

}  // namespace brontal::sim
