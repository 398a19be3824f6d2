#include "macros/macro_event.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <string_view>

#include "profiles/json_fields.h"

namespace brontal {
namespace {

constexpr const char* kType = "Type";
constexpr const char* kButton = "Button";
constexpr const char* kAction = "Action";
constexpr const char* kDelay = "Delay";
constexpr std::string_view kDown = "down";
constexpr std::string_view kUp = "up";

std::int64_t LeadingNumber(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n\v\f"), text.size()));
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (error == std::errc::result_out_of_range) magnitude = std::numeric_limits<std::int64_t>::max();
  return negative ? -magnitude : magnitude;
}

// 2 and 3 are the old files' mouse kinds, kept when loaded.
constexpr std::int64_t kKnownTypes[] = {macro_event_type::kMouseButton,
                                        2,
                                        3,
                                        macro_event_type::kHorizontalMove,
                                        macro_event_type::kVerticalMove,
                                        macro_event_type::kModifierKey,
                                        macro_event_type::kKey};

bool IsNumberIn(const Json::Value& value, std::int64_t largest) {
  return value.isInt64() && value.asInt64() >= 0 && value.asInt64() <= largest;
}

int TypeOf(const Json::Value& value) { return ToField<int>(Member(value, kType)); }

std::uint8_t ButtonOf(const Json::Value& value) {
  return static_cast<std::uint8_t>(ToInteger(Member(value, kButton)) & 0xFF);
}

bool IsDown(const Json::Value& value) {
  const Json::Value& action = Member(value, kAction);
  return action.isString() && action.asString() == kDown;
}

}  // namespace

std::int64_t ReadMacroDelay(const Json::Value& value) {
  return value.isString() ? LeadingNumber(value.asString()) : ToInteger(value);
}

MacroEvent MacroEventFromJson(const Json::Value& value) {
  MacroEvent event{.type = TypeOf(value),
                   .button = ButtonOf(value),
                   .down = IsDown(value),
                   .delay = ReadMacroDelay(Member(value, kDelay))};
  if (!value.isObject()) return event;
  // The delay is written as text whatever its form, so only the rest decides.
  const Json::Value as_written = MacroEventToJson(event);
  Json::Value as_read = value;
  as_read[kDelay] = as_written[kDelay];
  if (as_read != as_written) event.source = value;
  return event;
}

bool IsWellFormedMacroEvent(const Json::Value& value) {
  if (!value.isObject()) return false;
  const Json::Value& type = Member(value, kType);
  const Json::Value& action = Member(value, kAction);
  const Json::Value& delay = Member(value, kDelay);
  const bool delay_text = delay.isString() && !delay.asString().empty() &&
                          delay.asString().find_first_not_of("0123456789") == std::string::npos &&
                          LeadingNumber(delay.asString()) <= std::numeric_limits<std::uint16_t>::max();
  return type.isInt64() && std::ranges::find(kKnownTypes, type.asInt64()) != std::end(kKnownTypes) &&
         IsNumberIn(Member(value, kButton), 0xFF) && action.isString() &&
         (action.asString() == kDown || action.asString() == kUp) &&
         (delay_text || IsNumberIn(delay, std::numeric_limits<std::uint16_t>::max()));
}

Json::Value MacroEventToJson(const MacroEvent& event) {
  const Json::Value& source = event.source;
  const bool kept = source.isObject();
  Json::Value value = kept ? source : Json::Value(Json::objectValue);
  // A member stays as the source has it while it still reads as the event.
  if (!kept || TypeOf(source) != event.type) value[kType] = event.type;
  if (!kept || ButtonOf(source) != event.button) value[kButton] = event.button;
  if (!kept || IsDown(source) != event.down) value[kAction] = std::string(event.down ? kDown : kUp);
  value[kDelay] = std::to_string(event.delay);
  return value;
}

}  // namespace brontal
