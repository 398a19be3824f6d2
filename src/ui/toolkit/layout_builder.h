#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/toolkit/control.h"

namespace pugi {
class xml_node;
}

namespace brontal {

class CControlFactory;
class XmlFile;

struct LayoutResult {
  std::unique_ptr<CControlUI> root;  // nullptr on failure
  std::map<std::string, std::string, std::less<>> window_attributes;
  std::string error;  // "FILE:LINE: reason" on failure
};

// Builds a control tree from a layout file:
//
//   <Window size="800,572">                  window attributes, for the view
//     <Default class="Button" height="30"/>  attributes every later Button starts with
//     <VerticalLayout name="root">           the one root control
//       <Button name="closebtn" text="x"/>
//       <Include source="strip.xml"/>        the root control of another file (of a
//     </VerticalLayout>                      <Window> file too), found beside the including file
//   </Window>
//
// An element names a class of the factory or, failing that, one that `custom`
// makes (the window's CreateControl). Unknown classes, malformed attribute
// values, children under a non-container, missing files and include cycles
// fail the build with the file and line.
class LayoutBuilder {
 public:
  using CustomCreator = std::function<std::unique_ptr<CControlUI>(std::string_view class_name)>;

  LayoutBuilder(const CControlFactory& factory, CustomCreator custom);

  LayoutResult Build(const std::filesystem::path& file);

 private:
  std::unique_ptr<CControlUI> BuildControl(const XmlFile& file, const pugi::xml_node& node);
  std::unique_ptr<CControlUI> BuildInclude(const XmlFile& file, const pugi::xml_node& node);
  bool ApplyAttributes(CControlUI& control, const XmlFile& file, const pugi::xml_node& node);
  bool AddChildren(CControlUI& control, const XmlFile& file, const pugi::xml_node& node);
  std::unique_ptr<CControlUI> Fail(std::string error);

  const CControlFactory& factory_;
  CustomCreator custom_;
  std::map<std::string, std::vector<std::pair<std::string, std::string>>, std::less<>> defaults_;
  std::vector<std::filesystem::path> open_files_;  // the include chain, to refuse cycles
  std::string error_;
};

}  // namespace brontal
