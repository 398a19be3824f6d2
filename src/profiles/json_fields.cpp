#include "profiles/json_fields.h"

#include <cmath>

namespace brontal {

const Json::Value& Member(const Json::Value& value, const char* name) {
  if (!value.isObject()) return Json::Value::nullSingleton();
  const Json::Value* member = value.find(name, name + std::char_traits<char>::length(name));
  return member != nullptr ? *member : Json::Value::nullSingleton();
}

const Json::Value& Element(const Json::Value& value, std::size_t index) {
  if (!value.isArray() || index >= value.size()) return Json::Value::nullSingleton();
  return value[static_cast<Json::ArrayIndex>(index)];
}

std::size_t ElementCount(const Json::Value& value) { return value.isArray() ? value.size() : 0; }

Json::Value& MemberForWrite(Json::Value& value, const char* name) {
  if (!value.isObject()) value = Json::Value(Json::objectValue);
  return value[name];
}

Json::Value& ElementForWrite(Json::Value& value, std::size_t index) {
  if (!value.isArray()) value = Json::Value(Json::arrayValue);
  return value[static_cast<Json::ArrayIndex>(index)];
}

std::int64_t ToInteger(const Json::Value& value) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  switch (value.type()) {
    case Json::intValue:
      return value.asInt64();
    case Json::uintValue:
      return value.asUInt64() > static_cast<std::uint64_t>(kMax) ? kMax : static_cast<std::int64_t>(value.asUInt64());
    case Json::realValue: {
      const double real = value.asDouble();
      if (std::isnan(real)) return 0;
      // 2^63 is exact in a double; anything at or past it saturates.
      if (real >= 9223372036854775808.0) return kMax;
      if (real <= -9223372036854775808.0) return kMin;
      return static_cast<std::int64_t>(real);
    }
    case Json::booleanValue:
      return value.asBool() ? 1 : 0;
    default:
      return 0;
  }
}

bool ToFlag(const Json::Value& value) {
  if (value.isBool()) return value.asBool();
  return value.isNumeric() && value.asDouble() != 0.0;  // 0.5 is set, as the library has it
}

std::string ToText(const Json::Value& value) {
  if (value.isString() || value.isNumeric() || value.isBool()) return value.asString();
  return {};
}

}  // namespace brontal
