#include "device_access/hid_device.h"

#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "device_access/hid_enumeration.h"
#include "device_access/hid_path.h"
#include "device_access/report_writer.h"

namespace brontal {
namespace {

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

constexpr std::int64_t kNoDeadline = -1;

std::int64_t DeadlineFor(std::uint32_t timeout_ms) {
  return timeout_ms == CHidDevice::kInfinite ? kNoDeadline : NowMs() + timeout_ms;
}

// Scope of one read or write: the fd stays open and the in-progress flag set.
class IoScope {
 public:
  explicit IoScope(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
  ~IoScope() { flag_ = false; }
  IoScope(const IoScope&) = delete;
  IoScope& operator=(const IoScope&) = delete;

 private:
  std::atomic<bool>& flag_;
};

}  // namespace

CHidDevice::CHidDevice() : stop_event_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CHidDevice::~CHidDevice() {
  Close();
  FreePathList();
}

bool CHidDevice::EnumerateInterfaces() {
  cursor_ = 0;
  std::vector<HidNodeListing> nodes;
  const std::shared_ptr<HidBackend> backend = HidBus::Active();
  if (!ListHidNodes(*backend, nodes)) {
    FreePathList();
    return false;
  }
  paths_.clear();
  paths_.reserve(4);
  for (const HidNodeListing& node : nodes) {
    if (!node.descriptor) continue;  // malformed: nothing of it can be opened
    const std::size_t count = node.descriptor->collections.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (paths_.size() == paths_.capacity()) paths_.reserve(paths_.capacity() * 2);
      paths_.push_back(CollectionPath(node.info, i, count));
    }
  }
  path_count_ = paths_.size();
  path_list_present_ = true;
  return true;
}

std::optional<std::string> CHidDevice::NextPath() {
  if (!path_list_present_ || cursor_ >= path_count_ || cursor_ >= paths_.size()) return std::nullopt;
  return paths_[cursor_++];
}

void CHidDevice::FreePathList() {
  paths_.clear();
  paths_.shrink_to_fit();
  path_list_present_ = false;
}

bool CHidDevice::Open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive) {
  Close();
  read_access_ = read;
  write_access_ = write;
  overlapped_ = overlapped;
  exclusive_ = exclusive;  // hidraw has no sharing modes; kept for the callers that ask
  last_open_result_ = HidOpenResult::kFailed;

  std::string node, instance;
  if (!SplitHidPath(path, node, instance)) return false;
  const std::shared_ptr<HidBackend> backend = HidBus::ForNode(node);
  HidNodeInfo info;
  if (!backend || !backend->Describe(node, info) || info.instance != instance) {
    last_open_result_ = HidOpenResult::kGone;
    return false;
  }
  std::shared_ptr<const ReportDescriptor> descriptor = ParsedDescriptor(info);
  const std::uint16_t number = ParseCollectionNumber(path);
  const std::size_t index = number == 0 ? 0 : number - 1u;
  if (!descriptor || index >= descriptor->collections.size()) return false;

  UniqueFd fd;
  last_open_result_ = backend->Open(node, instance, read, write, fd);
  if (last_open_result_ != HidOpenResult::kOpened) return false;

  // A stop left over from the previous Close must not end the first read.
  std::uint64_t drained;
  while (::read(stop_event_.get(), &drained, sizeof drained) > 0) {
  }
  read_abandoned_ = false;
  plain_output_writes_ = false;

  path_ = path;
  descriptor_ = std::move(descriptor);
  collection_ = &descriptor_->collections[index];
  vendor_id_ = info.vendor_id;
  product_id_ = info.product_id;
  version_ = info.version;
  caps_ = HidCaps{};
  caps_.usage = collection_->usage;
  caps_.usage_page = collection_->usage_page;
  caps_.input_report_byte_length = collection_->report_byte_length[0];
  caps_.output_report_byte_length = collection_->report_byte_length[1];
  caps_.feature_report_byte_length = collection_->report_byte_length[2];
  caps_.link_collection_nodes = collection_->link_collection_nodes;
  std::size_t largest_input = 1;
  for (const TopLevelCollection& c : descriptor_->collections)
    largest_input = std::max<std::size_t>(largest_input, c.report_byte_length[0]);
  read_scratch_.assign(largest_input, 0);
  for (std::size_t t = 0; t < kReportTypeCount; ++t) {
    const auto type = static_cast<ReportType>(t);
    report_buffers_[t].assign(collection_->report_byte_length[t], 0);
    items_[t] = BuildItemList(*collection_, type);
    caps_.button_caps[t] =
        static_cast<std::uint16_t>(std::count_if(collection_->button_caps.begin(), collection_->button_caps.end(),
                                                 [&](const ButtonCapability& c) { return c.type == type; }));
    caps_.value_caps[t] =
        static_cast<std::uint16_t>(std::count_if(collection_->value_caps.begin(), collection_->value_caps.end(),
                                                 [&](const ValueCapability& c) { return c.type == type; }));
    caps_.data_indices[t] = collection_->DataIndexCount(type);
  }
  interface_number_ = ParseInterfaceNumber(path);
  collection_number_ = number;
  {
    std::scoped_lock lock(fd_mutex_);
    fd_ = std::move(fd);
  }
  return true;
}

void CHidDevice::Close() {
  {
    std::unique_lock lock(fd_mutex_);
    if (!fd_) return;
    // Wake whoever waits on the node, then wait until they have left it.
    if (users_ > 0) StopWaits();
    idle_.wait(lock, [this] { return users_ == 0; });
    fd_.Reset();
  }
  ReleaseCollection();
}

void CHidDevice::StopWaits() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(stop_event_.get(), &one, sizeof one);
}

void CHidDevice::ReleaseCollection() {
  collection_ = nullptr;
  descriptor_.reset();
  for (auto& buffer : report_buffers_) buffer.clear();
  for (auto& items : items_) items.clear();
  read_scratch_.clear();
  caps_ = HidCaps{};
  path_.clear();
}

bool CHidDevice::IsOpen() const {
  std::scoped_lock lock(fd_mutex_);
  return fd_.valid();
}

bool CHidDevice::IsPathPresent(std::string_view path) {
  std::string node, instance;
  if (!SplitHidPath(path, node, instance)) return false;
  const std::shared_ptr<HidBackend> backend = HidBus::ForNode(node);
  return backend && backend->IsPresent(node, instance);
}

int CHidDevice::AcquireFd() {
  std::scoped_lock lock(fd_mutex_);
  if (!fd_) return -1;
  ++users_;
  return fd_.get();
}

void CHidDevice::ReleaseFd() {
  std::scoped_lock lock(fd_mutex_);
  if (--users_ == 0) idle_.notify_all();
}

CHidDevice::Wait CHidDevice::WaitFor(int fd, short events, std::int64_t deadline_ms) {
  for (;;) {
    pollfd fds[2] = {{stop_event_.get(), POLLIN, 0}, {fd, events, 0}};
    const int timeout = deadline_ms == kNoDeadline
                            ? -1
                            : static_cast<int>(std::clamp<std::int64_t>(deadline_ms - NowMs(), 0, INT32_MAX));
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return Wait::kGone;
    }
    if (fds[0].revents & POLLIN) return Wait::kStopped;
    if (ready == 0) {
      if (NowMs() < deadline_ms) continue;  // a limit longer than poll() takes at once
      return Wait::kTimedOut;
    }
    if (fds[1].revents & events) return Wait::kReady;
    if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) return Wait::kGone;
  }
}

void CHidDevice::DropQueuedReports(int fd) {
  while (::read(fd, read_scratch_.data(), read_scratch_.size()) > 0) {
  }
}

void CHidDevice::DiscardQueuedReports() {
  const int fd = AcquireFd();
  if (fd < 0) return;
  DropQueuedReports(fd);
  read_abandoned_ = false;
  ReleaseFd();
}

bool CHidDevice::ReadReport(std::span<std::uint8_t> buffer, std::size_t* bytes_read, std::uint32_t timeout_ms) {
  IoScope in_progress(read_in_progress_);
  if (bytes_read) *bytes_read = 0;
  const int fd = AcquireFd();
  if (fd < 0) return false;
  const std::int64_t deadline = DeadlineFor(timeout_ms);
  if (read_abandoned_.exchange(false)) DropQueuedReports(fd);

  bool ok = false;
  for (;;) {
    const Wait w = WaitFor(fd, POLLIN, deadline);
    if (w == Wait::kTimedOut) read_abandoned_ = true;
    if (w != Wait::kReady) break;
    // Without report ids the node gives bare data; callers always see the id byte first.
    const std::size_t skip = collection_->uses_report_ids ? 0 : 1;
    const ssize_t n = ::read(fd, read_scratch_.data() + skip, read_scratch_.size() - skip);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) break;  // error, or the peer hung up
    if (skip) read_scratch_[0] = 0;
    if (!collection_->HasReport(ReportType::kInput, read_scratch_[0])) continue;  // another collection's report
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(n) + skip, buffer.size());
    std::memcpy(buffer.data(), read_scratch_.data(), length);
    if (bytes_read) *bytes_read = length;
    ok = true;
    break;
  }
  ReleaseFd();
  return ok;
}

bool CHidDevice::WriteReport(std::span<const std::uint8_t> buffer, std::size_t* bytes_written,
                             std::uint32_t timeout_ms) {
  std::size_t written = 0;
  const bool went = RunWrite([this, bytes = std::vector<std::uint8_t>(buffer.begin(), buffer.end())](
                                 int fd, std::int64_t deadline) { return WriteOne(fd, bytes, deadline, false); },
                             timeout_ms, &written);
  if (bytes_written) *bytes_written = written;
  return went && written == buffer.size();
}

std::size_t CHidDevice::SetOutputReports(std::vector<std::vector<std::uint8_t>> reports, std::uint32_t timeout_ms) {
  std::size_t sent = 0;
  RunWrite(
      [this, reports = std::move(reports)](int fd, std::int64_t deadline) {
        std::size_t count = 0;
        for (const std::vector<std::uint8_t>& report : reports)
          if (WriteOne(fd, report, deadline, true) == report.size()) ++count;
        return std::optional<std::size_t>(count);
      },
      timeout_ms, &sent);
  return sent;
}

std::optional<std::size_t> CHidDevice::WriteOne(int fd, std::span<const std::uint8_t> bytes, std::int64_t deadline,
                                                bool control_pipe) {
  // Nodes that know no set-output request (a kernel before 5.11, the
  // simulated bus) take the report as an ordinary write.
  if (control_pipe && !plain_output_writes_) {
    if (::ioctl(fd, HIDIOCSOUTPUT(bytes.size()), bytes.data()) >= 0) return bytes.size();
    if (errno != ENOTTY) return std::nullopt;
    plain_output_writes_ = true;
  }
  // The write is tried first: a node mostly takes it at once, and the wait
  // would cost a call of its own for every report.
  for (;;) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno == EINTR) continue;
    if (errno != EAGAIN || WaitFor(fd, POLLOUT, deadline) != Wait::kReady) return std::nullopt;
  }
}

bool CHidDevice::RunWrite(std::function<std::optional<std::size_t>(int fd, std::int64_t deadline)> body,
                          std::uint32_t timeout_ms, std::size_t* result) {
  IoScope in_progress(write_in_progress_);
  *result = 0;
  if (!IsOpen()) return false;
  const std::int64_t deadline = DeadlineFor(timeout_ms);
  // The job holds the node while it writes, which may outlast this call in
  // the kernel; Close() waits for it.
  auto job = [this, deadline, body = std::move(body)] {
    std::optional<std::size_t> written;
    const int fd = AcquireFd();
    if (fd < 0) return written;
    written = body(fd, deadline);
    ReleaseFd();
    return written;
  };
  return writer_.Write(std::move(job), deadline == kNoDeadline ? ReportWriter::kNoDeadline : deadline,
                       stop_event_.get(), result) == ReportWriter::Outcome::kWritten;
}

}  // namespace brontal
