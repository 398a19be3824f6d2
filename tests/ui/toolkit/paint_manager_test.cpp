#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "test_window.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/notify.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

// The "timer" notifications as (virtual ms, sender, id).
struct Tick {
  long long at;
  std::string sender;
  std::uintptr_t id;
  friend bool operator==(const Tick&, const Tick&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Tick& t) {
    return out << t.sender << "#" << t.id << "@" << t.at;
  }
};

class TimerTest : public ToolkitTest {
 protected:
  TimerTest() {
    window.on_notify = [this](TNotifyUI& msg) {
      if (msg.type == notify::kTimer) ticks.push_back({loop.Now().count(), msg.sender->GetName(), msg.wparam});
    };
  }
  CPaintManagerUI& pm() { return window.GetPaintManager(); }

  std::vector<Tick> ticks;
};

TEST_F(TimerTest, FireInOrderAsTimerNotifications) {
  auto& entry = Find<CControlUI>("apply_btn");
  auto& other = Find<CControlUI>("badge");
  ASSERT_TRUE(pm().SetTimer(entry, 1000, 10ms));
  ASSERT_TRUE(pm().SetTimer(other, 1005, 25ms));
  loop.AdvanceBy(30ms);
  EXPECT_THAT(ticks, ElementsAre(Tick{10, "apply_btn", 1000}, Tick{20, "apply_btn", 1000}, Tick{25, "badge", 1005},
                                 Tick{30, "apply_btn", 1000}));
}

TEST_F(TimerTest, RearmFromTheHandlerReplacesThePeriod) {
  // The shape of a connect timer: first after 500 ms, then retried every 3000 ms.
  auto& entry = Find<CControlUI>("apply_btn");
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.type != notify::kTimer) return;
    ticks.push_back({loop.Now().count(), msg.sender->GetName(), msg.wparam});
    pm().SetTimer(entry, 1001, 3000ms);
  };
  pm().SetTimer(entry, 1001, 500ms);
  pm().SetTimer(entry, 1001, 500ms);  // setting it again restarts, never doubles
  loop.AdvanceBy(6500ms);
  EXPECT_THAT(ticks, ElementsAre(Tick{500, "apply_btn", 1001}, Tick{3500, "apply_btn", 1001},
                                 Tick{6500, "apply_btn", 1001}));
}

TEST_F(TimerTest, KilledInItsOwnHandlerFiresOnce) {
  auto& entry = Find<CControlUI>("apply_btn");
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.type != notify::kTimer) return;
    ticks.push_back({loop.Now().count(), msg.sender->GetName(), msg.wparam});
    EXPECT_TRUE(pm().KillTimer(entry, 1002));
  };
  pm().SetTimer(entry, 1002, 50ms);
  loop.AdvanceBy(200ms);
  EXPECT_THAT(ticks, ElementsAre(Tick{50, "apply_btn", 1002}));
  EXPECT_FALSE(pm().HasTimer(entry, 1002));
}

TEST_F(TimerTest, EndWithTheirControlAndWithTheWindow) {
  auto& toolbar = Find<CContainerUI>("toolbar");
  pm().SetTimer(Find<CControlUI>("apply_btn"), 1, 10ms);
  pm().SetTimer(Find<CControlUI>("strip_btn"), 2, 10ms);
  toolbar.RemoveAll();
  loop.AdvanceBy(10ms);
  EXPECT_THAT(ticks, ElementsAre(Tick{10, "strip_btn", 2}));
  window.Close();
  loop.AdvanceBy(100ms);
  EXPECT_EQ(ticks.size(), 1u);
  EXPECT_FALSE(pm().SetTimer(Find<CControlUI>("strip_btn"), 3, 10ms));
}

TEST_F(TimerTest, RefusedForAControlOfNoWindow) {
  CControlUI loose;
  EXPECT_FALSE(pm().SetTimer(loose, 1, 10ms));
}

class RecordingPump : public CNotifyPump {
 public:
  explicit RecordingPump(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  void Notify(TNotifyUI& msg) override { log_.push_back(name_ + ":" + msg.sender->GetName()); }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST_F(ToolkitTest, NotifyPumpsHearTheirScopeAfterTheWindow) {
  std::vector<std::string> log;
  RecordingPump page(log, "page"), everything(log, "all");
  window.on_notify = [&](TNotifyUI& msg) { log.push_back("window:" + msg.sender->GetName()); };
  auto& pm = window.GetPaintManager();
  pm.AddNotifyPump(page, &Find<CControlUI>("page_1"));
  pm.AddNotifyPump(everything);
  Find<CControlUI>("page_1_btn").SendNotify("click");
  Find<CControlUI>("apply_btn").SendNotify("click");
  EXPECT_THAT(log, ElementsAre("window:page_1_btn", "all:page_1_btn", "page:page_1_btn", "window:apply_btn",
                               "all:apply_btn"));
}

TEST_F(ToolkitTest, PumpRemovedByAnEarlierHandlerIsSkipped) {
  std::vector<std::string> log;
  RecordingPump pump(log, "pump");
  auto& pm = window.GetPaintManager();
  pm.AddNotifyPump(pump, &Find<CControlUI>("toolbar"));
  window.on_notify = [&](TNotifyUI&) { pm.RemoveNotifyPump(pump); };
  Find<CControlUI>("apply_btn").SendNotify("click");
  EXPECT_THAT(log, IsEmpty());
}

// The shape of a device object: a container that hears its own page.
class SelfPumpingPanel : public CHorizontalLayoutUI, public CNotifyPump {
 public:
  explicit SelfPumpingPanel(std::vector<std::string>& log) : log_(log) {}
  void Notify(TNotifyUI& msg) override { log_.push_back(msg.sender->GetName()); }

 private:
  std::vector<std::string>& log_;
};

TEST_F(ToolkitTest, PanelThatIsItsOwnPump) {
  std::vector<std::string> log;
  auto* panel = static_cast<SelfPumpingPanel*>(
      Find<CContainerUI>("root").Add(std::make_unique<SelfPumpingPanel>(log)));
  auto button = std::make_unique<CButtonUI>();
  button->SetName("panel_btn");
  auto* panel_button = static_cast<CButtonUI*>(panel->Add(std::move(button)));
  window.GetPaintManager().AddNotifyPump(*panel, panel);
  panel_button->Activate();
  Find<CButtonUI>("apply_btn").Activate();
  Find<CContainerUI>("root").Remove(panel);
  Find<CButtonUI>("apply_btn").Activate();
  EXPECT_THAT(log, ElementsAre("panel_btn"));
  EXPECT_EQ(window.notes.size(), 3u);
}

TEST_F(ToolkitTest, FocusLossOfARemovedControlSendsNothing) {
  auto& pm = window.GetPaintManager();
  pm.SetFocus(&Find<CControlUI>("red_edit"));
  EXPECT_TRUE(Find<CControlUI>("red_edit").IsFocused());
  Find<CContainerUI>("root").Remove(&Find<CControlUI>("red_edit"));
  EXPECT_EQ(pm.GetFocus(), nullptr);
  pm.SetFocus(&Find<CControlUI>("apply_btn"));
  EXPECT_THAT(window.notes, IsEmpty());
}

TEST_F(ToolkitTest, WindowFontsComeBeforeSharedOnes) {
  auto& pm = window.GetPaintManager();
  pm.AddFont(0, {"Shared Face", 15}, true);
  pm.AddFont(1, {"Shared Face", 14, false, true}, true);
  pm.SetDefaultFont({"Shared Face", 15}, true);
  pm.AddFont(1, {"Own Face", 18}, false);
  EXPECT_EQ(pm.GetFont(0)->face, "Shared Face");
  EXPECT_EQ(pm.GetFont(1)->face, "Own Face");
  EXPECT_EQ(pm.GetDefaultFont()->face, "Shared Face");
  pm.RemoveAllFonts(true);
  EXPECT_EQ(pm.GetFont(0), nullptr);
  EXPECT_FALSE(pm.GetDefaultFont().has_value());
  EXPECT_EQ(pm.GetFont(1)->face, "Own Face");
}

TEST_F(ToolkitTest, ScaleOutsideTheRangeIsRefused) {
  auto& pm = window.GetPaintManager();
  EXPECT_TRUE(pm.SetScale(150));
  EXPECT_FALSE(pm.SetScale(0));
  EXPECT_FALSE(pm.SetScale(501));
  EXPECT_EQ(pm.GetScale(), 150);
}

}  // namespace
}  // namespace brontal::testing
