#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "ui/toolkit/control.h"

namespace brontal {

// Makes controls by class name: the toolkit's kinds ("Button", "Combo", ...)
// and the program's registered classes. A class registered as "CKeyPadUI" or
// "CKeyPad" is also found under the layout name "KeyPad".
class CControlFactory {
 public:
  using Creator = std::function<std::unique_ptr<CControlUI>()>;

  CControlFactory();

  // A later registration of the same name replaces the earlier one.
  void Register(std::string class_name, Creator creator);
  // nullptr for an unknown class.
  std::unique_ptr<CControlUI> Create(std::string_view class_name) const;

 private:
  std::map<std::string, Creator, std::less<>> creators_;
};

}  // namespace brontal
