#include "feed/service_url.h"

#include <cstdlib>

#include "feed/codec.h"

namespace zelko {

std::string ResolveServiceHost(std::optional<std::string> fromCommandLine) {
  if (fromCommandLine && !fromCommandLine->empty()) return *fromCommandLine;
  if (const char* fromEnvironment = std::getenv("ZELKO_SERVICE");
      fromEnvironment != nullptr && *fromEnvironment != '\0') {
    return fromEnvironment;
  }
  return kDefaultServiceHost;
}

std::string EncodeQueryValue(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string bytes = Utf8ToCp1251(utf8);
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                            byte == '_' || byte == '~';
    if (unreserved) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0Fu]);
    }
  }
  return out;
}

QueryUrl::QueryUrl(std::string_view host, std::string_view pathWithQuestionMark) {
  url_.append("http://").append(host).append(pathWithQuestionMark);
}

QueryUrl& QueryUrl::Add(std::string_view keyWithSeparator, std::string_view utf8Value) {
  url_.append(keyWithSeparator).append(EncodeQueryValue(utf8Value));
  return *this;
}

QueryUrl& QueryUrl::AddRaw(std::string_view text) {
  url_.append(text);
  return *this;
}

std::string FeedUrl(std::string_view host, const Credentials& credentials,
                    std::optional<std::string_view> menu) {
  QueryUrl url(host, "/login/zelko.php?");
  url.Add("login=", credentials.login).Add("&pass=", credentials.password);
  if (menu) url.Add("&menu=", *menu);
  return url.str();
}

ServiceBytes ServiceGetBytes(HttpClient& client, const std::string& url) {
  HttpReply reply = client.Get(url);
  ServiceBytes result;
  result.failed = reply.failed;
  // An error status never hands its body on, whatever the client kept.
  if (!(reply.failed && reply.status >= 400)) result.body = std::move(reply.body);
  return result;
}

ServiceReply ServiceGet(HttpClient& client, const std::string& url) {
  const ServiceBytes bytes = ServiceGetBytes(client, url);
  ServiceReply result;
  result.failed = bytes.failed;
  result.text = Cp1251ToUtf8(bytes.body);
  return result;
}

namespace {

// The address without its query: the query carries the password.
std::string_view WithoutQuery(std::string_view url) {
  return url.substr(0, url.find('?'));
}

}  // namespace

std::string ServiceGetOrThrow(HttpClient& client, const std::string& url) {
  const HttpReply reply = client.Get(url);
  if (!reply.failed) return Cp1251ToUtf8(reply.body);
  std::string message;
  if (reply.status >= 400) {
    message = "HTTP " + std::to_string(reply.status) + " from " + std::string(WithoutQuery(url));
  } else {
    message = (reply.error.empty() ? std::string("Request failed") : reply.error) + " (" +
              std::string(WithoutQuery(url)) + ")";
  }
  throw ServiceError(message);
}

}  // namespace zelko
