#include "cli/collection_json.h"

namespace brontal {

Json::Value CollectionJson(const TopLevelCollection& c) {
  Json::Value v(Json::objectValue);
  v["usage_page"] = c.usage_page;
  v["usage"] = c.usage;
  v["input_report_length"] = c.report_byte_length[0];
  v["output_report_length"] = c.report_byte_length[1];
  v["feature_report_length"] = c.report_byte_length[2];
  return v;
}

Json::Value ReportIdsJson(const TopLevelCollection& c) {
  Json::Value ids(Json::objectValue);
  for (std::size_t t = 0; t < kReportTypeCount; ++t) {
    Json::Value list(Json::arrayValue);
    for (std::uint8_t id : c.report_ids[t]) list.append(id);
    ids[ReportTypeName(static_cast<ReportType>(t))] = list;
  }
  return ids;
}

}  // namespace brontal
