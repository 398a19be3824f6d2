#include "ui/qt/skin_layout.h"

#include <QWidget>
#include <algorithm>

#include "ui/qt/window_widget.h"
#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/control.h"

namespace brontal {
namespace {

QMargins MarginsAttribute(const CControlUI& control, std::string_view name) {
  const auto rect = ParseRectAttribute(control.GetAttribute(name));
  return rect ? QMargins(rect->left, rect->top, rect->right, rect->bottom) : QMargins();
}

}  // namespace

SkinLayout::Placement SkinLayout::Placement::Of(const CControlUI& control) {
  const Rect& pos = control.GetPos();
  return {control.GetFixedWidth(), control.GetFixedHeight(), control.IsFloat(),
          QRect(pos.left, pos.top, pos.Width(), pos.Height()), MarginsAttribute(control, "padding")};
}

SkinLayout::Box SkinLayout::Box::Of(const CControlUI& container) {
  return {MarginsAttribute(container, "inset"), ParseIntAttribute(container.GetAttribute("childpadding")).value_or(0)};
}

SkinLayout::SkinLayout(QWidget* parent, Direction direction) : QLayout(parent), direction_(direction) {
  setContentsMargins(0, 0, 0, 0);
  setSizeConstraint(QLayout::SetNoConstraint);
}

SkinLayout::~SkinLayout() = default;

void SkinLayout::SetBox(const Box& box) {
  if (box == box_) return;
  box_ = box;
  invalidate();
}

void SkinLayout::SetChildren(const std::vector<Child>& children) {
  std::vector<Entry> ordered;
  ordered.reserve(children.size());
  for (const Child& child : children) {
    const auto it = Find(child.widget);
    if (it != entries_.end()) {
      ordered.push_back({std::move(it->item), child.placement});
    } else {
      addChildWidget(child.widget);
      ordered.push_back({std::make_unique<QWidgetItem>(child.widget), child.placement});
    }
  }
  entries_ = std::move(ordered);
  invalidate();
}

void SkinLayout::SetPlacement(const QWidget* widget, const Placement& placement) {
  const auto it = Find(widget);
  if (it == entries_.end() || it->placement == placement) return;
  it->placement = placement;
  invalidate();
}

void SkinLayout::Remove(const QWidget* widget) {
  const auto it = Find(widget);
  if (it == entries_.end()) return;
  entries_.erase(it);
  invalidate();
}

std::vector<SkinLayout::Entry>::iterator SkinLayout::Find(const QWidget* widget) {
  return std::find_if(entries_.begin(), entries_.end(),
                      [widget](const Entry& e) { return e.item && e.item->widget() == widget; });
}

void SkinLayout::addItem(QLayoutItem* item) { entries_.push_back({std::unique_ptr<QLayoutItem>(item), {}}); }

QLayoutItem* SkinLayout::itemAt(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return entries_[static_cast<std::size_t>(index)].item.get();
}

QLayoutItem* SkinLayout::takeAt(int index) {
  if (index < 0 || index >= count()) return nullptr;
  QLayoutItem* item = entries_[static_cast<std::size_t>(index)].item.release();
  entries_.erase(entries_.begin() + index);
  return item;
}

QSize SkinLayout::sizeHint() const {
  const bool horizontal = direction_ == Direction::kHorizontal;
  int along = 0;
  int across = 0;
  int placed = 0;
  for (const Entry& entry : entries_) {
    const Placement& p = entry.placement;
    if (p.floating) continue;
    const int width = p.fixed_width + p.padding.left() + p.padding.right();
    const int height = p.fixed_height + p.padding.top() + p.padding.bottom();
    if (direction_ == Direction::kOverlay) {
      along = std::max(along, width);
      across = std::max(across, height);
      continue;
    }
    along += horizontal ? width : height;
    across = std::max(across, horizontal ? height : width);
    ++placed;
  }
  along += box_.child_padding * std::max(0, placed - 1);
  const QSize inner = horizontal || direction_ == Direction::kOverlay ? QSize(along, across) : QSize(across, along);
  return inner.grownBy(box_.inset);
}

void SkinLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  const QRect inner = rect.marginsRemoved(box_.inset);
  if (direction_ == Direction::kOverlay) {
    for (const Entry& entry : entries_) {
      const Placement& p = entry.placement;
      if (entry.item->isEmpty() || p.floating) continue;
      QRect area = inner.marginsRemoved(p.padding);
      if (p.fixed_width > 0) area.setWidth(p.fixed_width);
      if (p.fixed_height > 0) area.setHeight(p.fixed_height);
      // Straight to the widget: a widget item would bound it by Qt's size policies.
      entry.item->widget()->setGeometry(area);
    }
  } else {
    PlaceInLine(inner);
  }
  for (const Entry& entry : entries_) {
    if (!entry.item->isEmpty() && entry.placement.floating) PlaceFloating(entry);
  }
  if (QWidget* parent = parentWidget()) {
    if (auto* window = dynamic_cast<WindowWidget*>(parent->window())) window->MarkPositionsStale();
  }
}

void SkinLayout::PlaceInLine(const QRect& inner) {
  const bool horizontal = direction_ == Direction::kHorizontal;
  std::vector<const Entry*> line;
  for (const Entry& entry : entries_) {
    if (!entry.item->isEmpty() && !entry.placement.floating) line.push_back(&entry);
  }
  if (line.empty()) return;
  const auto fixed_along = [horizontal](const Placement& p) { return horizontal ? p.fixed_width : p.fixed_height; };
  const auto before = [horizontal](const Placement& p) { return horizontal ? p.padding.left() : p.padding.top(); };
  const auto after = [horizontal](const Placement& p) { return horizontal ? p.padding.right() : p.padding.bottom(); };

  int taken = box_.child_padding * static_cast<int>(line.size() - 1);
  int shares = 0;
  for (const Entry* entry : line) {
    const Placement& p = entry->placement;
    taken += before(p) + fixed_along(p) + after(p);
    if (fixed_along(p) == 0) ++shares;
  }
  const int free_space = std::max(0, (horizontal ? inner.width() : inner.height()) - taken);

  int share = 0;
  int at = horizontal ? inner.left() : inner.top();
  for (const Entry* entry : line) {
    const Placement& p = entry->placement;
    int length = fixed_along(p);
    if (length == 0) {
      // Equal parts; the rounding remainder spreads over them.
      ++share;
      length = free_space * share / shares - free_space * (share - 1) / shares;
    }
    at += before(p);
    QRect area;
    if (horizontal) {
      const int height = p.fixed_height > 0 ? p.fixed_height : inner.height() - p.padding.top() - p.padding.bottom();
      area = QRect(at, inner.top() + p.padding.top(), length, std::max(0, height));
    } else {
      const int width = p.fixed_width > 0 ? p.fixed_width : inner.width() - p.padding.left() - p.padding.right();
      area = QRect(inner.left() + p.padding.left(), at, std::max(0, width), length);
    }
    entry->item->widget()->setGeometry(area);
    at += length + after(p) + box_.child_padding;
  }
}

void SkinLayout::PlaceFloating(const Entry& entry) {
  QWidget* parent = parentWidget();
  const QPoint origin = parent->mapTo(parent->window(), QPoint(0, 0));
  entry.item->widget()->setGeometry(entry.placement.float_rect.translated(-origin));
}

}  // namespace brontal
