#include "update/update_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpers/temporary_folder.h"
#include "profiles/update_check_date.h"
#include "update/loopback_http_server.h"
#include "update/without_proxy_variables.h"

namespace brontal {
namespace {

using test::LoopbackHttpServer;
using test::OkResponse;

class UpdateCheckTest : public ::testing::Test {
 protected:
  AppFolders Folders() const {
    return {folder_.path() / "default", folder_.path() / "data", folder_.path() / "config"};
  }

 private:
  test::WithoutProxyVariables without_proxy_variables_;
  test::TemporaryFolder folder_;
};

UpdateItem Firmware(std::uint32_t version, const std::string& name) {
  return {true, version, "", "KX440", name, "", UpdateIdentity{"DRUMO", 2, "KX440", name, 0x5101}};
}

UpdateItem Program(std::string dotted) {
  return {false, InstalledAppVersion(dotted), dotted, "ALL", "Brontal Driver", dotted, std::nullopt};
}

// Answers by the key the request carries.
std::string AnswerByKey(const std::string& request) {
  if (request.find("app_key=DRUMO_2_KX440") != std::string::npos)
    return OkResponse(R"({"name":"T4","version":"0106","path":"https://example.com/t4.exe","device_id":1})");
  if (request.find("app_key=NULL") != std::string::npos)
    return OkResponse(R"({"name":"AP","version":"1.1.0","version_name":"1.1.0","path":"https://example.com/ap.exe"})");
  return OkResponse(R"({"name":"KB","version":"105","version_name":"1.0.5","path":"https://example.com/kb.exe"})");
}

TEST_F(UpdateCheckTest, FillsEachRowFromItsAnswerAndOffersOnlyNewerVersions) {
  LoopbackHttpServer server(AnswerByKey);
  const std::vector<UpdateItem> items = {
      Program("1.0.10"),       // dotted: 1.0.10 is older than 1.1.0
      Firmware(0x0105, "T4"),  // hexadecimal: 0105 is older than 0106
      {false, 105, "", "KX410", "KB", "1.0.5",
       UpdateIdentity{"DRUMO", 1, "KX410", "KB", 0}},  // decimal 105 against "105": current
  };
  HttpClient client;
  std::vector<std::size_t> filled;
  const UpdateCheckOutcome outcome = CheckForUpdates(client, server.Url("/api/"), items, {},
                                                     [&](std::size_t i, const UpdateRow&) { filled.push_back(i); });

  EXPECT_THAT(filled, ::testing::ElementsAre(0, 1, 2));
  ASSERT_EQ(outcome.rows.size(), 3u);
  struct Expected {
    const char* name;
    const char* installed;
    const char* offered;
    RowState state;
    bool checked;
  };
  const Expected expected[] = {
      {"AP", "V1.0.10", "1.1.0", RowState::kOffered, true},
      {"T4", "V0105", "V0106", RowState::kOffered, true},
      {"KB", "V105", "", RowState::kCurrent, false},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const UpdateRow& row = outcome.rows[i];
    EXPECT_EQ(row.name, expected[i].name);
    EXPECT_EQ(row.installed_text, expected[i].installed);
    EXPECT_EQ(row.offered_text, expected[i].offered);
    EXPECT_EQ(row.state, expected[i].state);
    EXPECT_EQ(row.checked, expected[i].checked);
    EXPECT_EQ(row.check_enabled, expected[i].checked);
  }
  EXPECT_EQ(outcome.rows[1].package_url, "https://example.com/t4.exe");
  EXPECT_EQ(outcome.rows[1].device_id, 1);
  EXPECT_EQ(outcome.state, PageState::kOffered);
  EXPECT_TRUE(outcome.answered);
  EXPECT_THAT(server.Requests()[0], ::testing::HasSubstr("app_key=NULL&version=1010"));
  EXPECT_THAT(server.Requests()[1], ::testing::HasSubstr("app_key=DRUMO_2_KX440_T4_20737&version=105"));

  EXPECT_TRUE(RecordCheckDate(outcome, Folders()));
  EXPECT_FALSE(ReadUpdateCheckDate(Folders()).empty());
}

TEST_F(UpdateCheckTest, PageStateTellsNoServiceFromNothingNew) {
  struct Case {
    const char* answer;  // nullptr: nothing listens
    PageState state;
  };
  const Case cases[] = {
      {nullptr, PageState::kNoService},
      {"{}", PageState::kCurrent},  // reached, but nothing known about the item
      {"not json", PageState::kCurrent},
      {R"({"name":"T4","version":"0105"})", PageState::kCurrent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer ? c.answer : "no service");
    test::TemporaryFolder folder;
    const AppFolders folders{folder.path(), folder.path() / "data", folder.path() / "config"};
    std::optional<LoopbackHttpServer> server;
    if (c.answer) server.emplace([&](const std::string&) { return OkResponse(c.answer); });
    const std::string base =
        server ? server->Url("/api/") : "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/api/";
    HttpClient client;
    const std::vector<UpdateItem> items = {Program("1.0.5"), Firmware(0x0105, "T4")};

    const UpdateCheckOutcome outcome = CheckForUpdates(client, base, items);

    EXPECT_EQ(outcome.state, c.state);
    for (const UpdateRow& row : outcome.rows) {
      EXPECT_EQ(row.state, RowState::kCurrent);
      EXPECT_FALSE(row.check_enabled);
    }
    EXPECT_EQ(outcome.rows[0].installed_text, "V1.0.5");
    EXPECT_EQ(outcome.rows[1].installed_text, "V0105");
    EXPECT_EQ(RecordCheckDate(outcome, folders), c.answer != nullptr);
    EXPECT_EQ(std::filesystem::exists(folders.application / "updatetime.config"), c.answer != nullptr);
  }
}

TEST_F(UpdateCheckTest, AStopRequestEndsThePassBeforeTheNextItem) {
  std::stop_source stop;
  LoopbackHttpServer server([&](const std::string&) {
    stop.request_stop();
    return OkResponse(R"({"name":"T4","version":"0106"})");
  });
  const std::vector<UpdateItem> items = {Firmware(0x0105, "T4"), Firmware(0x0105, "T4")};
  HttpClient client;
  const UpdateCheckOutcome outcome = CheckForUpdates(client, server.Url("/api/"), items, stop.get_token());
  EXPECT_EQ(server.Requests().size(), 1u);
  // The first answer races the stop, which may end its request as well; the
  // second item is never asked about and keeps its own version.
  EXPECT_TRUE(outcome.rows[0].state == RowState::kOffered || outcome.rows[0].state == RowState::kCurrent);
  EXPECT_EQ(outcome.rows[1].state, RowState::kCurrent);
}

}  // namespace
}  // namespace brontal
