#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>

#include "cli/run_brontalctl.h"
#include "devices/interface_table.h"

namespace brontal {
namespace {

using Products = std::set<std::pair<unsigned, unsigned>>;

// The vendor and product ids the rules name; every line that is no comment
// must be a `rule` (its two groups the ids).
Products RuleProducts(const std::string& text, const std::regex& rule) {
  Products in_file;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::smatch m;
    EXPECT_TRUE(std::regex_match(line, m, rule)) << "unexpected rule: " << line;
    if (m.size() == 3) in_file.insert({std::stoul(m[1], nullptr, 16), std::stoul(m[2], nullptr, 16)});
  }
  return in_file;
}

TEST(UdevRules, EveryProductOfTheTableHasItsRuleAndNothingBroader) {
  const auto r = test::RunCli({"udev-rules"});
  ASSERT_EQ(r.status, 0);
  const std::regex rule(
      R"re(^SUBSYSTEM=="hidraw", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re");
  Products in_table;
  for (const InterfaceRow& row : kInterfaceTable)
    if (IsRealProduct(row)) in_table.insert({row.vendor_id, row.product_id});
  EXPECT_EQ(RuleProducts(r.out, rule), in_table);
}

// Opt-in, and not part of the file that doctor compares: every key typed on
// these devices becomes readable by the user's programs.
TEST(UdevRules, TheInputRulesOpenTheEventNodesOfTheKeyboardsAndMiceAlone) {
  const auto r = test::RunCli({"udev-rules", "--input"});
  ASSERT_EQ(r.status, 0);
  const std::regex rule(
      R"re(^SUBSYSTEM=="input", KERNEL=="event\*", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re");
  Products keyboards_and_mice;
  for (const InterfaceRow& row : kInterfaceTable)
    if (IsRealProduct(row) && row.type != DeviceType::kMousePad && row.type != DeviceType::kHeadset)
      keyboards_and_mice.insert({row.vendor_id, row.product_id});
  EXPECT_EQ(RuleProducts(r.out, rule), keyboards_and_mice);
  EXPECT_EQ(test::RunCli({"udev-rules"}).out.find("SUBSYSTEM==\"input\""), std::string::npos);
  EXPECT_EQ(test::RunCli({"udev-rules", "--inputs"}).status, 2);
}

}  // namespace
}  // namespace brontal
