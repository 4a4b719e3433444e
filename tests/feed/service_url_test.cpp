#include "feed/service_url.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace zelko {
namespace {

class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvironmentVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ResolveServiceHostTest, CommandLineThenEnvironmentThenDefault) {
  {
    const EnvironmentVariable env("ZELKO_SERVICE", "env.example:81");
    EXPECT_EQ(ResolveServiceHost("cli.example:82"), "cli.example:82");
    EXPECT_EQ(ResolveServiceHost(std::nullopt), "env.example:81");
    EXPECT_EQ(ResolveServiceHost(""), "env.example:81");
  }
  const EnvironmentVariable env("ZELKO_SERVICE", nullptr);
  EXPECT_EQ(ResolveServiceHost(std::nullopt), kDefaultServiceHost);
  const EnvironmentVariable empty("ZELKO_SERVICE", "");
  EXPECT_EQ(ResolveServiceHost(std::nullopt), kDefaultServiceHost);
}

TEST(EncodeQueryValueTest, Windows1251BytesPercentEncoded) {
  struct Case {
    const char* value;
    const char* encoded;
  };
  const Case cases[] = {
      {"user", "user"},
      {"AZaz09-._~", "AZaz09-._~"},
      {"a b", "a%20b"},
      {"a&pass=x", "a%26pass%3Dx"},
      {"Real>>Madrid", "Real%3E%3EMadrid"},
      {"Спартак", "%D1%EF%E0%F0%F2%E0%EA"},
      {"中", "%3F"},
      {"100%", "100%25"},
      {"a+b/c?d#e", "a%2Bb%2Fc%3Fd%23e"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeQueryValue(c.value), c.encoded) << c.value;
  }
}

TEST(FeedUrlTest, LoginPasswordAndMenu) {
  const Credentials credentials{"Иван Петров", "p&ss word"};
  EXPECT_EQ(FeedUrl("h:1", credentials),
            "http://h:1/login/zelko.php?login=%C8%E2%E0%ED%20%CF%E5%F2%F0%EE%E2"
            "&pass=p%26ss%20word");
  EXPECT_EQ(FeedUrl("h:1", {"u", "p"}, "today"),
            "http://h:1/login/zelko.php?login=u&pass=p&menu=today");
  EXPECT_EQ(FeedUrl("h:1", {"u", "p"}, "live"),
            "http://h:1/login/zelko.php?login=u&pass=p&menu=live");
}

TEST(QueryUrlTest, KeysInOrderValuesEncodedRawTailKept) {
  const std::string url = QueryUrl("h", "/bf/bb.php?")
                              .Add("id=", "7")
                              .Add("&home=", "Real>>Madrid")
                              .AddRaw("&my=bb")
                              .str();
  EXPECT_EQ(url, "http://h/bf/bb.php?id=7&home=Real%3E%3EMadrid&my=bb");
}

class FakeClient final : public HttpClient {
 public:
  explicit FakeClient(HttpReply reply) : reply_(std::move(reply)) {}
  HttpReply Get(const std::string& url) override {
    urls.push_back(url);
    return reply_;
  }
  const std::string& Name() const override { return name_; }
  std::vector<std::string> urls;

 private:
  HttpReply reply_;
  std::string name_ = "fake";
};

TEST(ServiceGetTest, DecodesBodyAndReportsFailure) {
  struct Case {
    HttpReply reply;
    bool failed;
    std::string text;
  };
  const Case cases[] = {
      {{false, 200, "<id>\xD1\xEF</id>", ""}, false, "<id>Сп</id>"},
      {{false, 200, "", ""}, false, ""},
      {{true, 500, "server error page", "HTTP 500"}, true, ""},
      {{true, 200, "<match>partial", "Transfer broke off"}, true, "<match>partial"},
      {{true, 0, "", "Connection failed"}, true, ""},
  };
  for (const auto& c : cases) {
    FakeClient client(c.reply);
    const ServiceReply reply = ServiceGet(client, "http://h/x");
    EXPECT_EQ(reply.failed, c.failed) << c.reply.body;
    EXPECT_EQ(reply.text, c.text) << c.reply.body;
    EXPECT_EQ(client.urls, std::vector<std::string>{"http://h/x"});
  }
}

TEST(ServiceGetOrThrowTest, FailureRaisesAReadableErrorWithoutTheQuery) {
  struct Case {
    HttpReply reply;
    const char* message;
  };
  const Case cases[] = {
      {{true, 500, "", "HTTP 500"}, "HTTP 500 from http://h/bf/bffa.php"},
      {{true, 0, "", "Connection failed: refused"},
       "Connection failed: refused (http://h/bf/bffa.php)"},
  };
  for (const auto& c : cases) {
    FakeClient client(c.reply);
    try {
      ServiceGetOrThrow(client, "http://h/bf/bffa.php?my=1&pass=secret");
      ADD_FAILURE() << "no error raised for " << c.message;
    } catch (const ServiceError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
  FakeClient ok({false, 200, "<last>12:00</last>", ""});
  EXPECT_EQ(ServiceGetOrThrow(ok, "http://h/bf/bffa.php"), "<last>12:00</last>");
}

}  // namespace
}  // namespace zelko
