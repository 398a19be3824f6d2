#include "profiles/update_check_date.h"

#include "profiles/json_document.h"
#include "profiles/json_fields.h"

namespace brontal {
namespace {

constexpr std::string_view kFileName = "updatetime.config";
constexpr const char* kLastTime = "updatelasttime";
constexpr const char* kValue = "value";

}  // namespace

std::string ReadUpdateCheckDate(const AppFolders& folders) {
  return ToText(Member(Member(ReadJsonDocument(folders.application / kFileName), kLastTime), kValue));
}

bool WriteUpdateCheckDate(const std::chrono::year_month_day& date, const AppFolders& folders) {
  Json::Value document(Json::objectValue);
  document[kLastTime][kValue] = std::to_string(static_cast<int>(date.year())) + "-" +
                                std::to_string(static_cast<unsigned>(date.month())) + "-" +
                                std::to_string(static_cast<unsigned>(date.day()));
  return WriteJsonDocument(folders.ApplicationFile(kFileName), document);
}

}  // namespace brontal
