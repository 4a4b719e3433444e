#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "feed/http_client.h"
#include "feed/platform.h"

namespace zelko {

// The parts of the platform every front end shares on a real machine: HTTP through libcurl,
// the version probe, files in one directory (the current working directory unless told
// otherwise) and the local clock. Message boxes, the shell, the error report, the message loop
// and the main window belong to the front end.
class SystemPlatform : public Platform {
 public:
  explicit SystemPlatform(RequestLimits limits = RequestLimits::Default(),
                          std::filesystem::path directory = {});

  std::unique_ptr<HttpClient> MakeClient(ClientProfile profile, std::string name) override;
  ProbeOutcome ProbeStatus(const std::string& url) override;

  std::optional<std::string> ReadFile(const std::string& name) override;
  // Written to a temporary file beside the target and renamed over it, so that a reader never
  // sees half a file and a failed write leaves the old one in place. `ownerOnly` gives 0600;
  // otherwise the process's umask decides.
  bool WriteFile(const std::string& name, const std::string& bytes, bool ownerOnly) override;
  void RemoveFile(const std::string& name) override;

  TimeOfDay LocalTime() override;

  // Where a file name of the form lands.
  std::filesystem::path PathOf(const std::string& name) const;

 private:
  RequestLimits limits_;
  std::filesystem::path directory_;
};

}  // namespace zelko
