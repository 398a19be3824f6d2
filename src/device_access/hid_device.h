#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device_access/hid_backend.h"
#include "device_access/hid_data_item.h"
#include "device_access/report_descriptor.h"
#include "device_access/report_writer.h"
#include "support/unique_fd.h"

namespace brontal {

// Capabilities of an opened top-level collection, as the layers above read them.
struct HidCaps {
  std::uint16_t usage = 0;
  std::uint16_t usage_page = 0;
  std::uint16_t input_report_byte_length = 0;
  std::uint16_t output_report_byte_length = 0;
  std::uint16_t feature_report_byte_length = 0;
  std::uint16_t link_collection_nodes = 0;
  std::array<std::uint16_t, kReportTypeCount> button_caps{};
  std::array<std::uint16_t, kReportTypeCount> value_caps{};
  std::array<std::uint16_t, kReportTypeCount> data_indices{};
};

// One opened HID top-level collection (and, independently, one enumeration
// result). Reads and writes are timed and end early when Close() is called
// from another thread. One reader and one writer thread at a time.
class CHidDevice {
 public:
  static constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

  CHidDevice();
  ~CHidDevice();
  CHidDevice(const CHidDevice&) = delete;
  CHidDevice& operator=(const CHidDevice&) = delete;

  // Builds the list of every top-level collection path on the active bus, in
  // enumeration order. The caller frees a previous list first.
  bool EnumerateInterfaces();
  std::optional<std::string> NextPath();
  void FreePathList();
  std::size_t PathCount() const { return path_count_; }

  bool Open(std::string_view path, bool read, bool write, bool overlapped, bool exclusive);
  // Why the last Open failed (kOpened after a success).
  HidOpenResult LastOpenResult() const { return last_open_result_; }
  void Close();
  // Ends the read or write waiting on the node now, and every later one until
  // the next Open, but keeps the collection: a reader that goes on using the
  // parsed collection after its read is stopped this way before Close.
  void StopWaits();
  bool IsOpen() const;

  // One report into `buffer` (report id byte first). Waits at most `timeout_ms`
  // (kInfinite: until a report arrives or Close() is called). A timed-out read
  // is abandoned: reports already queued when the next read starts are
  // dropped, so that read cannot take the late answer meant for this one.
  bool ReadReport(std::span<std::uint8_t> buffer, std::size_t* bytes_read, std::uint32_t timeout_ms);
  bool WriteReport(std::span<const std::uint8_t> buffer, std::size_t* bytes_written, std::uint32_t timeout_ms);
  // Output reports through the control pipe (USB SET_REPORT requests), as
  // devices that take output reports only that way need, one after the other
  // within one time limit; a report refused does not stop the ones after it.
  // How many went whole.
  std::size_t SetOutputReports(std::vector<std::vector<std::uint8_t>> reports, std::uint32_t timeout_ms);
  // Drops every report queued on the handle now. The kernel keeps at most 64
  // per handle and drops new ones once full, and a handle also gets the
  // reports of the node's other collections: a reply must not come in behind them.
  void DiscardQueuedReports();

  static bool UnpackReport(std::span<const std::uint8_t> report, ReportType type, std::span<HidDataItem> items,
                           const TopLevelCollection& collection) {
    return brontal::UnpackReport(report, type, items, collection);
  }

  // The removal probe: the path's node still exists and is the same plug.
  static bool IsPathPresent(std::string_view path);

  std::uint16_t vendor_id() const { return vendor_id_; }
  std::uint16_t product_id() const { return product_id_; }
  std::uint16_t version() const { return version_; }
  std::uint16_t usage_page() const { return caps_.usage_page; }
  std::uint16_t usage() const { return caps_.usage; }
  const HidCaps& caps() const { return caps_; }
  std::uint16_t input_report_byte_length() const { return caps_.input_report_byte_length; }
  std::span<std::uint8_t> input_report_buffer() { return report_buffers_[0]; }
  std::span<HidDataItem> input_items() { return items_[0]; }
  std::span<HidDataItem> items(ReportType type) { return items_[static_cast<std::size_t>(type)]; }
  std::uint32_t interface_number() const { return interface_number_; }
  std::uint32_t collection_number() const { return collection_number_; }
  const std::string& path() const { return path_; }
  // The parsed collection; null while closed.
  const TopLevelCollection* collection() const { return collection_; }

  bool read_in_progress() const { return read_in_progress_; }
  bool write_in_progress() const { return write_in_progress_; }

 private:
  enum class Wait { kReady, kStopped, kTimedOut, kGone };
  // One report on the node, within `deadline`; `control_pipe`: as a
  // set-output request rather than an interrupt write. The bytes written.
  std::optional<std::size_t> WriteOne(int fd, std::span<const std::uint8_t> bytes, std::int64_t deadline,
                                      bool control_pipe);
  // `body` on the writer thread with the node; false when the node is closed,
  // or the time ran out or the wait was stopped first. `result`: what it returned.
  bool RunWrite(std::function<std::optional<std::size_t>(int fd, std::int64_t deadline)> body, std::uint32_t timeout_ms,
                std::size_t* result);
  int AcquireFd();
  void ReleaseFd();
  Wait WaitFor(int fd, short events, std::int64_t deadline_ms);
  void DropQueuedReports(int fd);
  void ReleaseCollection();

  // Enumeration.
  std::vector<std::string> paths_;
  std::size_t path_count_ = 0;
  std::size_t cursor_ = 0;
  bool path_list_present_ = false;

  // Settings of the last Open.
  bool read_access_ = false;
  bool write_access_ = false;
  bool overlapped_ = false;
  bool exclusive_ = false;

  // The opened collection. fd_ and users_ are guarded by fd_mutex_.
  mutable std::mutex fd_mutex_;
  std::condition_variable idle_;
  UniqueFd fd_;
  int users_ = 0;
  std::string path_;
  std::shared_ptr<const ReportDescriptor> descriptor_;
  const TopLevelCollection* collection_ = nullptr;
  HidCaps caps_;
  std::uint16_t vendor_id_ = 0;
  std::uint16_t product_id_ = 0;
  std::uint16_t version_ = 0;
  std::array<std::vector<std::uint8_t>, kReportTypeCount> report_buffers_;
  std::array<std::vector<HidDataItem>, kReportTypeCount> items_;
  std::vector<std::uint8_t> read_scratch_;  // one whole report of any collection of the node
  std::uint32_t interface_number_ = 0;
  std::uint32_t collection_number_ = 0;
  HidOpenResult last_open_result_ = HidOpenResult::kFailed;

  // Set by Close() to release a blocked read or write; cleared by Open().
  UniqueFd stop_event_;
  std::atomic<bool> read_in_progress_{false};
  std::atomic<bool> write_in_progress_{false};
  std::atomic<bool> read_abandoned_{false};
  // The node refused a set-output request as unknown: output reports go as writes.
  std::atomic<bool> plain_output_writes_{false};
  // Last: its thread may still run a write that uses the members above.
  ReportWriter writer_;
};

}  // namespace brontal
