#include <json/value.h>

#include <cstdio>
#include <ostream>

#include "cli/brontalctl.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "macros/key_function_catalogue.h"

namespace brontal {

int ActionsCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  bool json;
  if (!ParseJsonOption(args, "actions", json, err)) return kExitUsage;
  Json::Value rows(Json::arrayValue);
  if (!json) out << "category             b0 b1 b2  name\n";
  for (const KeyFunction& function : KeyFunctions()) {
    const std::string_view category = CategoryInfo(function.category).name;
    const auto& [b0, b1, b2] = function.action;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x", b0, b1, b2);
    if (json) {
      Json::Value row;
      row["category"] = std::string(category);
      row["b0"] = b0;
      row["b1"] = b1;
      row["b2"] = b2;
      row["action"] = hex;  // as 'keys' and 'assign' write it
      row["name"] = std::string(function.name);
      row["label"] = std::string(function.label_key);
      rows.append(row);
      continue;
    }
    char line[96];
    std::snprintf(line, sizeof line, "%-20.*s %02x %02x %02x  ", static_cast<int>(category.size()), category.data(), b0,
                  b1, b2);
    out << line << function.name << '\n';
  }
  if (json) WriteJson(out, rows);
  return kExitOk;
}

}  // namespace brontal
