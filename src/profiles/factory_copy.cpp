#include "profiles/factory_copy.h"

#include "profiles/json_document.h"
#include "profiles/kept_aside.h"

namespace brontal {

Json::Value ReadWithFactoryCopy(const AppFolders& folders, std::string_view file_name,
                                bool (*usable)(const Json::Value& document)) {
  const std::filesystem::path file = folders.application / file_name;
  Json::Value document = ReadJsonDocument(file);
  if (usable(document)) return document;
  const Json::Value factory = ReadJsonDocument(folders.default_data / file_name);
  if (!usable(factory)) return Json::Value();
  // A file of the wrong shape may still hold what the user made: it goes
  // aside, and when it cannot, the factory copy is used without replacing it.
  if (KeepAsideIfUnreadable(file, Json::Value())) WriteJsonDocument(folders.ApplicationFile(file_name), factory);
  return factory;
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
