// brontalctl actions: the key function catalogue as text and as JSON.
#include <gtest/gtest.h>
#include <json/reader.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "cli/run_brontalctl.h"
#include "macros/key_function_catalogue.h"

namespace brontal {
namespace {

using test::RunCli;

TEST(ActionsCommand, JsonListsEveryCatalogueEntryOnceWithItsBytes) {
  const auto r = RunCli({"actions", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  Json::Value rows;
  ASSERT_TRUE(Json::Reader().parse(r.out, rows)) << r.out;
  ASSERT_TRUE(rows.isArray());
  std::map<std::string, Json::Value> by_name;
  for (const Json::Value& row : rows)
    EXPECT_TRUE(by_name.emplace(row["name"].asString(), row).second) << row["name"].asString();
  ASSERT_EQ(by_name.size(), KeyFunctions().size());
  for (const KeyFunction& function : KeyFunctions()) {
    const std::string name(function.name);
    ASSERT_TRUE(by_name.contains(name)) << name;
    const Json::Value& row = by_name[name];
    EXPECT_EQ(row["category"].asString(), CategoryInfo(function.category).name) << name;
    EXPECT_EQ(row["b0"].asUInt(), function.action[0]) << name;
    EXPECT_EQ(row["b1"].asUInt(), function.action[1]) << name;
    EXPECT_EQ(row["b2"].asUInt(), function.action[2]) << name;
    EXPECT_EQ(row["label"].asString(), function.label_key) << name;
  }
  // The form 'keys' shows and 'assign' takes.
  EXPECT_EQ(by_name["media_play"]["action"].asString(), "30cd00");
  EXPECT_EQ(by_name["web"]["action"].asString(), "302302");
}

TEST(ActionsCommand, TextHasALineForEachEntryInCatalogueOrder) {
  const auto r = RunCli({"actions"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "category             b0 b1 b2  name");
  for (const KeyFunction& function : KeyFunctions()) {
    ASSERT_TRUE(std::getline(lines, line)) << function.name;
    EXPECT_TRUE(line.starts_with(CategoryInfo(function.category).name)) << line;
    EXPECT_TRUE(line.ends_with("  " + std::string(function.name))) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
  EXPECT_NE(r.out.find("\nmedia                30 cd 00  media_play\n"), std::string::npos);
  EXPECT_NE(r.out.find("\niq_layer_long_press  e2 00 01  iq_long_layer_fn\n"), std::string::npos);
}

// It reaches no device, so no bus setting stands in its way.
TEST(ActionsCommand, NeedsNoBusAndRefusesArguments) {
  const char* saved = std::getenv("BRONTAL_HID");
  ::setenv("BRONTAL_HID", "bogus", 1);
  EXPECT_EQ(RunCli({"actions"}).status, kExitOk);
  if (saved)
    ::setenv("BRONTAL_HID", saved, 1);
  else
    ::unsetenv("BRONTAL_HID");
  const auto r = RunCli({"actions", "keyboard"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace brontal
