#include "ui/qt/qt_desktop_services.h"

#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QIcon>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWidget>
#include <utility>
#include <vector>

#include "support/user_folders.h"
#include "ui/qt/qt_view.h"
#include "ui/toolkit/window.h"
#include "ui/toolkit/window_messages.h"

namespace brontal {
namespace {

// The desktops' own settings tools, tried in order.
bool StartFirst(const std::vector<std::pair<QString, QStringList>>& candidates) {
  for (const auto& [program, arguments] : candidates)
    if (QProcess::startDetached(program, arguments)) return true;
  return false;
}

}  // namespace

void QtDesktopServices::AttachTray(WindowImplBase& main_window) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  WindowImplBase* window = &main_window;
  menu_ = std::make_unique<QMenu>();
  menu_->addAction(QString::fromUtf8(main_window.GetTitle().c_str()),
                   [window] { window->PostMessage(WindowMessage(kMsgTrayIcon, 0, kTrayLeftButtonUp)); });
  menu_->addAction(QObject::tr("About"), [window] { window->PostMessage(WindowMessage(kMsgShowAbout)); });
  menu_->addSeparator();
  menu_->addAction(QObject::tr("Quit"), [window] { window->PostMessage(WindowMessage(kWmDestroy)); });
  const QString icon = QString::fromStdString((ProgramFolder() / "skin" / "common" / "app_icon.png").string());
  tray_ = std::make_unique<QSystemTrayIcon>(QIcon(icon));
  tray_->setToolTip(QString::fromUtf8(main_window.GetTitle().c_str()));
  QObject::connect(tray_.get(), &QSystemTrayIcon::activated, [window](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger)
      window->PostMessage(WindowMessage(kMsgTrayIcon, 0, kTrayLeftButtonUp));
    else if (reason == QSystemTrayIcon::Context)
      window->PostMessage(WindowMessage(kMsgTrayIcon, 0, kTrayRightButtonUp));
  });
  tray_->show();
}

QtDesktopServices::QtDesktopServices(QtView& view) : view_(view) {}

QtDesktopServices::~QtDesktopServices() = default;

void QtDesktopServices::BringToFront(WindowImplBase& window) {
  if (QWidget* widget = view_.WidgetOf(window)) {
    widget->raise();
    widget->activateWindow();
  }
}

void QtDesktopServices::Minimize(WindowImplBase& window) {
  if (QWidget* widget = view_.WidgetOf(window)) widget->showMinimized();
}

void QtDesktopServices::Maximize(WindowImplBase& window) {
  if (QWidget* widget = view_.WidgetOf(window)) widget->showMaximized();
}

void QtDesktopServices::Restore(WindowImplBase& window) {
  QWidget* widget = view_.WidgetOf(window);
  if (widget && (widget->isMinimized() || widget->isMaximized())) widget->showNormal();
}

bool QtDesktopServices::IsMinimized(const WindowImplBase& window) const {
  const QWidget* widget = view_.WidgetOf(window);
  return widget && widget->isMinimized();
}

void QtDesktopServices::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtDesktopServices::OpenSystemSettings(SystemSettings page) {
  const bool keyboard = page == SystemSettings::kKeyboard;
  StartFirst({{"gnome-control-center", {keyboard ? "keyboard" : "mouse"}},
              {"systemsettings", {keyboard ? "kcm_keyboard" : "kcm_mouse"}},
              {"xfce4-" + QString(keyboard ? "keyboard" : "mouse") + "-settings", {}}});
}

void QtDesktopServices::ShowTrayMenu() {
  if (menu_) menu_->popup(QCursor::pos());
}

bool QtDesktopServices::HasTray() const { return tray_ != nullptr; }

std::filesystem::path QtDesktopServices::ChooseFileToOpen(WindowImplBase& owner, const std::string& filter) {
  const QString file =
      QFileDialog::getOpenFileName(view_.WidgetOf(owner), QString(), QString(), QString::fromStdString(filter));
  return file.toStdString();
}

std::filesystem::path QtDesktopServices::ChooseFileToSave(WindowImplBase& owner, const std::string& filter) {
  QFileDialog dialog(view_.WidgetOf(owner), QString(), QString(), QString::fromStdString(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // The dialog asks before replacing a file, so the extension must be its own doing.
  const QRegularExpressionMatch extension = QRegularExpression(R"(\*\.(\w+))").match(dialog.nameFilters().value(0));
  if (extension.hasMatch()) dialog.setDefaultSuffix(extension.captured(1));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace brontal
