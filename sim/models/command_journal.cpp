#include "models/command_journal.h"

#include <cstdio>

#include "models/report_descriptors.h"

namespace brontal::sim {

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
  if (entry.report_id == kCommandReportId) {
    ++summary_.commands;
    ++(entry.link == Link::kWired ? summary_.wired : summary_.receiver);
    ++summary_.per_command[entry.command];
  } else {
    ++summary_.other_reports;
  }
  if (capacity_ == 0) return;
  if (entries_.size() == capacity_) entries_.pop_front();
  entries_.push_back(std::move(entry));
}

std::vector<JournalEntry> CommandJournal::Entries() const {
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
