#pragma once

#include <QLayout>
#include <QMargins>
#include <QRect>
#include <memory>
#include <vector>

namespace brontal {

class CControlUI;

// Places a container's child widgets the way the skin's layouts ask for:
// children with a fixed width or height get it, the others share what is
// left in equal parts; "padding" (left,top,right,bottom) keeps space around a
// child, the container's "inset" space inside its edges and "childpadding"
// space between neighbours. Overlay places every child over the whole area
// (plain containers and tab pages). Floating children sit at their own
// rectangle, given in window coordinates. Hidden children take no space.
//
// The layout keeps each child's placement as last given, so that it never
// reads a control that may be gone.
class SkinLayout final : public QLayout {
 public:
  enum class Direction { kHorizontal, kVertical, kOverlay };

  struct Placement {
    int fixed_width = 0;  // 0: a share of the free space
    int fixed_height = 0;
    bool floating = false;
    QRect float_rect{};  // window coordinates
    QMargins padding{};
    static Placement Of(const CControlUI& control);
    friend bool operator==(const Placement&, const Placement&) = default;
  };

  // The container's own "inset" and "childpadding".
  struct Box {
    QMargins inset{};
    int child_padding = 0;
    static Box Of(const CControlUI& container);
    friend bool operator==(const Box&, const Box&) = default;
  };

  struct Child {
    QWidget* widget;
    Placement placement;
  };

  SkinLayout(QWidget* parent, Direction direction);
  ~SkinLayout() override;

  void SetBox(const Box& box);
  // The children in order; widgets not listed leave the layout.
  void SetChildren(const std::vector<Child>& children);
  // A child's new placement; a new layout pass only when it differs.
  void SetPlacement(const QWidget* widget, const Placement& placement);
  void Remove(const QWidget* widget);

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override { return static_cast<int>(entries_.size()); }
  QSize sizeHint() const override;
  QSize minimumSize() const override { return {0, 0}; }
  void setGeometry(const QRect& rect) override;

 private:
  struct Entry {
    std::unique_ptr<QLayoutItem> item;
    Placement placement;
  };

  std::vector<Entry>::iterator Find(const QWidget* widget);
  void PlaceInLine(const QRect& inner);
  void PlaceFloating(const Entry& entry);

  Direction direction_;
  Box box_;
  std::vector<Entry> entries_;
};

}  // namespace brontal
