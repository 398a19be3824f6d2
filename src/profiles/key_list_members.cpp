#include "profiles/key_list_members.h"

#include "profiles/json_fields.h"

namespace brontal {
namespace {

constexpr const char* kAssignment = "Assignment";
constexpr const char* kDefaultAssignment = "DefaultAssignment";

}  // namespace

std::int64_t PackKeyAction(const KeyAction& action) { return (action[0] << 16) | (action[1] << 8) | action[2]; }

KeyAction UnpackKeyAction(const Json::Value& packed) {
  const auto bits = static_cast<std::uint64_t>(ToInteger(packed));
  return {static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

std::vector<KeyAssignment> DecodeKeyList(const Json::Value& key_list) {
  std::vector<KeyAssignment> keys(ElementCount(key_list));
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const Json::Value& element = Element(key_list, i);
    keys[i].key_index = keys[i].default_key_index = static_cast<std::uint16_t>(i);
    keys[i].assignment = UnpackKeyAction(Member(element, kAssignment));
    keys[i].default_action = UnpackKeyAction(Member(element, kDefaultAssignment));
  }
  return keys;
}

void WriteAssignments(Json::Value& key_list, std::span<const KeyAssignment> keys) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto packed = static_cast<Json::Int64>(PackKeyAction(keys[i].assignment));
    MemberForWrite(ElementForWrite(key_list, i), kAssignment) = packed;
  }
}

}  // namespace brontal
