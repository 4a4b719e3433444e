// What a hostile or curious party could get out of the monitor: a redirect to another protocol,
// the saved credentials, the password in the output, a parameter smuggled in a login, markup
// smuggled in a team name. The command-line twin runs the whole way against a fake service on
// 127.0.0.1.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "feed/codec.h"
#include "feed/curl_http_client.h"
#include "feed/service_url.h"
#include "support/loopback_server.h"

namespace zelko {
namespace {

using namespace std::chrono_literals;

TEST(Security, RedirectsToOtherProtocolsAreRefused) {
  test::LoopbackServer server;
  std::string target;
  server.http().Get("/login/zelko.php", [&](const httplib::Request&, httplib::Response& res) {
    res.status = 302;
    res.set_header("Location", target);
  });
  server.http().Get("/next", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<match><id>1</id></match>", "text/plain");
  });
  server.Start();
  const std::string port = std::to_string(server.port());
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  for (const std::string& where :
       {"https://127.0.0.1:" + port + "/next", "ftp://127.0.0.1:" + port + "/next",
        std::string("file:///etc/passwd"), "gopher://127.0.0.1:" + port + "/next",
        "dict://127.0.0.1:" + port + "/next", std::string("scp://127.0.0.1/etc/passwd")}) {
    target = where;
    const HttpReply reply = client.Get(server.Url("/login/zelko.php?menu=today"));
    EXPECT_TRUE(reply.failed) << where;
    EXPECT_TRUE(reply.body.empty()) << where;
  }
  // Plain http is followed.
  target = server.Url("/next");
  const HttpReply followed = client.Get(server.Url("/login/zelko.php?menu=today"));
  EXPECT_FALSE(followed.failed) << followed.error;
  EXPECT_EQ(followed.body, "<match><id>1</id></match>");
  // The first address itself must be plain http.
  EXPECT_TRUE(client.Get("file:///etc/passwd").failed);
  EXPECT_TRUE(client.Get("https://127.0.0.1:" + port + "/next").failed);
}

TEST(Security, QueryValuesCannotAddParameters) {
  test::LoopbackServer server;
  server.http().Get("/login/zelko.php", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/plain");
  });
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  const Credentials credentials{"a&menu=live", "p w&x=1#frag?"};
  ASSERT_FALSE(client.Get(FeedUrl(server.HostPort(), credentials, "today")).failed);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string& line = requests[0].target;
  EXPECT_EQ(line, "/login/zelko.php?login=a%26menu%3Dlive&pass=p%20w%26x%3D1%23frag%3F&menu=today");
  EXPECT_EQ(line.find(' '), std::string::npos);
  EXPECT_EQ(line.find('#'), std::string::npos);
}

#if defined(ZELKO_CLI_PATH)

// The service as far as a login, a day of one match and a refused analysis go.
class FakeService {
 public:
  FakeService() {
    server_.http().Get("/refresh/zelko2.4.txt",
                       [](const httplib::Request&, httplib::Response& res) {
                         res.set_content("zelko 2.4", "text/plain");
                       });
    server_.http().Get("/login/zelko.php", [](const httplib::Request& req, httplib::Response& res) {
      const std::string menu = req.get_param_value("menu");
      std::string body;
      if (menu == "today") {
        body =
            "<match><status>SOON</status><id>m1</id><day>1</day><liga>England. Premier "
            "League</liga><my>77</my><date>01.01.2025</date><vr>20:00</vr>"
            "<home><script>alert(1)</script></home><away>\"Away\" & <b>co</b></away>"
            "<s1>5000>>6000>>2.10>></s1><radar><fsum>5000</fsum><f1>60</f1><fk1>2.10</fk1>"
            "<last>12:00</last></radar></match>";
      } else if (menu.empty()) {
        body = "Autorization OK";
      }
      res.set_content(Utf8ToCp1251(body), "text/plain");
    });
    // The analysis is refused, so that an error reaches the output with its address.
    server_.http().Get("/bf/bffa.php",
                       [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    server_.Start();
  }
  std::string HostPort() const { return server_.HostPort(); }
  std::vector<test::LoggedRequest> Requests() const { return server_.Requests(); }

 private:
  test::LoopbackServer server_;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(Security, TheCommandLineTwinKeepsTheSecretsItIsGiven) {
  FakeService service;
  test::TempDir dir("zelko-security");
  const std::string password = "Pw7xQ2zRk9";  // unreserved bytes only: the same when encoded
  test::ChildProcess cli({ZELKO_CLI_PATH, "--service", service.HostPort()}, dir.path(),
                         dir.path() / "stderr.txt");
  for (const std::string& line :
       {std::string("type loginedit a&menu=live"), "type passedit " + password,
        std::string("click zap"), std::string("click LOGIN"), std::string("dump form"),
        std::string("click RX2 3 0"), std::string("dblclick RX 0 0"), std::string("click SAVE"),
        std::string("dump RX"), std::string("dump RX2"), std::string("dump RX3"),
        std::string("dump SBX"), std::string("tick Timer1 60"), std::string("tick Timer2 300"),
        std::string("dump form")}) {
    ASSERT_TRUE(cli.WriteLine(line));
  }
  cli.CloseInput();
  std::vector<std::string> lines;
  while (auto line = cli.ReadLine(60s)) lines.push_back(*line);
  ASSERT_TRUE(cli.Wait(30s));
  EXPECT_EQ(cli.ExitCode(), 0) << cli.Stderr();

  // The board page was reached: the login went through.
  int forms = 0;
  bool errorSeen = false;
  for (const std::string& line : lines) {
    if (line.rfind("{\"form\":", 0) == 0) {
      ++forms;
      EXPECT_NE(line.find(password), std::string::npos) << "the form dump shows the password box";
      continue;
    }
    errorSeen = errorSeen || line.find("\"event\":\"error\"") != std::string::npos;
    EXPECT_EQ(line.find(password), std::string::npos) << line;
  }
  EXPECT_EQ(forms, 2);
  EXPECT_TRUE(errorSeen) << "the refused analysis should have reached the error report";
  EXPECT_EQ(cli.Stderr().find(password), std::string::npos) << cli.Stderr();

  // "log.log": owner-only, with the credentials.
  struct stat info {};
  ASSERT_EQ(::stat((dir.path() / "log.log").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600);
  EXPECT_NE(ReadFile(dir.path() / "log.log").find(password), std::string::npos);

  // The login went out with its "&" and "=" encoded: no second "menu" parameter.
  bool loginSeen = false;
  for (const auto& request : service.Requests()) {
    if (request.path != "/login/zelko.php") continue;
    loginSeen = true;
    // Split the query as a server does: one "login", at most one "menu", nothing else.
    const std::string query = request.target.substr(request.target.find('?') + 1);
    std::vector<std::string> keys;
    std::string login;
    std::stringstream parts(query);
    for (std::string part; std::getline(parts, part, '&');) {
      const std::string key = part.substr(0, part.find('='));
      keys.push_back(key);
      if (key == "login") login = part.substr(part.find('=') + 1);
    }
    EXPECT_EQ(login, "a%26menu%3Dlive") << request.target;
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "login"), 1) << request.target;
    EXPECT_LE(std::count(keys.begin(), keys.end(), "menu"), 1) << request.target;
    for (const std::string& key : keys) {
      EXPECT_TRUE(key == "login" || key == "pass" || key == "menu") << request.target;
    }
  }
  EXPECT_TRUE(loginSeen);

  // "report.html": the team names escaped, no markup of theirs.
  const std::string report = Cp1251ToUtf8(ReadFile(dir.path() / "report.html"));
  ASSERT_FALSE(report.empty()) << "no report written";
  EXPECT_EQ(report.find("<script>"), std::string::npos);
  EXPECT_NE(report.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos) << report;
  EXPECT_EQ(report.find("<b>co</b>"), std::string::npos);
  EXPECT_NE(report.find("&quot;Away&quot; &amp; &lt;b&gt;co&lt;/b&gt;"), std::string::npos);
}

#endif

}  // namespace
}  // namespace zelko
