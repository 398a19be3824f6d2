#include "key_picture_window.h"

#include <memory>
#include <stdexcept>

#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/select_panel_ui.h"

namespace brontal::testing {

KeyPictureTest::KeyPictureTest() : WindowFixture(CONTROLS_TEST_DATA "/key_picture.xml") {
  toolkit.Factory().Register("CSelectPanelUI", [] { return std::make_unique<CSelectPanelUI>(); });
  toolkit.Factory().Register("CDeviceKeyButtonUI", [] { return std::make_unique<CDeviceKeyButtonUI>(); });
  if (!window.Create(nullptr, "Keys")) throw std::runtime_error(window.GetCreateError());
  loop.RunUntilIdle();  // "windowinit"
  window.notes.clear();
}

}  // namespace brontal::testing
