#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "feed/http_client.h"

namespace zelko {

// Where the data service lives: "host" or "host:port".
inline constexpr const char* kDefaultServiceHost = "127.0.0.1:8024";
inline constexpr const char* kProductSiteHost = "zelko.example";
inline constexpr const char* kProductPagePath =
    "/index.php?option=com_content&view=article&id=303&Itemid=42";
inline constexpr const char* kNewsLinkBase = "http://news.zelko.example/";
inline constexpr const char* kVersionMarkerPath = "/refresh/zelko2.4.txt";

// The service host from the command line, else from ZELKO_SERVICE, else the default.
std::string ResolveServiceHost(std::optional<std::string> fromCommandLine);

// Percent-encodes a cell text for a query: converted to Windows-1251 first, then every byte
// outside A-Z a-z 0-9 - . _ ~ becomes %XX.
std::string EncodeQueryValue(std::string_view utf8);

// Builds "http://" + host + path + "?" + key=value... with every value encoded.
// Keys are given with their separators as the service expects them ("login=", "&pass=").
class QueryUrl {
 public:
  QueryUrl(std::string_view host, std::string_view pathWithQuestionMark);
  QueryUrl& Add(std::string_view keyWithSeparator, std::string_view utf8Value);
  // A fixed, already safe tail such as "&my=bb".
  QueryUrl& AddRaw(std::string_view text);
  const std::string& str() const { return url_; }

 private:
  std::string url_;
};

struct Credentials {
  std::string login;
  std::string password;
};

// "http://" + host + "/login/zelko.php?login=" + login + "&pass=" + password [+ "&menu=" + menu]
std::string FeedUrl(std::string_view host, const Credentials& credentials,
                    std::optional<std::string_view> menu = std::nullopt);

// The reply of a request whose failure the caller swallows. `text` is UTF-8.
struct ServiceReply {
  bool failed = false;
  std::string text;
};

// One GET through the client; the body decoded from Windows-1251. A failed request gives
// `failed` with what arrived before the break (nothing for an error status).
ServiceReply ServiceGet(HttpClient& client, const std::string& url);

// One GET through the client with the body as the service sent it, in Windows-1251: for a
// reply read a record at a time (ForEachRecord decodes each record as it is cut). `failed` and
// what is kept of a failed request's body as for ServiceGet.
struct ServiceBytes {
  bool failed = false;
  std::string body;
};
ServiceBytes ServiceGetBytes(HttpClient& client, const std::string& url);

// As ServiceGet, but a failure raises ServiceError (the analysis lets it reach the caller).
std::string ServiceGetOrThrow(HttpClient& client, const std::string& url);

class ServiceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace zelko
