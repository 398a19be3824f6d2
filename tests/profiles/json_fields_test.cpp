#include "profiles/json_fields.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "profiles/json_document.h"

namespace brontal {
namespace {

// Each of these would throw from the library's own accessors.
TEST(JsonFields, LookupsInValuesOfTheWrongShapeReadAsAbsent) {
  const Json::Value shapes[] = {Json::Value(), Json::Value(5), Json::Value("text"), Json::Value(true),
                                Json::Value(Json::arrayValue), ParseJsonDocument("[1, 2]")};
  for (const Json::Value& shape : shapes) {
    SCOPED_TRACE(shape.toStyledString());
    EXPECT_TRUE(Member(shape, "Device").isNull());
    EXPECT_TRUE(Member(Member(shape, "a"), "b").isNull());
  }
  const Json::Value object = ParseJsonDocument(R"({"a": 1})");
  EXPECT_TRUE(Element(object, 0).isNull());
  EXPECT_TRUE(Element(ParseJsonDocument("[1]"), 1).isNull());
  EXPECT_EQ(ElementCount(object), 0u);
  EXPECT_EQ(ElementCount(ParseJsonDocument("[1, 2]")), 2u);
}

TEST(JsonFields, WritesReplaceValuesOfTheWrongShape) {
  Json::Value value("text");
  MemberForWrite(value, "a") = 1;
  EXPECT_EQ(value, ParseJsonDocument(R"({"a": 1})"));
  ElementForWrite(MemberForWrite(value, "a"), 2) = 7;
  EXPECT_EQ(FormatJsonDocument(value), FormatJsonDocument(ParseJsonDocument(R"({"a": [null, null, 7]})")));
}

TEST(JsonFields, NumbersFollowTheLibraryAndClampToTheField) {
  const struct {
    const char* json;
    std::int64_t integer;
    std::uint8_t byte;
    std::uint16_t word;
    std::int32_t signed_word;
  } cases[] = {
      {"200", 200, 200, 200, 200},
      {"300", 300, 255, 300, 300},
      {"-1", -1, 0, 0, -1},
      {"70000", 70000, 255, 65535, 70000},
      {"3.9", 3, 3, 3, 3},
      {"-3.9", -3, 0, 0, -3},
      {"true", 1, 1, 1, 1},
      {"false", 0, 0, 0, 0},
      {"\"12\"", 0, 0, 0, 0},
      {"[12]", 0, 0, 0, 0},
      {"{\"v\": 12}", 0, 0, 0, 0},
      {"null", 0, 0, 0, 0},
      {"18446744073709551615", INT64_MAX, 255, 65535, INT32_MAX},
      {"-9223372036854775808", INT64_MIN, 0, 0, INT32_MIN},
      {"1e300", INT64_MAX, 255, 65535, INT32_MAX},
      {"-1e300", INT64_MIN, 0, 0, INT32_MIN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const Json::Value value = ParseJsonDocument(std::string("[") + c.json + "]")[0];
    EXPECT_EQ(ToInteger(value), c.integer);
    EXPECT_EQ(ToField<std::uint8_t>(value), c.byte);
    EXPECT_EQ(ToField<std::uint16_t>(value), c.word);
    EXPECT_EQ(ToField<std::int32_t>(value), c.signed_word);
  }
}

TEST(JsonFields, FlagsAndTexts) {
  const struct {
    const char* json;
    bool flag;
    const char* text;
  } cases[] = {
      {"1", true, "1"},         {"0", false, "0"},   {"7", true, "7"},     {"-1", true, "-1"},
      {"0.5", true, "0.5"},     {"true", true, "true"}, {"false", false, "false"}, {"\"1\"", false, "1"},
      {"\"\"", false, ""},      {"null", false, ""}, {"[1]", false, ""},   {"{}", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const Json::Value value = ParseJsonDocument(std::string("[") + c.json + "]")[0];
    EXPECT_EQ(ToFlag(value), c.flag);
    EXPECT_EQ(ToText(value), c.text);
  }
}

}  // namespace
}  // namespace brontal
