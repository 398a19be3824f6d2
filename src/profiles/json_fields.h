#pragma once

#include <json/json.h>

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

// Reading and writing members of documents that may have any shape. The
// library's own accessors throw (and so end the program) on an array where an
// object is expected, a string where a number is, or a number out of range;
// these never do: whatever does not fit reads as absent.
namespace brontal {

// The member, or null when value is not an object or lacks it.
const Json::Value& Member(const Json::Value& value, const char* name);
// The element, or null when value is not an array or is shorter.
const Json::Value& Element(const Json::Value& value, std::size_t index);

// The number of elements; 0 for anything but an array.
std::size_t ElementCount(const Json::Value& value);

// The member or element for writing; a value of another shape is replaced by
// an empty object or array first, and an array grows to hold the index.
Json::Value& MemberForWrite(Json::Value& value, const char* name);
Json::Value& ElementForWrite(Json::Value& value, std::size_t index);

// Numbers by the library's conversion (reals truncated, booleans 0 or 1);
// anything else is 0, and a value beyond the 64-bit range saturates.
std::int64_t ToInteger(const Json::Value& value);

// A number for a field of type T: values outside T's range are clamped to it.
template <std::integral T>
T ToField(const Json::Value& value) {
  return static_cast<T>(std::clamp<std::int64_t>(ToInteger(value), std::numeric_limits<T>::min(),
                                                 static_cast<std::int64_t>(std::numeric_limits<T>::max())));
}

// Non-zero numbers and true are set; everything else is clear.
bool ToFlag(const Json::Value& value);

// Strings as they are, numbers and booleans as their text, anything else empty.
std::string ToText(const Json::Value& value);

}  // namespace brontal
