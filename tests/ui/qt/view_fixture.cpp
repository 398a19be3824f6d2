#include "view_fixture.h"

#include <QApplication>
#include <QTest>
#include <array>
#include <memory>

namespace brontal::testing {

namespace {

class QtApplicationEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_.data());
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[17] = "ui_qt_view_tests";
  std::array<char*, 2> argv_ = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kApplication = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

void Pump() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

ViewTest::ViewTest() {
  toolkit.Resources().SetSkinFolder(UI_TEST_DATA);
  std::string error;
  if (!toolkit.Resources().LoadIndex("res.xml", error)) throw std::runtime_error(error);
  toolkit.Factory().Register("CFactoryBadgeUI", [] { return std::make_unique<CFactoryBadgeUI>(); });
  if (!window.Create(nullptr, "Panel")) throw std::runtime_error(window.GetCreateError());
  window.ShowWindow();
  if (!QTest::qWaitForWindowExposed(&Top())) throw std::runtime_error("the panel was never exposed");
  Pump();
  window.notes.clear();
}

}  // namespace brontal::testing
