#include "feed/curl_http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <stdexcept>
#include <string_view>

namespace zelko {

namespace {

using Clock = std::chrono::steady_clock;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      throw std::runtime_error("libcurl could not be initialised");
    }
  });
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using MultiPtr = std::unique_ptr<CURLM, MultiDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;

// What one transfer collects through the callbacks.
struct Transfer {
  std::string body;
  std::size_t maxBytes = 0;
  bool tooLarge = false;
  // The probe needs the status only: the transfer ends at the first byte of the body.
  bool stopAtBody = false;
  bool stoppedAtBody = false;
  Clock::time_point lastActivity;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  transfer->lastActivity = Clock::now();
  if (transfer->stopAtBody) {
    transfer->stoppedAtBody = true;
    return 0;  // anything short of `bytes` ends the transfer
  }
  if (transfer->body.size() + bytes > transfer->maxBytes) {
    transfer->tooLarge = true;
    return 0;
  }
  transfer->body.append(data, bytes);
  return bytes;
}

std::size_t ReadHeader(char* /*data*/, std::size_t size, std::size_t count, void* user) {
  static_cast<Transfer*>(user)->lastActivity = Clock::now();
  return size * count;
}

// Settings shared by every request: plain http only, no proxy, the URL untouched, no signals
// (time-outs must work off the main thread too), the connect time-out and the size cap.
void ConfigureCommon(CURL* easy, const RequestLimits& limits, Transfer& transfer,
                     char* errorBuffer) {
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http");
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(std::max<std::int64_t>(1, limits.connectTimeout.count())));
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxReplyBytes));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &ReadHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
  transfer.maxBytes = limits.maxReplyBytes;
}

struct RunResult {
  CURLcode code = CURLE_OK;
  bool stalled = false;
  bool overtime = false;
};

// Drives one transfer through the multi handle so that the stall time-out is watched to the
// millisecond: a transfer that receives nothing (no header, no body byte) for `stallTimeout`
// is abandoned. libcurl's own low-speed check only works in whole seconds.
RunResult Run(CURLM* multi, CURL* easy, Transfer& transfer, std::chrono::milliseconds stallTimeout,
              Clock::time_point deadline) {
  RunResult result;
  transfer.lastActivity = Clock::now();
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
    result.code = CURLE_FAILED_INIT;
    return result;
  }
  while (true) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      result.code = CURLE_FAILED_INIT;
      break;
    }
    bool done = false;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
        result.code = message->data.result;
        done = true;
      }
    }
    if (done) break;
    const auto idle =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - transfer.lastActivity);
    if (idle >= stallTimeout) {
      result.stalled = true;
      break;
    }
    if (Clock::now() >= deadline) {
      result.overtime = true;
      break;
    }
    const auto wait = std::clamp<std::int64_t>((stallTimeout - idle).count(), 1, 100);
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait), nullptr);
  }
  // Removing a handle mid-transfer closes its connection; a finished one stays cached for reuse.
  curl_multi_remove_handle(multi, easy);
  return result;
}

long ResponseCode(CURL* easy) {
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

// "host:port" of an http address in lower case, or empty when it is not one.
std::string HttpOrigin(const std::string& url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return {};
  std::string origin;
  char* scheme = nullptr;
  char* host = nullptr;
  char* port = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK &&
      std::string_view(scheme) == "http") {
    origin = std::string(host) + ":" + port;
    std::transform(origin.begin(), origin.end(), origin.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  }
  curl_free(scheme);
  curl_free(host);
  curl_free(port);
  curl_url_cleanup(parsed);
  return origin;
}

std::string Reason(CURLcode code, const char* errorBuffer) {
  return errorBuffer[0] != '\0' ? std::string(errorBuffer) : std::string(curl_easy_strerror(code));
}

}  // namespace

// Declared so that the easy handle goes first, before what its options point to.
struct CurlHttpClient::Handles {
  MultiPtr multi;
  ListPtr headers;
  Transfer transfer;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  EasyPtr easy;
};

CurlHttpClient::CurlHttpClient(ClientProfile profile, std::string name, RequestLimits limits)
    : handles_(std::make_unique<Handles>()),
      name_(std::move(name)),
      limits_(limits),
      followsRedirects_(profile == ClientProfile::Form) {
  InitCurlOnce();
  handles_->multi.reset(curl_multi_init());
  handles_->easy.reset(curl_easy_init());
  if (!handles_->multi || !handles_->easy) throw std::runtime_error("libcurl handle unavailable");
  CURL* easy = handles_->easy.get();

  ConfigureCommon(easy, limits_, handles_->transfer, handles_->errorBuffer);
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, (std::string("Accept: ") + kAcceptHeader).c_str());
  headers =
      curl_slist_append(headers, (std::string("Content-Type: ") + kContentTypeHeader).c_str());
  handles_->headers.reset(headers);
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  const bool form = profile == ClientProfile::Form;
  curl_easy_setopt(easy, CURLOPT_USERAGENT, form ? kFormUserAgent : kSingleRequestUserAgent);
  // Redirects are followed by Get itself, so that each target can be checked first.
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
  // An empty cookie file switches on this handle's in-memory cookie engine and reads nothing.
  curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
}

CurlHttpClient::~CurlHttpClient() = default;

HttpReply CurlHttpClient::Get(const std::string& url) {
  const auto deadline = Clock::now() + limits_.totalTimeout;
  const std::string origin = HttpOrigin(url);
  std::string current = url;
  for (int redirects = 0;; ++redirects) {
    std::string location;
    HttpReply reply = GetOnce(current, deadline, location);
    if (!followsRedirects_ || location.empty() || reply.status < 300 || reply.status >= 400) {
      return reply;
    }
    if (redirects == kMaxRedirects) {
      reply.error = "Too many redirects (over " + std::to_string(kMaxRedirects) + ")";
      return reply;
    }
    // Only plain http on the service's own host and port is followed.
    if (origin.empty() || HttpOrigin(location) != origin) {
      reply.error = "Refused: redirect to " + location;
      return reply;
    }
    current = std::move(location);
  }
}

HttpReply CurlHttpClient::GetOnce(const std::string& url, Clock::time_point deadline,
                                  std::string& location) {
  CURL* easy = handles_->easy.get();
  Transfer& transfer = handles_->transfer;
  transfer.body.clear();
  transfer.tooLarge = false;
  handles_->errorBuffer[0] = '\0';
  curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());

  const RunResult run = Run(handles_->multi.get(), easy, transfer, limits_.stallTimeout, deadline);
  HttpReply reply;
  reply.status = static_cast<int>(ResponseCode(easy));
  reply.body = std::move(transfer.body);
  transfer.body = std::string();

  // What arrived before a transfer broke off is kept; everything else that fails has no body.
  if (run.stalled) {
    reply.failed = true;
    reply.error = "No data received for " + std::to_string(limits_.stallTimeout.count()) + " ms";
    return reply;
  }
  if (run.overtime) {
    reply.failed = true;
    reply.error =
        "Request took longer than " + std::to_string(limits_.totalTimeout.count()) + " ms";
    return reply;
  }
  switch (run.code) {
    case CURLE_OK:
      if (reply.status >= 400) {
        reply.failed = true;
        reply.error = "HTTP " + std::to_string(reply.status);
        reply.body.clear();
      } else if (reply.status >= 300) {
        // A redirect that ends the exchange (a SingleRequest client, or one without a
        // Location) brings no reply of the service.
        char* target = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target) {
          location = target;
        }
        reply.failed = true;
        reply.error = "HTTP " + std::to_string(reply.status) + " redirect not followed";
        reply.body.clear();
      }
      return reply;
    case CURLE_WRITE_ERROR:
    case CURLE_FILESIZE_EXCEEDED:
      reply.failed = true;
      reply.error = "Reply too large (over " + std::to_string(limits_.maxReplyBytes) + " bytes)";
      reply.body.clear();
      return reply;
    case CURLE_TOO_MANY_REDIRECTS:
      reply.failed = true;
      reply.error = "Too many redirects (over " + std::to_string(kMaxRedirects) + ")";
      reply.body.clear();
      return reply;
    case CURLE_UNSUPPORTED_PROTOCOL:
      reply.failed = true;
      reply.error = "Refused: " + Reason(run.code, handles_->errorBuffer);
      reply.body.clear();
      return reply;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      reply.failed = true;
      reply.error = "Connection failed: " + Reason(run.code, handles_->errorBuffer);
      reply.body.clear();
      return reply;
    default:
      reply.failed = true;
      reply.error = (reply.status == 0 ? "Connection failed: " : "Transfer broke off: ") +
                    Reason(run.code, handles_->errorBuffer);
      return reply;
  }
}

ProbeOutcome ProbeUrlStatus(const std::string& url, RequestLimits limits) {
  InitCurlOnce();
  std::string address = url;
  std::string lower = url;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower.find("http://") == std::string::npos) address = "http://" + url;

  Transfer transfer;
  transfer.stopAtBody = true;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Cache-Control: no-cache");
  headers = curl_slist_append(headers, "Pragma: no-cache");
  const ListPtr headerList(headers);
  MultiPtr multi(curl_multi_init());
  EasyPtr easy(curl_easy_init());
  if (!multi || !easy) return ProbeOutcome::NoAnswer;
  ConfigureCommon(easy.get(), limits, transfer, errorBuffer);
  curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, "InetURL:/1.0");
  curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy.get(), CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(easy.get(), CURLOPT_URL, address.c_str());

  Run(multi.get(), easy.get(), transfer, limits.stallTimeout, Clock::now() + limits.totalTimeout);
  // The status line is all the probe reads; it counts however the rest of the transfer went.
  const long status = ResponseCode(easy.get());
  if (status == 0) return ProbeOutcome::NoAnswer;
  return status == 200 || status == 302 ? ProbeOutcome::Exists : ProbeOutcome::OtherStatus;
}

}  // namespace zelko
