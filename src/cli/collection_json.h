#pragma once

#include <json/value.h>

#include "device_access/report_descriptor.h"

namespace brontal {

// The members that describe a top-level collection in brontalctl's JSON output.
Json::Value CollectionJson(const TopLevelCollection& collection);
Json::Value ReportIdsJson(const TopLevelCollection& collection);

}  // namespace brontal
