#include "update/update_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "update/loopback_http_server.h"
#include "update/without_proxy_variables.h"

namespace brontal {

void PrintTo(const UpdateResult& r, std::ostream* out) {
  *out << "{status " << r.status << ", device_id " << r.device_id << ", name '" << r.name << "', installed '"
       << r.installed_text << "', offered '" << r.offered_text << "', version_name '" << r.version_name << "', path '"
       << r.package_url << "'}";
}

namespace {

using test::LoopbackHttpServer;
using test::OkResponse;

class UpdateRequestTest : public ::testing::Test {
 private:
  test::WithoutProxyVariables without_proxy_variables_;
};

TEST(ApplicationKeyTest, JoinsTheIdentityWithUnderscoresOrSaysNull) {
  const std::pair<std::optional<UpdateIdentity>, std::string> cases[] = {
      {std::nullopt, "NULL"},
      {UpdateIdentity{"Brontal", 12, "M7", "Mouse", 3}, "Brontal_12_M7_Mouse_3"},
      {UpdateIdentity{"", -1, "", "Pad", 0}, "_-1__Pad_0"},
  };
  for (const auto& [identity, key] : cases) EXPECT_EQ(ApplicationKey(identity), key);
}

TEST_F(UpdateRequestTest, PostsKeyAndVersionInTheItemsBaseWithATerminatingZero) {
  LoopbackHttpServer server([](const std::string&) { return OkResponse("{}"); });
  struct Case {
    std::uint32_t installed;
    bool hexadecimal;
    const char* version;
  };
  for (const Case c : {Case{0x0105, true, "105"}, Case{0xABC, true, "abc"}, Case{2748, false, "2748"}}) {
    SCOPED_TRACE(c.version);
    HttpClient client;
    RequestUpdateInfo(client, server.Url("/api/"), "Brontal_1_M_Mouse_2", c.installed, c.hexadecimal);

    const std::string body = std::string("app_key=Brontal_1_M_Mouse_2&version=") + c.version + '\0';
    const std::string request = server.Requests().back();
    EXPECT_EQ(test::RequestLine(request), "POST /api/updates HTTP/1.1");
    EXPECT_THAT(request, ::testing::HasSubstr("\r\nContent-Length: " + std::to_string(body.size()) + "\r\n"));
    EXPECT_THAT(request, ::testing::EndsWith("\r\n\r\n" + body));
  }
}

TEST_F(UpdateRequestTest, EncodesTheKeySoItsCharactersCannotStartAnotherField) {
  LoopbackHttpServer server([](const std::string&) { return OkResponse("{}"); });
  HttpClient client;
  RequestUpdateInfo(client, server.Url("/api/"), "A&B=C D_1%/+~.-", 7, false);
  EXPECT_THAT(server.Requests().back(),
              ::testing::EndsWith(std::string("\r\n\r\napp_key=A%26B%3DC%20D_1%25%2F%2B~.-&version=7") + '\0'));
}

TEST_F(UpdateRequestTest, ADottedDecimalOfferIsComparedPartByPart) {
  struct Case {
    const char* offered;
    const char* installed_dotted;
    std::uint32_t installed;
    int status;
  };
  const Case cases[] = {
      {"1.1.0", "1.0.10", 1010, 1},  // digits alone would say 1010 > 110
      {"1.0.10", "1.0.9", 109, 1},   {"1.1", "1.1.0", 110, 7},
      {"1.0.5", "1.0.5", 105, 7},    {"105.1", "", 105, 1},  // no dotted text: the number is the only part
      {"1.0.6-rc", "1.0.5", 105, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offered);
    LoopbackHttpServer server([&](const std::string&) {
      return OkResponse(std::string(R"({"name":"AP","version":")") + c.offered + R"("})");
    });
    HttpClient client;
    EXPECT_EQ(RequestUpdateInfo(client, server.Url("/api/"), "NULL", c.installed, false, c.installed_dotted).status,
              c.status);
  }
}

UpdateResult Result(int status, int device_id, std::string name, std::string installed, std::string offered,
                    std::string version_name, std::string path) {
  return {status,         device_id, std::move(name), std::move(installed), std::move(offered), std::move(version_name),
          std::move(path)};
}

TEST_F(UpdateRequestTest, ReadsTheAnswerAndOffersOnlyAWhollyNumericNewerVersion) {
  struct Case {
    std::string answer;
    std::uint32_t installed;
    bool hexadecimal;
    UpdateResult expected;
  };
  const std::string kPath = R"("path":"https://example.com/p.exe","name":"Mouse","version_name":"1.0.6")";
  const auto Answer = [&](const std::string& rest) { return "{" + kPath + "," + rest + "}"; };
  const Case cases[] = {
      {Answer(R"("version":"0106","device_id":1)"), 0x0105, true,
       Result(1, 1, "Mouse", "V0105", "V0106", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"0106")"), 0x0106, true,
       Result(7, 0, "Mouse", "V0106", "V0106", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"1aF")"), 0x1ae, true,
       Result(1, 0, "Mouse", "V01ae", "V1aF", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"105")"), 105, false,
       Result(7, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"106")"), 105, false,
       Result(1, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"4294967295")"), 105, false,
       Result(1, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      // Whatever a lenient reader would stretch into a larger number stays "current".
      {Answer(R"("version":"4294967296")"), 105, false,
       Result(7, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"100000000")"), 0x0105, true,
       Result(7, 0, "Mouse", "V0105", "V100000000", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"-1")"), 105, false,
       Result(7, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"0106xyz")"), 0x0105, true,
       Result(7, 0, "Mouse", "V0105", "V0106xyz", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"0x0106")"), 0x0105, true,
       Result(7, 0, "Mouse", "V0105", "V0x0106", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":" 106")"), 105, false,
       Result(7, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"")"), 105, false,
       Result(7, 0, "Mouse", "V105", "1.0.6", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":{"v":"106"},"device_id":-5)"), 0x0105, true,
       Result(7, 0, "Mouse", "V0105", "V", "1.0.6", "https://example.com/p.exe")},
      {Answer(R"("version":"0106","device_id":"1")"), 0x0105, true,
       Result(1, 0, "Mouse", "V0105", "V0106", "1.0.6", "https://example.com/p.exe")},
      {R"({"name":["Mouse"],"version":"106"})", 105, false, Result(1, 0, "", "V105", "", "", "")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    LoopbackHttpServer server([&](const std::string&) { return OkResponse(c.answer); });
    HttpClient client;
    EXPECT_EQ(RequestUpdateInfo(client, server.Url("/api/"), "NULL", c.installed, c.hexadecimal), c.expected);
  }
}

TEST_F(UpdateRequestTest, AnAnswerThatIsNoJsonObjectLeavesTheResultEmpty) {
  for (const char* answer : {"", "not json", R"({"name":"Mouse","version":)", R"(["Mouse"])", R"("Mouse")",
                             "<html>502 Bad Gateway</html>"}) {
    SCOPED_TRACE(answer);
    LoopbackHttpServer server([&](const std::string&) { return OkResponse(answer); });
    HttpClient client;
    EXPECT_EQ(RequestUpdateInfo(client, server.Url("/api/"), "NULL", 0x0105, true), UpdateResult{});
  }
}

TEST_F(UpdateRequestTest, AnUnreachableOrUnusableServiceNamesTheResultNoLinkServer) {
  LoopbackHttpServer server([](const std::string&) { return OkResponse("{}"); });
  UpdateResult unreached;
  unreached.name = kNoLinkServer;
  for (const std::string& base_url : {"http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/api/",
                                      "ftp://127.0.0.1:" + std::to_string(server.port()) + "/api/", std::string()}) {
    SCOPED_TRACE(base_url);
    HttpClient client;
    EXPECT_EQ(RequestUpdateInfo(client, base_url, "NULL", 105, false), unreached);
  }
  EXPECT_THAT(server.Requests(), ::testing::IsEmpty());
}

TEST(InstalledAppVersionTest, DropsTheDotsAndReadsTheRestInDecimal) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"1.0.5", 105},     {"0.1.0", 10}, {"10.2", 102}, {"1..2", 12},      {"4294967.295", 4294967295u},
      {"4294967.296", 0}, {"", 0},       {".", 0},      {"1.0.5-beta", 0}, {"v1.0", 0},
      {"-1.0", 0},        {" 1.0", 0},
  };
  for (const auto& [text, version] : cases) EXPECT_EQ(InstalledAppVersion(text), version) << text;
}

}  // namespace
}  // namespace brontal
