#include "profiles/colour_options.h"

#include <cstdio>

#include "profiles/factory_copy.h"
#include "profiles/json_document.h"
#include "profiles/json_fields.h"
#include "profiles/kept_aside.h"
#include "profiles/number_text.h"

namespace brontal {
namespace {

constexpr const char* kRoot = "coloroptioninfo";
constexpr const char* kFixed = "palletDialogcoloroption";
constexpr const char* kFixedSelected = "palletDialogcoloroption_selectitem";
constexpr const char* kCollected = "palletDialogcollectcoloroption";
constexpr const char* kCollectedSelected = "palletDialogcollectcoloroption_selectitem";
constexpr const char* kColour = "color";
constexpr const char* kUserData = "UserData";
constexpr const char* kFilled = "1";

bool IsDocument(const Json::Value& document) { return document.isObject(); }

std::optional<std::uint32_t> SwatchColour(const Json::Value& swatch) {
  const Json::Value& colour = Member(swatch, kColour);
  return colour.isString() ? ParseColourText(colour.asString()) : std::nullopt;
}

int Selection(const Json::Value& selection) { return selection.isNull() ? -1 : ToField<int>(selection); }

Json::Value SwatchObject(const std::optional<std::uint32_t>& colour) {
  Json::Value swatch(Json::objectValue);
  if (colour) swatch[kColour] = FormatColourText(*colour);
  return swatch;
}

}  // namespace

std::optional<std::uint32_t> ParseColourText(std::string_view text) { return ParseUnsigned32(text, 16); }

std::string FormatColourText(std::uint32_t argb) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(argb));
  return text;
}

ColourOptions LoadColourOptions(const AppFolders& folders) {
  const Json::Value root = Member(ReadWithFactoryCopy(folders, kColourFileName, IsDocument), kRoot);
  ColourOptions options;
  for (std::size_t i = 0; i < kSwatchCount; ++i) {
    options.fixed[i] = SwatchColour(Element(Member(root, kFixed), i));
    const Json::Value& collected = Element(Member(root, kCollected), i);
    options.collected[i] = {SwatchColour(collected), ToText(Member(collected, kUserData)) == kFilled};
  }
  options.fixed_selected = Selection(Member(root, kFixedSelected));
  options.collected_selected = Selection(Member(root, kCollectedSelected));
  return options;
}

bool SaveColourOptions(const ColourOptions& options, const AppFolders& folders) {
  const std::filesystem::path path = folders.ApplicationFile(kColourFileName);
  Json::Value document = ReadJsonDocument(path);
  if (!KeepAsideIfUnreadable(path, document)) return false;
  Json::Value& root = MemberForWrite(document, kRoot);
  Json::Value& fixed = MemberForWrite(root, kFixed);
  Json::Value& collected = MemberForWrite(root, kCollected);
  for (std::size_t i = 0; i < kSwatchCount; ++i) {
    ElementForWrite(fixed, i) = SwatchObject(options.fixed[i]);
    Json::Value swatch = SwatchObject(options.collected[i].colour);
    swatch[kUserData] = options.collected[i].filled ? kFilled : "";
    ElementForWrite(collected, i) = swatch;
  }
  root[kFixedSelected] = options.fixed_selected;
  root[kCollectedSelected] = options.collected_selected;
  return WriteJsonDocument(path, document);
}

}  // namespace brontal
