#include "ui/toolkit/layout_builder.h"

#include <algorithm>
#include <string_view>

#include "ui/toolkit/container.h"
#include "ui/toolkit/control_factory.h"
#include "ui/toolkit/xml_file.h"

namespace brontal {
namespace {

constexpr std::string_view kWindowElement = "Window";
constexpr std::string_view kDefaultElement = "Default";
constexpr std::string_view kIncludeElement = "Include";

}  // namespace

LayoutBuilder::LayoutBuilder(const CControlFactory& factory, CustomCreator custom)
    : factory_(factory), custom_(std::move(custom)) {}

std::unique_ptr<CControlUI> LayoutBuilder::Fail(std::string error) {
  if (error_.empty()) error_ = std::move(error);
  return nullptr;
}

LayoutResult LayoutBuilder::Build(const std::filesystem::path& path) {
  LayoutResult result;
  XmlFile file;
  if (!file.Load(path, result.error)) return result;
  const pugi::xml_node window = file.Root();
  if (window.name() != kWindowElement) {
    result.error = file.Where(window) + ": the root element must be <Window>, not <" + window.name() + ">";
    return result;
  }
  for (const pugi::xml_attribute attribute : window.attributes()) {
    result.window_attributes.insert_or_assign(attribute.name(), attribute.value());
  }
  open_files_ = {std::filesystem::weakly_canonical(path)};
  for (const pugi::xml_node node : window.children()) {
    if (node.type() != pugi::node_element) continue;
    if (node.name() == kDefaultElement) {
      const std::string_view class_name = node.attribute("class").as_string();
      if (class_name.empty()) {
        result.error = file.Where(node) + ": <Default> without class";
        return result;
      }
      auto& attributes = defaults_[std::string(class_name)];
      for (const pugi::xml_attribute attribute : node.attributes()) {
        if (attribute.name() != std::string_view("class")) attributes.emplace_back(attribute.name(), attribute.value());
      }
      continue;
    }
    if (result.root) {
      result.root.reset();
      result.error = file.Where(node) + ": a window has one root control; <" + node.name() + "> is a second";
      return result;
    }
    result.root = BuildControl(file, node);
    if (!result.root) {
      result.error = std::move(error_);
      return result;
    }
  }
  if (!result.root) result.error = file.Where(window) + ": <Window> holds no control";
  return result;
}

std::unique_ptr<CControlUI> LayoutBuilder::BuildControl(const XmlFile& file, const pugi::xml_node& node) {
  const std::string_view class_name = node.name();
  if (class_name == kIncludeElement) return BuildInclude(file, node);
  std::unique_ptr<CControlUI> control = factory_.Create(class_name);
  if (!control && custom_) control = custom_(class_name);
  if (!control) return Fail(file.Where(node) + ": unknown control class <" + std::string(class_name) + ">");
  if (!ApplyAttributes(*control, file, node) || !AddChildren(*control, file, node)) return nullptr;
  return control;
}

bool LayoutBuilder::ApplyAttributes(CControlUI& control, const XmlFile& file, const pugi::xml_node& node) {
  std::vector<std::pair<std::string, std::string>> attributes;
  if (const auto it = defaults_.find(node.name()); it != defaults_.end()) attributes = it->second;
  for (const pugi::xml_attribute attribute : node.attributes()) attributes.emplace_back(attribute.name(), attribute.value());
  for (const auto& [name, value] : attributes) {
    if (!control.SetAttribute(name, value)) {
      Fail(file.Where(node) + ": bad value \"" + value + "\" for attribute " + name + " of <" + node.name() + ">");
      return false;
    }
  }
  return true;
}

bool LayoutBuilder::AddChildren(CControlUI& control, const XmlFile& file, const pugi::xml_node& node) {
  auto* container = dynamic_cast<CContainerUI*>(&control);
  for (const pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    if (!container) {
      Fail(file.Where(child) + ": <" + node.name() + "> cannot hold child controls");
      return false;
    }
    std::unique_ptr<CControlUI> built = BuildControl(file, child);
    if (!built) return false;
    container->Add(std::move(built));
  }
  return true;
}

std::unique_ptr<CControlUI> LayoutBuilder::BuildInclude(const XmlFile& file, const pugi::xml_node& node) {
  const std::string_view source = node.attribute("source").as_string();
  if (source.empty()) return Fail(file.Where(node) + ": <Include> without source");
  const std::filesystem::path path = file.Path().parent_path() / source;
  const std::string included_from = file.Where(node);
  const auto canonical = std::filesystem::weakly_canonical(path);
  if (std::find(open_files_.begin(), open_files_.end(), canonical) != open_files_.end()) {
    return Fail(included_from + ": include cycle through " + path.string());
  }
  XmlFile included;
  std::string error;
  if (!included.Load(path, error)) return Fail(included_from + ": " + error);
  pugi::xml_node top = included.Root();
  if (top.name() == kWindowElement) {
    // A window's own layout may also stand inside another window: its root
    // control comes along, its window attributes do not.
    pugi::xml_node control;
    for (const pugi::xml_node child : top.children())
      if (child.type() == pugi::node_element && child.name() != kDefaultElement) {
        control = child;
        break;
      }
    if (!control) return Fail(included.Where(top) + ": <Window> holds no control");
    top = control;
  }
  open_files_.push_back(canonical);
  std::unique_ptr<CControlUI> root = BuildControl(included, top);
  open_files_.pop_back();
  return root;
}

}  // namespace brontal
