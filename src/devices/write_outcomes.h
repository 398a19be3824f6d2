#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "macros/macro_download.h"
#include "support/debug_log.h"

// How a device's writes report to their callers, on the UI thread.
namespace brontal {

// False when a command of the write failed or the channel was closed.
using WriteDone = std::function<void(bool ok)>;
using MacroDone = std::function<void(const MacroDownloadResult&)>;
using KeyWriteDone = std::function<void(const KeyWriteOutcome&)>;

inline void Tell(const WriteDone& done, bool ok) {
  if (done) done(ok);
}

// Several writes of one operation report once, when all have.
class WriteJoin {
 public:
  static std::shared_ptr<WriteJoin> Of(int count, WriteDone done) {
    return std::make_shared<WriteJoin>(count, std::move(done));
  }
  WriteJoin(int count, WriteDone done) : left_(count), done_(std::move(done)) {}

  static WriteDone Part(const std::shared_ptr<WriteJoin>& join) {
    return [join](bool ok) {
      join->all_ok_ = join->all_ok_ && ok;
      if (--join->left_ == 0) Tell(join->done_, join->all_ok_);
    };
  }

 private:
  int left_;
  bool all_ok_ = true;
  WriteDone done_;
};

// A key table write that follows a macro download, made only when the
// download went through: the table's macro keys point into the image.
inline MacroDone ThenKeyTable(std::function<void(WriteDone)> write, KeyWriteDone done) {
  return [write = std::move(write), done = std::move(done)](const MacroDownloadResult& result) {
    if (!result.KeyTableMayFollow()) {
      Trace("macro download failed: the key table is not written");
      if (done) done({result, std::nullopt});
      return;
    }
    write([done, result](bool ok) {
      if (done) done({result, ok});
    });
  };
}

// Callers of a coalesced settings write: while one waits, a newer one takes
// its place, and every caller of the replaced ones hears the newer result.
class SettingsWriteWaiters {
 public:
  // The generation of the write being posted.
  std::uint64_t Post(WriteDone done) {
    ++posted_;
    if (done) waiting_.emplace_back(posted_, std::move(done));
    return posted_;
  }
  // How many writes were posted: a settings read started before a later one
  // must not take back the user's newer choice.
  std::uint64_t posted() const { return posted_; }
  void Written(std::uint64_t generation, bool ok) {
    std::vector<WriteDone> told;
    std::erase_if(waiting_, [&](auto& waiter) {
      if (waiter.first > generation) return false;
      told.push_back(std::move(waiter.second));
      return true;
    });
    for (WriteDone& done : told) done(ok);
  }

 private:
  std::uint64_t posted_ = 0;
  std::vector<std::pair<std::uint64_t, WriteDone>> waiting_;
};

}  // namespace brontal
