#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>

#include "cli/run_brontalctl.h"
#include "devices/interface_table.h"

namespace brontal {
namespace {

TEST(UdevRules, EveryProductOfTheTableHasItsRuleAndNothingBroader) {
  const auto r = test::RunCli({"udev-rules"});
  ASSERT_EQ(r.status, 0);
  const std::regex rule(R"re(^SUBSYSTEM=="hidraw", ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess"$)re");
  std::set<std::pair<unsigned, unsigned>> in_file;
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, rule)) << "unexpected rule: " << line;
    in_file.insert({std::stoul(m[1], nullptr, 16), std::stoul(m[2], nullptr, 16)});
  }
  std::set<std::pair<unsigned, unsigned>> in_table;
  for (const InterfaceRow& row : kInterfaceTable)
    if (IsRealProduct(row)) in_table.insert({row.vendor_id, row.product_id});
  EXPECT_EQ(in_file, in_table);
}

}  // namespace
}  // namespace brontal
