#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelko {

// The state of the window's controls that the procedures read or write. The front ends draw
// them; the core never draws.

// The progress gauge `progress`.
struct Gauge {
  bool visible = false;
  int position = 0;
  int max = 100;
};

// A one-second timer: the front end delivers its ticks only while it is enabled.
struct Timer {
  bool enabled = false;
};

// A tab of a page control.
struct Tab {
  std::string caption;
  bool visible = true;
};

// The status words the status check boxes tell apart, and any other text.
enum class StatusWord : std::uint8_t { kOther, kLive, kSoon, kFinish, kCancel };

// The word a row's or record's status text is (exact words only).
inline StatusWord StatusWordOf(std::string_view status) {
  if (status == "LIVE") return StatusWord::kLive;
  if (status == "SOON") return StatusWord::kSoon;
  if (status == "FINISH") return StatusWord::kFinish;
  if (status == "CANCEL") return StatusWord::kCancel;
  return StatusWord::kOther;
}

// The status check boxes of the filter bar: checker1 LIVE, checker2 SOON, checker3 FINISH,
// checker4 CANCEL.
struct StatusBoxes {
  bool live = true;
  bool soon = true;
  bool finish = true;
  bool cancel = true;

  // Whether a row or record of this status is wanted.
  bool Passes(StatusWord word) const {
    switch (word) {
      case StatusWord::kLive:
        return live;
      case StatusWord::kSoon:
        return soon;
      case StatusWord::kFinish:
        return finish;
      case StatusWord::kCancel:
        return cancel;
      case StatusWord::kOther:
        break;
    }
    return false;
  }
  bool Passes(std::string_view status) const { return Passes(StatusWordOf(status)); }
};

}  // namespace zelko
