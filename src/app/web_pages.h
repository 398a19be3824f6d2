#pragma once

#include <string_view>

namespace brontal {

// Where the shop and home page buttons lead; packagers of a rebranded build change them here.
inline constexpr std::string_view kShopPage = "https://brontal.example/shop";
inline constexpr std::string_view kHomePage = "https://brontal.example/";

}  // namespace brontal
