#include "update/version_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace brontal {
namespace {

TEST(VersionTextTest, ComparesNumericPartsNotCharacters) {
  constexpr auto less = std::strong_ordering::less;
  constexpr auto equal = std::strong_ordering::equal;
  constexpr auto greater = std::strong_ordering::greater;
  struct Case {
    const char* a;
    const char* b;
    std::optional<std::strong_ordering> order;
  };
  const Case cases[] = {
      {"1.0.10", "1.1.0", less},  // text order would call 1.0.10 newer
      {"1.0.9", "1.0.10", less},
      {"1.10", "1.9", greater},
      {"1.1", "1.1.0", equal},
      {"2", "1.99.99", greater},
      {"105", "105", equal},
      {"01.2", "1.2", equal},
      {"4294967295", "4294967294", greater},
      {"4294967296", "1", std::nullopt},  // a part beyond 32 bits is no version
      {"1..2", "1.2", std::nullopt},
      {"1.2.", "1.2", std::nullopt},
      {"", "1", std::nullopt},
      {"1.0-beta", "1.0", std::nullopt},
      {" 1.0", "1.0", std::nullopt},
      {"-1", "1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareVersionTexts(c.a, c.b), c.order) << c.a << " vs " << c.b;
  }
}

}  // namespace
}  // namespace brontal
