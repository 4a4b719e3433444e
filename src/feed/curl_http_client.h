#pragma once

#include <memory>
#include <string>

#include "feed/http_client.h"

namespace zelko {

// The HTTP client of the monitor, over one libcurl easy handle kept for the client's lifetime:
// connections are reused and the client's cookies live in that handle's own cookie engine, so
// no two clients ever see each other's cookies. Plain http only, no proxy, the URL sent as it
// is given (callers encode the values). Redirects are followed up to kMaxRedirects in a row by
// a Form client, and only to plain http on the host and port of the request; a SingleRequest
// client follows none. A redirect that is not followed is a failed request.
class CurlHttpClient final : public HttpClient {
 public:
  CurlHttpClient(ClientProfile profile, std::string name,
                 RequestLimits limits = RequestLimits::Default());
  ~CurlHttpClient() override;
  CurlHttpClient(const CurlHttpClient&) = delete;
  CurlHttpClient& operator=(const CurlHttpClient&) = delete;

  HttpReply Get(const std::string& url) override;
  const std::string& Name() const override { return name_; }

 private:
  struct Handles;
  // One exchange without following a redirect; `location` gets the redirect's target.
  HttpReply GetOnce(const std::string& url, std::chrono::steady_clock::time_point deadline,
                    std::string& location);
  std::unique_ptr<Handles> handles_;
  std::string name_;
  RequestLimits limits_;
  bool followsRedirects_;
};

// The version probe: one fresh GET without cache use whose status alone counts ("http://" is
// put in front of an address that holds none). 200 and 302 mean the address exists.
ProbeOutcome ProbeUrlStatus(const std::string& url,
                            RequestLimits limits = RequestLimits::Default());
inline bool CheckUrlExists(const std::string& url) {
  return ProbeUrlStatus(url) == ProbeOutcome::Exists;
}

}  // namespace zelko
