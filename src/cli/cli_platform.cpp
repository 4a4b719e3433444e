#include "cli/cli_platform.h"

#include <utility>

#include "cli/dump.h"

namespace zelko::cli {

CliPlatform::CliPlatform(std::ostream& out, RequestLimits limits, std::filesystem::path directory)
    : SystemPlatform(limits, std::move(directory)), out_(out) {}

void CliPlatform::OpenWithShell(const std::string& target) {
  out_ << JsonLine(OpenEvent(target)) << '\n' << std::flush;
}

void CliPlatform::ShowMessage(const std::string& text) {
  out_ << JsonLine(MessageEvent(text)) << '\n' << std::flush;
}

void CliPlatform::ReportError(const std::string& text) {
  out_ << JsonLine(ErrorEvent(text)) << '\n' << std::flush;
}

void CliPlatform::CloseMainWindow() {
  if (closed_) return;
  closed_ = true;
  out_ << JsonLine(ClosedEvent()) << '\n' << std::flush;
}

}  // namespace zelko::cli
