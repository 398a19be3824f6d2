#include "profiles/factory_copy.h"

#include "profiles/json_document.h"

namespace brontal {

Json::Value ReadWithFactoryCopy(const AppFolders& folders, std::string_view file_name,
                                bool (*usable)(const Json::Value& document)) {
  Json::Value document = ReadJsonDocument(folders.application / file_name);
  if (usable(document)) return document;
  return RestoreFactoryCopy(folders, file_name, usable);
}

Json::Value RestoreFactoryCopy(const AppFolders& folders, std::string_view file_name,
                               bool (*usable)(const Json::Value& document)) {
  const Json::Value factory = ReadJsonDocument(folders.default_data / file_name);
  if (!usable(factory)) return Json::Value();
  // A failed write only means the factory copy is read again next time.
  WriteJsonDocument(folders.ApplicationFile(file_name), factory);
  return factory;
}

}  // namespace brontal
