#include "ui/qt/qt_view.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QScreen>
#include <vector>

#include "ui/qt/control_binding.h"
#include "ui/qt/skin_layout.h"
#include "ui/qt/skin_style_sheet.h"
#include "ui/qt/widget_factory.h"
#include "ui/qt/window_widget.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/toolkit.h"
#include "ui/toolkit/window.h"

namespace brontal {
namespace {

// Every control at or below `root`.
template <typename Visit>
void ForEachControl(CControlUI& root, Visit visit) {
  FindControlIf(root, [&visit](CControlUI& control) {
    visit(control);
    return false;
  });
}

}  // namespace

QtView::QtView(Toolkit& toolkit) : toolkit_(toolkit), focus_watch_(std::make_unique<QObject>()) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    toolkit_.SetScreenRect({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
  }
  QObject::connect(qApp, &QApplication::focusChanged, focus_watch_.get(),
                   [this](QWidget*, QWidget* now) { FocusMoved(now); });
  toolkit_.SetHost(this);
  for (WindowImplBase* window : toolkit_.Windows()) WindowChanged(*window);
}

QtView::~QtView() {
  toolkit_.SetHost(nullptr);
  focus_watch_.reset();
  by_widget_.clear();
  bindings_.clear();
  for (const auto& [window, widget] : windows_) delete widget;
}

bool QtView::ApplySkinStyleSheet(std::string& error) const {
  const auto sheet = LoadSkinStyleSheet(toolkit_.Resources().SkinFolder(), error);
  if (!sheet) return false;
  qApp->setStyleSheet(*sheet);
  return true;
}

QWidget* QtView::WidgetOf(const WindowImplBase& window) const {
  const auto it = windows_.find(&window);
  return it == windows_.end() ? nullptr : it->second;
}

QWidget* QtView::WidgetOf(const CControlUI& control) const {
  const ControlBinding* binding = BindingOf(control);
  return binding ? binding->Widget() : nullptr;
}

ControlBinding* QtView::BindingOf(const CControlUI& control) const {
  const auto it = bindings_.find(&control);
  return it == bindings_.end() ? nullptr : it->second.get();
}

void QtView::WindowChanged(WindowImplBase& window) {
  const auto it = windows_.find(&window);
  if (it == windows_.end()) {
    // Hidden windows get no widgets until they are first shown.
    if (window.IsVisible()) Show(window).Apply();
    return;
  }
  it->second->Apply();
  // The window's font table may have changed.
  if (CControlUI* root = window.GetPaintManager().GetRoot()) {
    ForEachControl(*root, [this](CControlUI& control) {
      if (ControlBinding* binding = BindingOf(control)) binding->SyncFont();
    });
  }
}

WindowWidget& QtView::Show(WindowImplBase& window) {
  auto* widget = new WindowWidget(window, [this, &window] { ReportPositions(window); });
  windows_.emplace(&window, widget);
  if (CControlUI* root = window.GetPaintManager().GetRoot()) {
    ControlBinding& binding = Bind(*root, *widget);
    static_cast<SkinLayout*>(widget->layout())->SetChildren({{binding.Widget(), SkinLayout::Placement::Of(*root)}});
  }
  return *widget;
}

ControlBinding& QtView::Bind(CControlUI& control, QWidget& parent) {
  std::unique_ptr<ControlBinding> created = CreateBinding(control, parent);
  ControlBinding& binding = *created;
  by_widget_.emplace(binding.Widget(), &binding);
  bindings_.insert_or_assign(&control, std::move(created));
  BindChildren(binding);
  binding.Sync();
  return binding;
}

void QtView::BindChildren(ControlBinding& binding) {
  auto* container = dynamic_cast<CContainerUI*>(&binding.Control());
  if (!container) return;
  std::vector<ChildWidget> children;
  for (int i = 0; i < container->GetCount(); ++i) {
    CControlUI& child = *container->GetItemAt(i);
    QWidget* widget = nullptr;
    if (binding.BindsChildren()) {
      const ControlBinding* existing = BindingOf(child);
      widget = existing ? existing->Widget() : Bind(child, *binding.Widget()).Widget();
    }
    children.push_back({&child, widget});
  }
  binding.ChildrenChanged(children);
}

void QtView::WindowDestroyed(WindowImplBase& window) {
  const auto it = windows_.find(&window);
  if (it == windows_.end()) return;
  WindowWidget* widget = it->second;
  windows_.erase(it);
  if (CControlUI* root = window.GetPaintManager().GetRoot()) Unbind(*root);
  widget->Detach();
  widget->hide();
  // Later: this may run inside one of the window's own widget signals.
  widget->deleteLater();
}

void QtView::Unbind(CControlUI& root) {
  ForEachControl(root, [this](CControlUI& control) {
    const auto it = bindings_.find(&control);
    if (it == bindings_.end()) return;
    by_widget_.erase(it->second->Widget());
    bindings_.erase(it);
  });
}

void QtView::ControlChanged(CControlUI& control) {
  if (reporting_positions_) return;
  ControlBinding* binding = BindingOf(control);
  if (!binding) {
    // A row of a combo box or list.
    const CContainerUI* parent = control.GetParent();
    if (ControlBinding* owner = parent ? BindingOf(*parent) : nullptr) owner->ChildChanged(control);
    return;
  }
  binding->Sync();
  // A tab layout may show another page now.
  if (const auto* container = dynamic_cast<const CContainerUI*>(&control)) {
    for (int i = 0; i < container->GetCount(); ++i) {
      if (ControlBinding* child = BindingOf(*container->GetItemAt(i))) child->SyncVisibility();
    }
  }
}

void QtView::ControlRepainted(CControlUI& control) {
  if (reporting_positions_) return;
  if (ControlBinding* binding = BindingOf(control))
    binding->Repaint();
  else
    ControlChanged(control);
}

void QtView::ChildrenChanged(CContainerUI& container) {
  ControlBinding* binding = BindingOf(container);
  if (!binding) return;
  BindChildren(*binding);
  binding->Sync();  // a list's selection may have moved with its rows
}

void QtView::ControlDestroyed(CControlUI& control) {
  const auto it = bindings_.find(&control);
  if (it == bindings_.end()) return;
  by_widget_.erase(it->second->Widget());
  bindings_.erase(it);
}

void QtView::ReportPositions(WindowImplBase& window) {
  const auto it = windows_.find(&window);
  CControlUI* root = window.GetPaintManager().GetRoot();
  if (it == windows_.end() || !root) return;
  const WindowWidget* top = it->second;
  // Only the rectangles change; the widgets need no update.
  const QScopedValueRollback quiet(reporting_positions_, true);
  ForEachControl(*root, [this, top](CControlUI& control) {
    const ControlBinding* binding = BindingOf(control);
    const QWidget* widget = binding ? binding->Widget() : nullptr;
    // A floating control's rectangle is its own; a hidden one keeps its last.
    if (!widget || control.IsFloat() || !widget->isVisibleTo(top)) return;
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    control.SetPos({at.x(), at.y(), at.x() + widget->width(), at.y() + widget->height()});
  });
}

void QtView::FocusMoved(QWidget* now) {
  // The application losing the focus leaves each window's own focus alone.
  if (!now) return;
  auto* top = dynamic_cast<WindowWidget*>(now->window());
  if (!top || !top->Window()) return;
  ControlBinding* focused = nullptr;
  for (const QWidget* widget = now; widget && widget != top && !focused; widget = widget->parentWidget()) {
    if (const auto it = by_widget_.find(widget); it != by_widget_.end()) focused = it->second;
  }
  top->Window()->GetPaintManager().SetFocus(focused ? &focused->Control() : nullptr);
}

}  // namespace brontal
