#pragma once

#include <json/json.h>

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "profiles/json_fields.h"

namespace brontal {

// How one field of a record is kept in a JSON object. A record with fields of
// several types has one table per type.
template <class Record, class Field>
struct FieldRule {
  const char* name;
  Field Record::*member;
  bool flag = false;  // read as a boolean, written as 0 or 1
};

template <class Record, class Field, std::size_t N>
using FieldRules = std::array<FieldRule<Record, Field>, N>;

// Missing or unreadable members give 0 (or an empty text); numbers out of a
// field's range are clamped to it.
template <class Record, class Field, std::size_t N>
void DecodeInto(Record& record, const Json::Value& object, const FieldRules<Record, Field, N>& rules) {
  for (const FieldRule<Record, Field>& rule : rules) {
    const Json::Value& value = Member(object, rule.name);
    if constexpr (std::is_same_v<Field, std::string>) record.*rule.member = ToText(value);
    else if (rule.flag) record.*rule.member = ToFlag(value) ? 1 : 0;
    else record.*rule.member = ToField<Field>(value);
  }
}

template <class Record, class Field, std::size_t N>
void EncodeInto(Json::Value& object, const Record& record, const FieldRules<Record, Field, N>& rules) {
  for (const FieldRule<Record, Field>& rule : rules) {
    if constexpr (std::is_same_v<Field, std::string>) object[rule.name] = record.*rule.member;
    else if (rule.flag) object[rule.name] = record.*rule.member != 0 ? 1 : 0;
    else object[rule.name] = static_cast<Json::Int>(record.*rule.member);
  }
}

template <class Record, class... Tables>
Record DecodeFields(const Json::Value& object, const Tables&... tables) {
  Record record{};
  (DecodeInto(record, object, tables), ...);
  return record;
}

// A fresh object with every member of the tables.
template <class Record, class... Tables>
Json::Value EncodeFields(const Record& record, const Tables&... tables) {
  Json::Value object(Json::objectValue);
  (EncodeInto(object, record, tables), ...);
  return object;
}

// One record per element of an array.
template <class Record, class... Tables>
std::vector<Record> DecodeElements(const Json::Value& array, const Tables&... tables) {
  std::vector<Record> records(ElementCount(array));
  for (std::size_t i = 0; i < records.size(); ++i) records[i] = DecodeFields<Record>(Element(array, i), tables...);
  return records;
}

}  // namespace brontal
