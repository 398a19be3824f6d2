#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "update/update_check.h"
#include "update/update_item.h"
#include "update/update_row.h"

namespace brontal {

class CControlUI;
class DesktopServices;
class WindowImplBase;
struct TNotifyUI;

// The settings window's update page. A check thread asks the service about
// every item once, a download thread fetches what the user confirmed, and a
// hand-over thread checks each file and gives it to the user: the page shows
// its path, size and SHA-256 and the desktop opens its folder. Nothing is
// ever run, so no row reaches "installed"; a handed-over row stays at
// "DownloadOkText".
//
// The workers never touch controls: they post to the window's loop, and the
// rows belong to the UI thread. Destroying the page stops a download within
// a second and joins the threads.
class UpdatePage {
 public:
  // `desktop` may be null (no folder is opened then).
  UpdatePage(WindowImplBase& window, std::vector<UpdateItem> items, DesktopServices* desktop);
  ~UpdatePage();
  UpdatePage(const UpdatePage&) = delete;
  UpdatePage& operator=(const UpdatePage&) = delete;

  // Builds the rows and starts the threads; once, at window creation.
  void Start();
  // True when the notification was the page's.
  bool OnNotify(TNotifyUI& msg);
  void Stop();

  const std::vector<UpdateRow>& rows() const { return rows_; }
  PageState state() const { return state_; }

 private:
  struct Download {
    std::size_t row;
    std::string url;
    std::string name;
  };
  struct HandOver {
    std::size_t row;
    HandedOverPackage package;
  };

  void Post(std::function<void()> task);
  void CheckThread(std::stop_token stop);
  void DownloadThread(std::stop_token stop);
  void HandOverThread(std::stop_token stop);
  // Both queues empty: the page goes back to what is on offer.
  void SettleWhenIdle();

  void ShowRow(std::size_t index);
  void ShowPageState(PageState state);
  void ShowDownloadButton();
  void Confirm();
  void ShowHandedOver(std::size_t row);
  int RowOf(const CControlUI* control) const;

  WindowImplBase& window_;
  const std::vector<UpdateItem> items_;
  DesktopServices* desktop_;
  const std::string service_url_;
  std::string last_check_date_;

  // UI thread only.
  std::vector<UpdateRow> rows_;
  std::vector<CControlUI*> row_controls_;
  std::vector<bool> queued_;
  PageState state_ = PageState::kChecking;
  bool folder_opened_ = false;
  std::string handed_over_text_;

  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<Download> downloads_;
  std::deque<HandOver> handovers_;
  int busy_ = 0;  // jobs taken off a queue and not yet finished

  // Posted tasks check it: they may run after the page is gone.
  std::shared_ptr<const void> alive_ = std::make_shared<int>(0);
  std::jthread check_thread_;
  std::jthread download_thread_;
  std::jthread handover_thread_;
};

}  // namespace brontal
