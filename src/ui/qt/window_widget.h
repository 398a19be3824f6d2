#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

namespace brontal {

class WindowImplBase;

// The top-level widget of one toolkit window. It shows the window's state
// (title, rectangle, visibility, modality, default font) and hands the user's
// moves, resizes and close requests back to the window. A window whose layout
// has a "caption" rectangle draws its own title bar: it gets no frame, and a
// press in that band that no control takes drags the window. The window
// learns of its activation (kWmActivate) and of the pointer entering and
// leaving it (kWmMouseHover, kWmMouseLeave) as posted messages.
class WindowWidget final : public QWidget {
 public:
  // `report_positions` writes the laid-out rectangles back to the controls.
  WindowWidget(WindowImplBase& window, std::function<void()> report_positions);

  WindowImplBase* Window() const { return window_; }
  // The toolkit window is gone: nothing reaches it any more.
  void Detach();

  // Takes the window's current state.
  void Apply();

  // Layouts call this after placing widgets; the controls learn their new
  // rectangles once the event loop comes round, or sooner through
  // ReportPositionsNow when input needs them.
  void MarkPositionsStale();
  void ReportPositionsNow();

 protected:
  bool event(QEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void ApplyFlags();
  void ReportRect();
  void Post(std::uint32_t message, std::uintptr_t wparam = 0);

  WindowImplBase* window_;
  std::function<void()> report_positions_;
  bool positions_stale_ = false;
};

}  // namespace brontal
