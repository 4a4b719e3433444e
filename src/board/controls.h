#pragma once

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

// The status check boxes of the filter bar: checker1 LIVE, checker2 SOON, checker3 FINISH,
// checker4 CANCEL.
struct StatusBoxes {
  bool live = true;
  bool soon = true;
  bool finish = true;
  bool cancel = true;

  // Whether a row or record of this status is wanted (exact status words only).
  bool Passes(std::string_view status) const {
    return (status == "FINISH" && finish) || (status == "LIVE" && live) ||
           (status == "SOON" && soon) || (status == "CANCEL" && cancel);
  }

  friend bool operator==(const StatusBoxes&, const StatusBoxes&) = default;
};

}  // namespace zelko
