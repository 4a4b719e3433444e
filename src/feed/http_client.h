#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace zelko {

// Limits of every request the monitor sends. Tests may construct clients with shorter ones.
struct RequestLimits {
  std::chrono::milliseconds connectTimeout{10'000};
  // A transfer that receives no byte for this long is abandoned.
  std::chrono::milliseconds stallTimeout{30'000};
  // A reply body larger than this is a failed request.
  std::size_t maxReplyBytes = 32u * 1024u * 1024u;
  // A whole request, redirects included, ends after this long even while bytes still trickle.
  std::chrono::milliseconds totalTimeout{120'000};
  static RequestLimits Default() { return {}; }
};

// The two profiles of HTTP client the monitor uses.
enum class ClientProfile {
  // IdHTTP1 and IdHTTP2: browser user agent, up to 15 redirects followed.
  Form,
  // The client the analysis makes for one run (and the unused IM): library user agent, no
  // redirects.
  SingleRequest,
};

inline constexpr const char* kFormUserAgent =
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; ru; rv:1.9.2.3) Gecko/20100401 Firefox/3.6.3";
inline constexpr const char* kSingleRequestUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
inline constexpr const char* kAcceptHeader = "text/html, */*";
inline constexpr const char* kContentTypeHeader = "text/html";
inline constexpr int kMaxRedirects = 15;

// What one GET gave. `failed` is true for no connection, a time-out, a broken transfer, a
// refused or unfollowed redirect, an oversized reply and a 4xx or 5xx status.
struct HttpReply {
  bool failed = false;
  int status = 0;     // 0 when no status line arrived
  std::string body;   // raw bytes as received (Windows-1251); empty for an error status
  std::string error;  // a human-readable reason when failed
};

// One HTTP/1.1 client object: its own cookie jar, one request at a time.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // `url` is a complete, already encoded "http://host[:port]/path?query" address.
  virtual HttpReply Get(const std::string& url) = 0;
  // The control name the form gives this client ("IdHTTP1", "IdHTTP2", "analysis").
  virtual const std::string& Name() const = 0;
};

// Outcome of the version probe.
enum class ProbeOutcome {
  Exists,       // status 200 or 302
  OtherStatus,  // a reply with any other status
  NoAnswer,     // no connection, no status line, time-out
};

}  // namespace zelko
