#pragma once

#include <json/value.h>
#include <json/writer.h>

#include <ostream>
#include <string>

namespace brontal {

// brontalctl's JSON: indented documents, or one line per value where lines are the records.
inline void WriteJson(std::ostream& out, const Json::Value& value, bool one_line = false) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = one_line ? "" : "  ";
  out << Json::writeString(writer, value) << std::endl;
}

}  // namespace brontal
