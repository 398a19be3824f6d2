#pragma once

#include "ui/toolkit/label.h"

namespace brontal {

// A single-line text field. SetText is silent; the user's typing sends
// "textchanged", and leaving the field (the paint manager moving the focus
// away) sends "killfocus", where the programs commit the text.
class CEditUI : public CLabelUI {
 public:
  std::string_view GetClass() const override { return "Edit"; }

  // The user's edit; false when the field cannot take input.
  bool UserEditText(std::string text);
};

}  // namespace brontal
