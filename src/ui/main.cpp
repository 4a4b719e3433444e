// The desktop window of the monitor: the form bound to Qt, on the service given by --service,
// else ZELKO_SERVICE, else the default host.
#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>
#include <optional>
#include <string>

#include "app/main_form.h"
#include "feed/service_url.h"
#include "ui/image_lists.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/screenshots.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelko"));
  QApplication::setApplicationVersion(QStringLiteral("2.4"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Zelko monitor"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption service(QStringLiteral("service"),
                                   QStringLiteral("The data service, HOST[:PORT]."),
                                   QStringLiteral("host"));
  parser.addOption(service);
  // Pictures of the pages for the documentation; not a user option.
  QCommandLineOption screenshots(QStringLiteral("screenshots"), QString(), QStringLiteral("dir"));
  screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(screenshots);
  QCommandLineOption login(QStringLiteral("screenshot-login"), QString(),
                           QStringLiteral("login:password"), QStringLiteral("demo:demo"));
  login.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(login);
  QCommandLineOption clock(QStringLiteral("screenshot-clock"), QString(), QStringLiteral("hh:mm"));
  clock.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(clock);
  parser.process(app);

  std::optional<std::string> host;
  if (parser.isSet(service)) host = parser.value(service).toStdString();

  zelko::ui::QtPlatform platform;
  zelko::MainForm form(platform, zelko::ResolveServiceHost(host));
  const zelko::ui::ImageLists images;
  zelko::ui::MainWindow window(form, platform, images);
  platform.SetMainWindow(&window);

  if (parser.isSet(screenshots)) {
    platform.SetInteractive(false);
    const QStringList credentials = parser.value(login).split(QLatin1Char(':'));
    const zelko::ui::ScreenshotPlan plan{parser.value(screenshots), credentials.value(0),
                                         credentials.value(1), parser.value(clock)};
    return zelko::ui::TakeScreenshots(window, platform, plan);
  }
  window.show();
  window.Centre();
  return QApplication::exec();
}
