#include "app/update_page.h"

#include <algorithm>

#include "app/desktop_services.h"
#include "app/web_pages.h"
#include "profiles/update_check_date.h"
#include "support/debug_log.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/layout_builder.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/message_loop.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"
#include "update/package_handover.h"
#include "update/update_download_rules.h"
#include "update/update_service.h"

namespace brontal {
namespace {

constexpr std::string_view kRowLayout = "XML/CustomControlXML/device_Update_list_item.xml";
constexpr int kWindowWidth = 630, kWindowHeight = 500;
// Room for the hand-over notice below the list.
constexpr int kNoticeHeight = 130;

template <typename T>
T* Find(WindowImplBase& window, std::string_view name) {
  return dynamic_cast<T*>(window.GetPaintManager().FindControl(name));
}

template <typename T>
T* FindIn(CControlUI* row, std::string_view name) {
  return dynamic_cast<T*>(CPaintManagerUI::FindSubControlByName(row, name));
}

}  // namespace

UpdatePage::UpdatePage(WindowImplBase& window, std::vector<UpdateItem> items, DesktopServices* desktop)
    : window_(window), items_(std::move(items)), desktop_(desktop), service_url_(UpdateServiceUrl()) {}

UpdatePage::~UpdatePage() { Stop(); }

void UpdatePage::Stop() {
  for (std::jthread* thread : {&check_thread_, &download_thread_, &handover_thread_}) thread->request_stop();
  for (std::jthread* thread : {&check_thread_, &download_thread_, &handover_thread_})
    if (thread->joinable()) thread->join();
  // Once no worker can post any more: what they posted and the loop has not
  // run yet is dropped, as the controls may be gone.
  alive_.reset();
}

void UpdatePage::Post(std::function<void()> task) {
  window_.GetToolkit().Loop().Post([life = std::weak_ptr<const void>(alive_), task = std::move(task)] {
    if (!life.expired()) task();
  });
}

void UpdatePage::Start() {
  last_check_date_ = ReadUpdateCheckDate();
  rows_ = RowsBeforeCheck(items_);
  queued_.assign(rows_.size(), false);
  if (auto* list = Find<CListUI>(window_, "update_list")) {
    Toolkit& toolkit = window_.GetToolkit();
    std::vector<std::unique_ptr<CControlUI>> built;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      LayoutResult row = LayoutBuilder(toolkit.Factory(), nullptr).Build(toolkit.Resources().LayoutPath(kRowLayout));
      if (!row.root) {
        Trace("skin: " + row.error);
        break;
      }
      row_controls_.push_back(row.root.get());
      built.push_back(std::move(row.root));
    }
    list->AddItems(std::move(built));
  }
  for (std::size_t i = 0; i < row_controls_.size(); ++i) ShowRow(i);
  ShowPageState(PageState::kChecking);
  check_thread_ = std::jthread([this](std::stop_token stop) { CheckThread(stop); });
  download_thread_ = std::jthread([this](std::stop_token stop) { DownloadThread(stop); });
  handover_thread_ = std::jthread([this](std::stop_token stop) { HandOverThread(stop); });
}

void UpdatePage::CheckThread(std::stop_token stop) {
  HttpClient client(UpdateClientSettings());
  const UpdateCheckOutcome outcome =
      CheckForUpdates(client, service_url_, items_, stop, [this](std::size_t index, const UpdateRow& row) {
        Post([this, index, row] {
          rows_[index] = row;
          ShowRow(index);
        });
      });
  if (stop.stop_requested()) return;
  const bool recorded = RecordCheckDate(outcome);
  std::string date = recorded ? ReadUpdateCheckDate() : "";
  Post([this, state = outcome.state, date = std::move(date)] {
    // The page tells when the service was asked before; a first check tells today.
    if (last_check_date_.empty()) last_check_date_ = date;
    ShowDownloadButton();
    ShowPageState(state);
  });
}

void UpdatePage::DownloadThread(std::stop_token stop) {
  HttpClient client(UpdateClientSettings());
  for (;;) {
    Download job;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return !downloads_.empty(); })) return;
      job = std::move(downloads_.front());
      downloads_.pop_front();
      ++busy_;
    }
    Post([this, row = job.row] {
      rows_[row].state = RowState::kDownloading;
      rows_[row].percent = 0;
      ShowRow(row);
      ShowPageState(PageState::kDownloading);
    });
    std::string problem;
    PackageFetch fetch;
    if (const auto folder = PrepareUpdateDataFolder(problem)) {
      fetch = DownloadPackage(
          client, job.url, job.name, *folder,
          [this](std::uint64_t total, std::uint64_t received, int row) {
            const int percent = PercentOf(received, total);
            Post([this, row, percent] {
              rows_[static_cast<std::size_t>(row)].percent = percent;
              ShowRow(static_cast<std::size_t>(row));
            });
          },
          static_cast<int>(job.row), stop);
    } else {
      fetch.problem = problem;
    }
    if (stop.stop_requested()) return;
    std::scoped_lock lock(mutex_);
    --busy_;
    if (fetch.package) {
      handovers_.push_back({job.row, std::move(*fetch.package)});
      wake_.notify_all();
      continue;
    }
    Trace("update: " + job.url + ": " + fetch.problem);
    Post([this, row = job.row] {
      rows_[row].state = RowState::kFailed;
      rows_[row].check_enabled = true;
      queued_[row] = false;
      ShowRow(row);
      SettleWhenIdle();
    });
  }
}

void UpdatePage::HandOverThread(std::stop_token stop) {
  for (;;) {
    HandOver job;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return !handovers_.empty(); })) return;
      job = std::move(handovers_.front());
      handovers_.pop_front();
      ++busy_;
    }
    // Hashing a large file takes a while: the next download goes on meanwhile.
    PackageFetch handed = HandOverPackage(std::move(job.package));
    {
      std::scoped_lock lock(mutex_);
      --busy_;
    }
    if (!handed.package) Trace("update: " + handed.problem);
    Post([this, row = job.row, handed = std::move(handed)] {
      UpdateRow& shown = rows_[row];
      queued_[row] = false;
      if (handed.package) {
        shown.package = handed.package;
        shown.state = RowState::kHandedOver;
        shown.checked = shown.check_enabled = false;
        ShowHandedOver(row);
      } else {
        shown.state = RowState::kFailed;
        shown.check_enabled = true;
      }
      ShowRow(row);
      SettleWhenIdle();
    });
  }
}

void UpdatePage::SettleWhenIdle() {
  {
    std::scoped_lock lock(mutex_);
    if (busy_ > 0 || !downloads_.empty() || !handovers_.empty()) return;
  }
  if (std::ranges::any_of(queued_, [](bool queued) { return queued; })) return;
  ShowDownloadButton();
  ShowPageState(PageState::kOffered);
}

void UpdatePage::ShowRow(std::size_t index) {
  if (index >= row_controls_.size()) return;
  CControlUI* control = row_controls_[index];
  const UpdateRow& row = rows_[index];
  control->SetUserData(row.package_url);
  if (auto* check = FindIn<CCheckBoxUI>(control, "check_name_select")) {
    check->SetText(row.name);
    check->Selected(row.checked, false);
    check->SetEnabled(row.check_enabled);
  }
  if (auto* old_rev = FindIn<CLabelUI>(control, "OldRev")) old_rev->SetText(row.installed_text);
  if (auto* new_rev = FindIn<CLabelUI>(control, "updateRev")) new_rev->SetText(row.offered_text);
  if (auto* status = FindIn<CLabelUI>(control, "update_status_text"))
    status->SetText(std::string(RowStateText(row.state)));
  if (auto* progress = FindIn<CSliderUI>(control, "update_progress_value")) {
    progress->SetVisible(row.state == RowState::kDownloading || row.state == RowState::kInstalling);
    progress->SetValue(row.percent);
  }
  if (CControlUI* done = FindIn<CControlUI>(control, "update_status_ok"))
    done->SetVisible(row.state == RowState::kHandedOver);
  if (row.package) {
    control->SetToolTip(row.package->path.string() + "\n" + std::to_string(row.package->size) + " bytes\nSHA-256 " +
                        row.package->sha256);
  }
}

void UpdatePage::ShowPageState(PageState state) {
  state_ = state;
  if (auto* text = Find<CLabelUI>(window_, "Update_Status_text")) text->SetText(std::string(PageStateText(state)));
  if (CControlUI* ring = Find<CControlUI>(window_, "update_status_ring"))
    ring->SetVisible(state == PageState::kChecking);
  if (CControlUI* image = Find<CControlUI>(window_, "update_status_image"))
    image->SetVisible(state != PageState::kChecking);
  if (auto* date = Find<CLabelUI>(window_, "update_last_date"))
    date->SetText(state == PageState::kCurrent ? last_check_date_ : "");
}

void UpdatePage::ShowDownloadButton() {
  if (CControlUI* button = Find<CControlUI>(window_, "update_fw_and_ap")) {
    const bool any = std::ranges::any_of(rows_, [](const UpdateRow& row) { return row.checked && row.check_enabled; });
    button->SetVisible(any);
    button->SetEnabled(any);
  }
}

int UpdatePage::RowOf(const CControlUI* control) const {
  for (; control; control = control->GetParent()) {
    const auto found = std::ranges::find(row_controls_, control);
    if (found != row_controls_.end()) return static_cast<int>(found - row_controls_.begin());
  }
  return -1;
}

void UpdatePage::Confirm() {
  ConfirmCheckedRows(rows_);
  std::vector<Download> jobs;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!IsDueForDownload(rows_[i]) || queued_[i]) continue;
    queued_[i] = true;
    rows_[i].check_enabled = false;
    jobs.push_back({i, rows_[i].package_url, rows_[i].package_name});
  }
  for (std::size_t i = 0; i < rows_.size(); ++i) ShowRow(i);
  if (CControlUI* button = Find<CControlUI>(window_, "update_fw_and_ap")) button->SetEnabled(false);
  if (auto* pages = Find<CTabLayoutUI>(window_, "get_update_tab_layout")) pages->SelectItem(0);
  if (jobs.empty()) return;
  std::scoped_lock lock(mutex_);
  downloads_.insert(downloads_.end(), jobs.begin(), jobs.end());
  wake_.notify_all();
}

void UpdatePage::ShowHandedOver(std::size_t row) {
  const HandedOverPackage& package = *rows_[row].package;
  handed_over_text_ += package.path.filename().string() + "  " + std::to_string(package.size) + " bytes\nSHA-256 " +
                       package.sha256 + "\n";
  if (auto* files = Find<CLabelUI>(window_, "update_handover_files")) {
    files->SetText(handed_over_text_);
    files->SetToolTip(package.path.parent_path().string());
  }
  CControlUI* notice = Find<CControlUI>(window_, "update_tishi_layout");
  if (notice && !notice->IsVisible()) {
    notice->SetVisible(true);
    const Rect& at = window_.GetRect();
    window_.SetRect({at.left, at.top, at.left + kWindowWidth, at.top + kWindowHeight + kNoticeHeight});
  }
  // The folder, never the file: the user decides what to do with it.
  if (desktop_ && !folder_opened_) {
    folder_opened_ = true;
    desktop_->OpenUrl(FolderUrl(package.path.parent_path()));
  }
}

bool UpdatePage::OnNotify(TNotifyUI& msg) {
  if (!msg.sender) return false;
  const std::string& name = msg.sender->GetName();
  if (msg.type == notify::kSelectChanged && name == "check_name_select") {
    const int row = RowOf(msg.sender);
    if (row < 0) return true;
    const auto* check = dynamic_cast<const COptionUI*>(msg.sender);
    rows_[static_cast<std::size_t>(row)].checked = check && check->IsSelected();
    ShowDownloadButton();
    return true;
  }
  if (msg.type != notify::kClick) return false;
  if (name == "update_fw_and_ap") {
    if (auto* pages = Find<CTabLayoutUI>(window_, "get_update_tab_layout")) pages->SelectItem(1);
  } else if (name == "update_OK_btn") {
    Confirm();
  } else if (name == "set_in_update_wnd_btn") {
    if (CControlUI* notice = Find<CControlUI>(window_, "update_tishi_layout")) notice->SetVisible(false);
    const Rect& at = window_.GetRect();
    window_.SetRect({at.left, at.top, at.left + kWindowWidth, at.top + kWindowHeight});
  } else if (name == "homepage_btn") {
    if (desktop_) desktop_->OpenUrl(std::string(kHomePage));
  } else {
    return false;
  }
  return true;
}

}  // namespace brontal
