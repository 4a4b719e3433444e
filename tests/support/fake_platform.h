#pragma once

// A platform for tests: an in-memory network with canned replies per path, files in memory,
// and a record of every request, message, shell call, error report and pending-events call.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "feed/codec.h"
#include "feed/platform.h"

namespace zelko::testing {

struct SentRequest {
  std::string client;  // the client's name ("IdHTTP1", "IdHTTP2", "analysis", ...)
  std::string url;     // the whole URL as the client was given it
  std::string path;    // the path without the query
  std::string query;   // the query without "?"
};

// Replies by path. A path with queued replies answers them in order and then repeats the last;
// a path without any answers 404 (a failed request).
class FakeNetwork {
 public:
  // `body` is UTF-8 here and goes out as Windows-1251, as the service sends it.
  void Reply(const std::string& path, const std::string& body) {
    replies_[path].push_back(Ok(body));
  }
  void Fail(const std::string& path, int status = 500) {
    HttpReply r;
    r.failed = true;
    r.status = status;
    r.error = status == 0 ? "connection refused" : "HTTP " + std::to_string(status);
    replies_[path].push_back(r);
  }
  void Handle(const std::string& path, std::function<HttpReply(const SentRequest&)> handler) {
    handlers_[path] = std::move(handler);
  }
  void ClearReplies(const std::string& path) { replies_.erase(path); }

  static HttpReply Ok(const std::string& utf8Body) {
    HttpReply r;
    r.status = 200;
    r.body = Utf8ToCp1251(utf8Body);
    return r;
  }

  HttpReply Serve(const std::string& client, const std::string& url) {
    SentRequest req{client, url, {}, {}};
    std::string rest = url;
    if (auto p = rest.find("://"); p != std::string::npos) rest = rest.substr(p + 3);
    auto slash = rest.find('/');
    rest = slash == std::string::npos ? "/" : rest.substr(slash);
    auto q = rest.find('?');
    req.path = rest.substr(0, q);
    req.query = q == std::string::npos ? "" : rest.substr(q + 1);
    requests.push_back(req);
    if (auto h = handlers_.find(req.path); h != handlers_.end()) return h->second(req);
    auto it = replies_.find(req.path);
    if (it == replies_.end() || it->second.empty()) {
      HttpReply r;
      r.failed = true;
      r.status = 404;
      r.error = "HTTP 404";
      return r;
    }
    HttpReply r = it->second.front();
    if (it->second.size() > 1) it->second.pop_front();
    return r;
  }

  // Requests to one path, in order.
  std::vector<SentRequest> To(const std::string& path) const {
    std::vector<SentRequest> out;
    for (const auto& r : requests)
      if (r.path == path) out.push_back(r);
    return out;
  }

  std::vector<SentRequest> requests;

 private:
  std::map<std::string, std::deque<HttpReply>> replies_;
  std::map<std::string, std::function<HttpReply(const SentRequest&)>> handlers_;
};

class FakeHttpClient final : public HttpClient {
 public:
  FakeHttpClient(FakeNetwork& network, std::string name, ClientProfile profile)
      : network_(network), name_(std::move(name)), profile_(profile) {}
  HttpReply Get(const std::string& url) override { return network_.Serve(name_, url); }
  const std::string& Name() const override { return name_; }
  ClientProfile Profile() const { return profile_; }

 private:
  FakeNetwork& network_;
  std::string name_;
  ClientProfile profile_;
};

class FakePlatform : public Platform {
 public:
  std::unique_ptr<HttpClient> MakeClient(ClientProfile profile, std::string name) override {
    ++clientsMade;
    ++clientsAlive;
    struct Counted final : HttpClient {
      Counted(FakeNetwork& n, std::string nm, ClientProfile p, int& alive)
          : inner(n, std::move(nm), p), alive_(alive) {}
      ~Counted() override { --alive_; }
      HttpReply Get(const std::string& url) override { return inner.Get(url); }
      const std::string& Name() const override { return inner.Name(); }
      FakeHttpClient inner;
      int& alive_;
    };
    return std::make_unique<Counted>(network, std::move(name), profile, clientsAlive);
  }
  ProbeOutcome ProbeStatus(const std::string& url) override {
    probes.push_back(url);
    return probeOutcome;
  }
  std::optional<std::string> ReadFile(const std::string& name) override {
    auto it = files.find(name);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool WriteFile(const std::string& name, const std::string& bytes, bool ownerOnly) override {
    if (unwritable.count(name)) return false;
    files[name] = bytes;
    ownerOnlyFiles[name] = ownerOnly;
    return true;
  }
  void RemoveFile(const std::string& name) override { files.erase(name); }
  void OpenWithShell(const std::string& target) override { opened.push_back(target); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ReportError(const std::string& text) override { errors.push_back(text); }
  void ProcessPendingEvents() override {
    ++pendingEventCalls;
    if (onPendingEvents) onPendingEvents();
  }
  void CloseMainWindow() override { closed = true; }
  TimeOfDay LocalTime() override { return now; }

  FakeNetwork network;
  ProbeOutcome probeOutcome = ProbeOutcome::Exists;
  std::vector<std::string> probes;
  std::map<std::string, std::string> files;  // raw bytes (Windows-1251)
  std::map<std::string, bool> ownerOnlyFiles;
  std::map<std::string, bool> unwritable;
  std::vector<std::string> opened;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  int pendingEventCalls = 0;
  std::function<void()> onPendingEvents;
  bool closed = false;
  TimeOfDay now{14, 5};
  int clientsMade = 0;
  int clientsAlive = 0;
};

}  // namespace zelko::testing
