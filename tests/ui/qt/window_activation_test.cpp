#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>
#include <utility>
#include <vector>

#include "view_fixture.h"

namespace brontal::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Seen = std::pair<std::uint32_t, std::uintptr_t>;

// The panel, recording its activation and pointer messages with their wparam.
class WindowActivationTest : public ViewTest {
 public:
  WindowActivationTest() {
    window.on_message = [this](const WindowMessage& message, bool&) -> LRESULT {
      if (message.id == kWmActivate || message.id == kWmMouseHover || message.id == kWmMouseLeave) {
        seen.emplace_back(message.id, message.wparam);
      }
      return 0;
    };
  }

  std::vector<Seen> seen;
};

TEST_F(WindowActivationTest, ActivationReachesTheWindowBothWays) {
  QWidget other;
  other.resize(50, 50);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  Pump();
  seen.clear();

  Top().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Top()));
  Pump();
  EXPECT_THAT(seen, ElementsAre(Seen{kWmActivate, 1}));

  seen.clear();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  Pump();
  EXPECT_THAT(seen, ElementsAre(Seen{kWmActivate, 0}));
}

TEST_F(WindowActivationTest, PointerEnteringAndLeavingReachesTheWindow) {
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), Top().mapToGlobal(QPointF(5, 5)));
  QCoreApplication::sendEvent(&Top(), &enter);
  EXPECT_THAT(seen, IsEmpty());  // posted, as the system's messages are
  Pump();
  EXPECT_THAT(seen, ElementsAre(Seen{kWmMouseHover, 0}));

  seen.clear();
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&Top(), &leave);
  Pump();
  EXPECT_THAT(seen, ElementsAre(Seen{kWmMouseLeave, 0}));
}

}  // namespace
}  // namespace brontal::testing
