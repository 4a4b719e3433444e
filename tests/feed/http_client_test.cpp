#include "feed/curl_http_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "feed/service_url.h"
#include "feed/text.h"
#include "support/loopback_server.h"

namespace zelko {
namespace {

using test::LoopbackServer;
using test::RawSocketServer;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// "/away?to=URL" redirects to URL; "/target" answers "reached". Starts the server.
void ServeRedirects(LoopbackServer& server) {
  server.http().Get("/away", [](const httplib::Request& req, httplib::Response& res) {
    res.set_redirect(req.get_param_value("to"));
  });
  server.http().Get("/target", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("reached", "text/html");
  });
  server.Start();
}

RequestLimits ShortLimits() {
  RequestLimits limits;
  limits.connectTimeout = std::chrono::milliseconds(2000);
  limits.stallTimeout = std::chrono::milliseconds(300);
  return limits;
}

TEST(CurlHttpClientTest, SendsTheHeadersOfItsProfile) {
  LoopbackServer server;
  server.http().Get("/h", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/html");
  });
  server.Start();
  struct Case {
    ClientProfile profile;
    const char* userAgent;
  };
  const Case cases[] = {{ClientProfile::Form, kFormUserAgent},
                        {ClientProfile::SingleRequest, kSingleRequestUserAgent}};
  for (const auto& c : cases) {
    CurlHttpClient client(c.profile, "client", ShortLimits());
    const HttpReply reply = client.Get(server.Url("/h"));
    EXPECT_FALSE(reply.failed) << reply.error;
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "ok");
    const auto request = server.Requests().back();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.Header("User-Agent"), c.userAgent);
    EXPECT_EQ(request.Header("Accept"), kAcceptHeader);
    EXPECT_EQ(request.Header("Content-Type"), kContentTypeHeader);
  }
  EXPECT_EQ(CurlHttpClient(ClientProfile::Form, "IdHTTP1").Name(), "IdHTTP1");
}

TEST(CurlHttpClientTest, ReusesItsConnectionAcrossRequests) {
  LoopbackServer server;
  server.http().Get("/h", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("ok", "text/html");
  });
  server.Start();
  CurlHttpClient first(ClientProfile::Form, "IdHTTP1", ShortLimits());
  CurlHttpClient second(ClientProfile::Form, "IdHTTP2", ShortLimits());
  for (HttpClient* client : {&first, &first, &second}) {
    ASSERT_FALSE(client->Get(server.Url("/h")).failed);
  }
  const auto requests = server.Requests();
  EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
  EXPECT_NE(requests[1].remotePort, requests[2].remotePort);
}

// /r/N answers with a redirect to /r/N-1; /r/0 with "done".
void ServeRedirectChain(LoopbackServer& server) {
  server.http().Get(R"(/r/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    const int left = std::stoi(req.matches[1]);
    if (left == 0) {
      res.set_content("done", "text/html");
    } else {
      res.set_redirect("/r/" + std::to_string(left - 1));
    }
  });
}

TEST(CurlHttpClientTest, FormClientFollowsFifteenRedirectsButNotSixteen) {
  LoopbackServer server;
  ServeRedirectChain(server);
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());

  const HttpReply fifteen = client.Get(server.Url("/r/15"));
  EXPECT_FALSE(fifteen.failed) << fifteen.error;
  EXPECT_EQ(fifteen.body, "done");
  EXPECT_EQ(server.Requests().size(), 16u);

  const HttpReply sixteen = client.Get(server.Url("/r/16"));
  EXPECT_TRUE(sixteen.failed);
  EXPECT_THAT(sixteen.body, IsEmpty());
  EXPECT_THAT(sixteen.error, HasSubstr("redirect"));
  // The first request and the fifteen redirects that were followed; /r/0 is never reached.
  EXPECT_EQ(server.Requests().size(), 16u + 16u);
  EXPECT_EQ(server.Requests().back().target, "/r/1");
}

TEST(CurlHttpClientTest, SingleRequestClientFollowsNoRedirect) {
  LoopbackServer server;
  ServeRedirectChain(server);
  server.Start();
  CurlHttpClient client(ClientProfile::SingleRequest, "analysis", ShortLimits());
  const HttpReply reply = client.Get(server.Url("/r/1"));
  EXPECT_TRUE(reply.failed);
  EXPECT_EQ(reply.status, 302);
  EXPECT_THAT(reply.error, HasSubstr("redirect not followed"));
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(CurlHttpClientTest, CookiesAreKeptPerClientAndNeverShared) {
  LoopbackServer server;
  server.http().Get("/set", [](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", "k=" + req.get_param_value("v") + "; Path=/");
    res.set_content("set", "text/html");
  });
  server.http().Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.get_header_value("Cookie"), "text/html");
  });
  server.Start();
  CurlHttpClient first(ClientProfile::Form, "IdHTTP1", ShortLimits());
  CurlHttpClient second(ClientProfile::Form, "IdHTTP2", ShortLimits());
  ASSERT_FALSE(first.Get(server.Url("/set?v=one")).failed);
  ASSERT_FALSE(second.Get(server.Url("/set?v=two")).failed);
  EXPECT_EQ(first.Get(server.Url("/echo")).body, "k=one");
  EXPECT_EQ(second.Get(server.Url("/echo")).body, "k=two");
  CurlHttpClient fresh(ClientProfile::SingleRequest, "analysis", ShortLimits());
  EXPECT_EQ(fresh.Get(server.Url("/echo")).body, "");
}

TEST(CurlHttpClientTest, ErrorStatusIsAFailureWithoutBody) {
  LoopbackServer server;
  server.http().Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    res.status = std::stoi(req.matches[1]);
    res.set_content("error page", "text/html");
  });
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());
  for (const int status : {404, 500, 503}) {
    const HttpReply reply = client.Get(server.Url("/status/" + std::to_string(status)));
    EXPECT_TRUE(reply.failed) << status;
    EXPECT_EQ(reply.status, status);
    EXPECT_THAT(reply.body, IsEmpty());
    const ServiceReply swallowed =
        ServiceGet(client, server.Url("/status/" + std::to_string(status)));
    EXPECT_TRUE(swallowed.failed);
    EXPECT_THAT(swallowed.text, IsEmpty());
  }
  EXPECT_THROW(ServiceGetOrThrow(client, server.Url("/status/500")), ServiceError);
}

// Replies httplib would not send: each script writes raw bytes and then behaves badly.
TEST(CurlHttpClientTest, MisbehavingServers) {
  using namespace std::chrono_literals;
  struct Case {
    const char* what;
    RawSocketServer::Script script;
    bool failed;
    std::string body;
    std::chrono::milliseconds atMost;
  };
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n";
  const Case cases[] = {
      {"body cut short, then closed",
       [&](int fd, const test::LoggedRequest&) { test::SendAll(fd, head + "<match>partial"); },
       true, "<match>partial", 2000ms},
      {"silent after the request",
       [](int fd, const test::LoggedRequest&) { test::WaitForPeerClose(fd, 5000ms); }, true, "",
       1500ms},
      {"silent in the middle of the body",
       [&](int fd, const test::LoggedRequest&) {
         test::SendAll(fd, head + "<match>");
         test::WaitForPeerClose(fd, 5000ms);
       },
       true, "<match>", 1500ms},
      {"slow but never silent for long",
       [](int fd, const test::LoggedRequest&) {
         test::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n");
         for (const char c : std::string("12345678")) {
           std::this_thread::sleep_for(100ms);
           test::SendAll(fd, std::string(1, c));
         }
       },
       false, "12345678", 3000ms},
  };
  for (const auto& c : cases) {
    RawSocketServer server(c.script);
    CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());
    const auto start = std::chrono::steady_clock::now();
    const HttpReply reply = client.Get(server.Url("/login/zelko.php?menu=today"));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(reply.failed, c.failed) << c.what << ": " << reply.error;
    EXPECT_EQ(reply.body, c.body) << c.what;
    EXPECT_LT(elapsed, c.atMost) << c.what;
    if (c.failed) {
      EXPECT_THAT(reply.error, ::testing::Not(IsEmpty())) << c.what;
      // The part that arrived is what a swallowing caller gets.
      RawSocketServer again(c.script);
      const ServiceReply swallowed = ServiceGet(client, again.Url("/x"));
      EXPECT_TRUE(swallowed.failed) << c.what;
      EXPECT_EQ(swallowed.text, c.body) << c.what;
    }
  }
}

TEST(CurlHttpClientTest, StallTimeOutEndsASilentServerOnTime) {
  RawSocketServer server([](int fd, const test::LoggedRequest&) {
    test::WaitForPeerClose(fd, std::chrono::milliseconds(5000));
  });
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());
  const auto start = std::chrono::steady_clock::now();
  const HttpReply reply = client.Get(server.Url("/"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(reply.failed);
  EXPECT_GE(elapsed, std::chrono::milliseconds(280));
  EXPECT_LT(elapsed, std::chrono::milliseconds(900));
}

TEST(CurlHttpClientTest, RedirectToAnotherHostOrPortIsRefused) {
  LoopbackServer other;
  other.http().Get("/target", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("elsewhere", "text/html");
  });
  other.Start();
  LoopbackServer server;
  ServeRedirects(server);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());
  const std::string port = std::to_string(server.port());
  for (const std::string& to : {other.Url("/target"), "http://localhost:" + port + "/target"}) {
    const HttpReply reply = client.Get(server.Url("/away?to=" + EncodeQueryValue(to)));
    EXPECT_TRUE(reply.failed) << to;
    EXPECT_THAT(reply.error, HasSubstr("Refused")) << to;
    EXPECT_THAT(reply.body, IsEmpty()) << to;
  }
  EXPECT_TRUE(other.Requests().empty());
  // The same host and port, also written with capitals, is followed.
  const HttpReply followed = client.Get(
      server.Url("/away?to=" + EncodeQueryValue("HTTP://127.0.0.1:" + port + "/target")));
  EXPECT_FALSE(followed.failed) << followed.error;
  EXPECT_EQ(followed.body, "reached");
}

TEST(CurlHttpClientTest, ATrickleEndsAtTheTotalTimeOut) {
  // A byte every 100 ms never trips the stall time-out; the whole request still has its end.
  RawSocketServer server([](int fd, const test::LoggedRequest&) {
    test::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
    for (int i = 0; i < 40; ++i) {
      if (!test::SendAll(fd, "x")) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  });
  RequestLimits limits = ShortLimits();
  limits.totalTimeout = std::chrono::milliseconds(700);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
  const auto start = std::chrono::steady_clock::now();
  const HttpReply reply = client.Get(server.Url("/slow"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(reply.failed);
  EXPECT_THAT(reply.error, HasSubstr("longer than"));
  EXPECT_GE(elapsed, std::chrono::milliseconds(650));
  EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
}

TEST(CurlHttpClientTest, RedirectToAnotherProtocolIsRefused) {
  LoopbackServer server;
  ServeRedirects(server);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());
  for (const char* to : {"ftp://127.0.0.1/target", "file:///etc/hostname",
                         "https://127.0.0.1/target", "gopher://127.0.0.1/target"}) {
    const HttpReply reply = client.Get(server.Url("/away?to=" + EncodeQueryValue(to)));
    EXPECT_TRUE(reply.failed) << to;
    EXPECT_THAT(reply.body, IsEmpty()) << to;
  }
  // The same redirect to plain http is followed.
  const HttpReply followed =
      client.Get(server.Url("/away?to=" + EncodeQueryValue(server.Url("/target"))));
  EXPECT_FALSE(followed.failed) << followed.error;
  EXPECT_EQ(followed.body, "reached");
  EXPECT_TRUE(client.Get("ftp://127.0.0.1/").failed);
}

TEST(CurlHttpClientTest, ReplyOverTheSizeCapIsRefused) {
  LoopbackServer server;
  server.http().Get(R"(/sized/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(std::string(std::stoul(req.matches[1]), 'x'), "text/html");
  });
  // Chunked: no length announced, so only the bytes that arrive can tell.
  server.http().Get(R"(/chunked/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    const std::size_t size = std::stoul(req.matches[1]);
    res.set_chunked_content_provider("text/html", [size](std::size_t, httplib::DataSink& sink) {
      const std::string piece(100, 'x');
      for (std::size_t sent = 0; sent < size; sent += piece.size()) {
        sink.write(piece.data(), std::min(piece.size(), size - sent));
      }
      sink.done();
      return true;
    });
  });
  server.Start();
  RequestLimits limits = ShortLimits();
  limits.maxReplyBytes = 1000;
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
  struct Case {
    const char* path;
    bool failed;
  };
  const Case cases[] = {{"/sized/1000", false},
                        {"/sized/1001", true},
                        {"/chunked/1000", false},
                        {"/chunked/5000", true}};
  for (const auto& c : cases) {
    const HttpReply reply = client.Get(server.Url(c.path));
    EXPECT_EQ(reply.failed, c.failed) << c.path << ": " << reply.error;
    EXPECT_EQ(reply.body.size(), c.failed ? 0u : 1000u) << c.path;
    if (c.failed) {
      EXPECT_THAT(reply.error, HasSubstr("too large")) << c.path;
    }
  }
}

TEST(CurlHttpClientTest, ValuesArriveOnTheWireEncodedAndRepliesAreDecoded) {
  LoopbackServer server;
  server.http().Get(R"(/.*)", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<home>\xD1\xEF\xE0\xF0\xF2\xE0\xEA</home>", "text/html");
  });
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());

  const ServiceReply reply =
      ServiceGet(client, FeedUrl(server.HostPort(), {"Спартак Москва", "a&b=c"}, "today"));
  EXPECT_FALSE(reply.failed);
  EXPECT_EQ(reply.text, "<home>Спартак</home>");
  EXPECT_EQ(server.Requests().back().target,
            "/login/zelko.php?login=%D1%EF%E0%F0%F2%E0%EA%20%CC%EE%F1%EA%E2%E0&pass=a%26b%3Dc"
            "&menu=today");

  ServiceGet(client, QueryUrl(server.HostPort(), "/bf/sb.php?")
                         .Add("id=", "7")
                         .Add("&home=", ReplaceAll("Real Madrid B", " ", ">>"))
                         .str());
  EXPECT_EQ(server.Requests().back().target, "/bf/sb.php?id=7&home=Real%3E%3EMadrid%3E%3EB");
}

TEST(CurlHttpClientTest, ClosedPortIsAConnectionFailure) {
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", ShortLimits());
  const HttpReply reply =
      client.Get("http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/");
  EXPECT_TRUE(reply.failed);
  EXPECT_EQ(reply.status, 0);
  EXPECT_THAT(reply.error, HasSubstr("Connection failed"));
}

TEST(ProbeUrlStatusTest, StatusDecidesTheOutcome) {
  LoopbackServer server;
  server.http().Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
    res.status = std::stoi(req.matches[1]);
    if (res.status == 302) res.set_header("Location", "/elsewhere");
    res.set_content("marker", "text/plain");
  });
  server.Start();
  struct Case {
    std::string url;
    ProbeOutcome outcome;
  };
  const Case cases[] = {
      {server.Url("/status/200"), ProbeOutcome::Exists},
      {server.Url("/status/302"), ProbeOutcome::Exists},
      {server.HostPort() + "/status/200", ProbeOutcome::Exists},  // "http://" put in front
      {server.Url("/status/301"), ProbeOutcome::OtherStatus},
      {server.Url("/status/404"), ProbeOutcome::OtherStatus},
      {server.Url("/status/500"), ProbeOutcome::OtherStatus},
      {"http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/",
       ProbeOutcome::NoAnswer},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProbeUrlStatus(c.url, ShortLimits()), c.outcome) << c.url;
  }
  const auto request = server.Requests().front();
  EXPECT_EQ(request.Header("User-Agent"), "InetURL:/1.0");
  EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
  EXPECT_EQ(request.Header("Pragma"), "no-cache");
  // Redirects are not followed: each answered probe reached the server once.
  EXPECT_EQ(server.Requests().size(), 6u);
}

TEST(ProbeUrlStatusTest, SilentServerIsNoAnswer) {
  RawSocketServer server([](int fd, const test::LoggedRequest&) {
    test::WaitForPeerClose(fd, std::chrono::milliseconds(5000));
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ProbeUrlStatus(server.Url("/refresh/zelko2.4.txt"), ShortLimits()),
            ProbeOutcome::NoAnswer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
}

}  // namespace
}  // namespace zelko
