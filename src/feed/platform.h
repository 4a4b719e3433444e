#pragma once

#include <memory>
#include <optional>
#include <string>

#include "feed/http_client.h"

namespace zelko {

// A local time of day, as the clock of the machine shows it.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
};

// Everything the form reaches outside itself goes through this interface: the GUI implements it
// with Qt and libcurl, the command-line twin with libcurl and printed events, tests with fakes.
class Platform {
 public:
  virtual ~Platform() = default;

  // A new HTTP client with the given profile and name; cookies are never shared between clients.
  virtual std::unique_ptr<HttpClient> MakeClient(ClientProfile profile, std::string name) = 0;
  // The version probe: a fresh GET whose status alone is read.
  virtual ProbeOutcome ProbeStatus(const std::string& url) = 0;

  // Files in the current working directory, as raw bytes.
  virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
  // Replaces the file; `ownerOnly` gives it permissions 0600. False when it cannot be written.
  virtual bool WriteFile(const std::string& name, const std::string& bytes, bool ownerOnly) = 0;
  virtual void RemoveFile(const std::string& name) = 0;

  // Open a web address or a file with the system's default handler.
  virtual void OpenWithShell(const std::string& target) = 0;
  // A modal message box with one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // The general error report for an error that escaped a handler; the application goes on.
  virtual void ReportError(const std::string& text) = 0;
  // Let the message loop handle all pending events, then return.
  virtual void ProcessPendingEvents() = 0;
  // Close the main window, which ends the application.
  virtual void CloseMainWindow() = 0;

  virtual TimeOfDay LocalTime() = 0;
};

}  // namespace zelko
