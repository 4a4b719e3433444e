#pragma once

#include <QString>

namespace zelko {
class Platform;
}

namespace zelko::ui {

class MainWindow;

struct ScreenshotPlan {
  QString dir;
  QString login;
  QString password;
  // When set ("HH:MM"), the demo service's clock is moved there after the login and the board
  // refreshed, so that the live events of the meantime show.
  QString advanceClockTo;
};

// Drives the window through a login on the service and saves pictures of its pages into the
// plan's folder: login.png, work_market.png, work_score.png, favourites.png, live.png. Gives the
// exit status.
int TakeScreenshots(MainWindow& window, Platform& platform, const ScreenshotPlan& plan);

}  // namespace zelko::ui
