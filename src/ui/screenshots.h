#pragma once

#include <QString>

namespace zelko::ui {

class MainWindow;

// Drives the window through a login on the service and saves pictures of its pages into `dir`:
// login.png, work_market.png, work_score.png, favourites.png, live.png. Gives the exit status.
int TakeScreenshots(MainWindow& window, const QString& dir, const QString& login,
                    const QString& password);

}  // namespace zelko::ui
