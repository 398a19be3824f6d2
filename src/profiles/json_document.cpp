#include "profiles/json_document.h"

#include <exception>
#include <string>

#include "profiles/file_contents.h"

namespace brontal {

Json::Value ParseJsonDocument(std::string_view text) {
  if (text.empty()) return Json::Value();
  Json::Value document;
  try {
    Json::Reader reader(Json::Features::all());
    if (!reader.parse(text.data(), text.data() + text.size(), document, true)) return Json::Value();
  } catch (const std::exception&) {
    return Json::Value();  // the reader throws on nesting deeper than its limit
  }
  return document;
}

Json::Value ReadJsonDocument(const std::filesystem::path& path) { return ParseJsonDocument(ReadFileContents(path)); }

std::string FormatJsonDocument(const Json::Value& document) {
  Json::StyledWriter writer;
  return writer.write(document) + "\n";
}

bool WriteJsonDocument(const std::filesystem::path& path, const Json::Value& document) {
  return ReplaceFileContents(path, FormatJsonDocument(document));
}

}  // namespace brontal
