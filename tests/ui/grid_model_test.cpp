// The grid models, the card view and the image lists, over plain grid tables.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <memory>

#include "board/columns.h"
#include "board/flags.h"
#include "board/grid_table.h"
#include "ui/card_view.h"
#include "ui/color_map.h"
#include "ui/grid_model.h"
#include "ui/image_lists.h"
#include "ui/side_grid.h"

using namespace zelko;
using namespace zelko::ui;

namespace {

void FillCard(GridTable& grid, int row, const std::string& id) {
  grid.SetCellText(col::RId, row, id);
  grid.SetCellText(col::RHome, row, "Home " + id);
  grid.SetCellText(col::RAway, row, "Away " + id);
  grid.SetCellText(col::R_Status, row, "SOON");
  grid.SetCellColor(col::R_Status, row, colors::kGreen);
  grid.SetCellText(col::R_1, row, "2.10");
  grid.SetCellInteger(col::RFlag, row, 23);
}

QImage RenderCard(const CardView& view, int row) {
  QImage image(CardView::kCardWidth, 80, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  view.PaintCard(painter, image.rect(), row, false);
  return image;
}

bool Opaque(const QPixmap& p) {
  const QImage image = p.toImage();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) return true;
  return false;
}

}  // namespace

class GridModelTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { images_ = std::make_unique<ImageLists>(); }

  void passesTheModelTesterThroughEveryOperation() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 0; i < 20; ++i) FillCard(grid, grid.AddRow(), std::to_string(i));
    grid.InsertRow(0);
    grid.InsertRow(5);
    grid.DeleteRow(3);
    grid.SetCellText(col::RTime, 4, "12:00");
    grid.SortByColumn(col::RHome);
    grid.SetColumnVisible(col::s00, true);
    QCoreApplication::processEvents();
    grid.ClearRows();
    grid.AddRow();
    QCoreApplication::processEvents();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), col::BoardCount);
  }

  void forwardsInsertsRemovalsAndSortsExactly() {
    GridTable grid("SBX", SbxColumns());
    GridModel model(grid, *images_);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    for (int i = 0; i < 3; ++i) grid.AddRow();
    grid.InsertRow(0);  // SBX lists the newest at the top
    QCOMPARE(inserted.count(), 4);
    QCOMPARE(inserted.last().at(1).toInt(), 0);
    QCOMPARE(inserted.last().at(2).toInt(), 0);
    QCOMPARE(inserted.at(2).at(1).toInt(), 2);
    grid.DeleteRow(2);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.last().at(1).toInt(), 2);
    QCOMPARE(removed.last().at(2).toInt(), 2);
    grid.SortByColumn(col::sbx::Home);
    QCOMPARE(layout.count(), 1);
    grid.ClearRows();
    QCOMPARE(removed.count(), 2);
    QCOMPARE(removed.last().at(1).toInt(), 0);
    QCOMPARE(removed.last().at(2).toInt(), 2);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(model.rowCount(), 0);
  }

  void coalescesCellChangesPerRow() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    for (int i = 0; i < 100; ++i) grid.AddRow();
    QCoreApplication::processEvents();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int c = 27; c < 32; ++c) grid.SetCellText(c, 2, "x");
    grid.SetCellColor(col::R_Status, 7, colors::kRed);
    grid.SetCellHint(col::RFlag, 7, "England. Premier League");
    grid.SetCellChecked(col::RCh, 7, true);
    QCOMPARE(changed.count(), 0);  // sent from the event loop, once per row
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 2);
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>().row(), 2);
    QCOMPARE(changed.at(1).at(0).value<QModelIndex>().row(), 7);
    QCOMPARE(changed.at(1).at(1).value<QModelIndex>().column(), col::BoardCount - 1);

    // Most rows changed: one range.
    changed.clear();
    for (int r = 10; r < 90; ++r) grid.SetCellText(col::rnow, r, "5");
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 10);
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>().row(), 89);

    // A change pending when rows go is announced before the removal, at its old row.
    changed.clear();
    grid.SetCellText(col::rnow, 50, "7");
    QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    grid.DeleteRow(0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 50);
    QCOMPARE(aboutToRemove.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 1);
  }

  // A board filled row by row, as the work board is rebuilt: the changes gathered wait while
  // rows are appended (they keep their rows) and go out from the event loop as one range; an
  // insert that moves rows announces them first, at their old rows.
  void gathersChangesWhileRowsAreAppended() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    QAbstractItemModelTester tester(&model);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int r = 0; r < 50; ++r) {
      grid.AddRow();
      FillCard(grid, r, "m" + std::to_string(r));
    }
    QCOMPARE(changed.count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 0);
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>().row(), 49);

    changed.clear();
    grid.SetCellText(col::rnow, 40, "7");
    grid.InsertRow(10);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 40);
    // What changes after the insert is marked afresh, at the rows as they now stand.
    grid.SetCellText(col::rnow, 41, "8");
    grid.SetCellText(col::rnow, 50, "9");
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.at(1).at(0).value<QModelIndex>().row(), 41);
    QCOMPARE(changed.at(2).at(0).value<QModelIndex>().row(), 50);
    QCoreApplication::processEvents();
    QCOMPARE(changed.count(), 3);
  }

  void givesTheCellRoles() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    const int row = grid.AddRow();
    FillCard(grid, row, "77");
    grid.SetCellHint(col::RFlag, row, "England. Premier League");
    grid.SetCellChecked(col::RCh, row, true);
    QCoreApplication::processEvents();
    QCOMPARE(model.data(model.index(row, col::RHome)).toString(), QStringLiteral("Home 77"));
    QCOMPARE(
        model.data(model.index(row, col::R_Status), Qt::BackgroundRole).value<QBrush>().color(),
        QColor(0, 128, 0));
    QCOMPARE(model.data(model.index(row, col::RFlag), Qt::ToolTipRole).toString(),
             QStringLiteral("England. Premier League"));
    QVERIFY(
        !model.data(model.index(row, col::RFlag), Qt::DecorationRole).value<QPixmap>().isNull());
    QCOMPARE(model.data(model.index(row, col::RFlag), GridModel::SortRole).toInt(), 23);
    QCOMPARE(model.data(model.index(row, col::RCh), Qt::CheckStateRole).toInt(),
             static_cast<int>(Qt::Checked));
    QCOMPARE(model.data(model.index(row, col::RCh), GridModel::RawTextRole).toString(),
             QStringLiteral("True"));
    QVERIFY(model.data(model.index(row, col::RHome), Qt::FontRole).value<QFont>().bold());
    QCOMPARE(model.data(model.index(row, col::RHome), Qt::ForegroundRole).value<QBrush>().color(),
             QColor(0, 0, 128));

    GridTable live("LiveGrid", LiveGridColumns());
    GridModel liveModel(live, *images_);
    QCOMPARE(liveModel.headerData(col::live::Home, Qt::Horizontal).toString(),
             QStringLiteral("Home"));
    QCOMPARE(liveModel.headerData(col::live::Flag, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QStringLiteral("Tournament"));
    QVERIFY(liveModel.headerData(col::live::Flag, Qt::Horizontal).isNull());
    QVERIFY(!liveModel.headerData(col::live::Flag, Qt::Horizontal, Qt::DecorationRole)
                 .value<QPixmap>()
                 .isNull());
  }

  void mapsPlainAndSystemColours() {
    QPalette pal;
    pal.setColor(QPalette::Base, QColor(1, 2, 3));
    pal.setColor(QPalette::Highlight, QColor(4, 5, 6));
    QCOMPARE(ToQColor(colors::kOrange, pal), QColor(255, 128, 0));
    QCOMPARE(ToQColor(colors::kNavy, pal), QColor(0, 0, 128));
    QCOMPARE(ToQColor(colors::kWindow, pal), QColor(1, 2, 3));
    QCOMPARE(ToQColor(colors::kHighlight, pal), QColor(4, 5, 6));
  }

  void loadsEveryImage() {
    QCOMPARE(images_->Count(ImageList::Flags), 103);
    for (int i = 0; i < 103; ++i) {
      const QPixmap& flag = images_->Image(ImageList::Flags, i);
      QVERIFY2(!flag.isNull(), qPrintable(QString::number(i)));
      QCOMPARE(flag.size(), QSize(16, 16));
      QVERIFY2(Opaque(flag), qPrintable(QString::number(i)));
    }
    // Every country has its own flag file but Kosovo, which shows the football.
    for (int i = 1; i <= 102; ++i) {
      const std::string_view country = FlagCountry(i);
      QVERIFY2(country == "Kosovo" || !FlagFileFor(country).empty(), country.data());
    }
    QCOMPARE(FlagFileFor("UEFA"), std::string_view("europeanunion"));
    QCOMPARE(FlagFileFor("CONMEBOL"), std::string_view("europeanunion"));
    QCOMPARE(FlagFileFor("Wales"), std::string_view("wales"));
    const int england = FlagIndexOf("England. Premier League");
    const int scotland = FlagIndexOf("Scotland. Premiership");
    QVERIFY(images_->Image(ImageList::Flags, england).toImage() !=
            images_->Image(ImageList::Flags, scotland).toImage());
    const int kosovo = FlagIndexOf("Kosovo. Superliga");
    QCOMPARE(images_->Image(ImageList::Flags, kosovo).toImage(),
             images_->Image(ImageList::Flags, 0).toImage());

    QCOMPARE(images_->Count(ImageList::Tabs), 9);
    QVERIFY(!Opaque(images_->Image(ImageList::Tabs, 0)));
    for (int i = 1; i < 9; ++i) QVERIFY(Opaque(images_->Image(ImageList::Tabs, i)));
    QCOMPARE(images_->Count(ImageList::Tools), 2);
    QCOMPARE(images_->Count(ImageList::Cross), 1);
    QVERIFY(Opaque(images_->Image(ImageList::Cross, 0)));
    for (int i = 0; i < ImageLists::kHeaderIconCount; ++i) QVERIFY(Opaque(images_->HeaderIcon(i)));
  }

  void cardsFindTheirCellsAndFollowTheViews() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    for (int i = 0; i < 10; ++i) FillCard(grid, grid.AddRow(), std::to_string(i));
    CardView view(&model);
    view.resize(1030, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect box = view.CellRect(col::RCh, 1);
    QCOMPARE(box.height(), 24);
    QCOMPARE(view.ColumnAt(box.center()), col::RCh);
    QCOMPARE(view.indexAt(box.center()).row(), 1);
    QCOMPARE(view.ColumnAt(view.CellRect(col::RHome, 2).center()), col::RHome);
    // Date and Time lie below the card and are never drawn.
    const auto& drawn = view.DrawnColumns();
    QVERIFY(std::find(drawn.begin(), drawn.end(), col::RTime) == drawn.end());
    QVERIFY(std::find(drawn.begin(), drawn.end(), col::R_1) != drawn.end());

    QSignalSpy clicked(&view, &CardView::cellClicked);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), col::RCh);
    QCOMPARE(clicked.at(0).at(1).toInt(), 1);

    // Hints are the cells' tooltips.
    grid.SetCellHint(col::RFlag, 2, "Spain. Primera");
    QCoreApplication::processEvents();
    const QPoint flag = view.CellRect(col::RFlag, 2).center();
    QHelpEvent help(QEvent::ToolTip, flag, view.viewport()->mapToGlobal(flag));
    QCoreApplication::sendEvent(view.viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Spain. Primera"));

    // A grid disabled by the form takes no clicks.
    grid.SetEnabled(false);
    QVERIFY(!view.isEnabled());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
    QCOMPARE(clicked.count(), 1);
    grid.SetEnabled(true);
    QVERIFY(view.isEnabled());

    // The score view's columns.
    for (int c = col::s00; c <= col::score04; ++c) grid.SetColumnVisible(c, true);
    for (int c = col::MarketFirst; c <= col::m45; ++c) grid.SetColumnVisible(c, false);
    QVERIFY(std::find(drawn.begin(), drawn.end(), col::R_1) == drawn.end());
    QVERIFY(std::find(drawn.begin(), drawn.end(), col::s00) != drawn.end());
    QCOMPARE(view.ColumnAt(view.CellRect(col::s00 + 3, 0).center()), col::s00 + 3);
  }

  void paintsFiveThousandCardsSmoothly() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    for (int i = 0; i < 5000; ++i) FillCard(grid, grid.AddRow(), std::to_string(i));
    CardView view(&model);
    view.resize(1030, 500);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int step = 0; step < 40; ++step) {
      view.verticalScrollBar()->setValue(step * 9973 % view.verticalScrollBar()->maximum());
      view.viewport()->repaint();
    }
    const qint64 ms = timer.elapsed();
    // 40 full repaints of a viewport of six cards: well under a frame each.
    QVERIFY2(ms < 2000, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    // A refresh in place keeps the place.
    view.verticalScrollBar()->setValue(80 * 2500);
    for (int r = 0; r < 5000; ++r) grid.SetCellText(col::rnow, r, "1");
    QCoreApplication::processEvents();
    QCOMPARE(view.verticalScrollBar()->value(), 80 * 2500);
  }

  void cachedCardsRepaintWhatChanged() {
    GridTable grid("RX2", Rx2Columns());
    GridModel model(grid, *images_);
    for (int i = 0; i < 3; ++i) FillCard(grid, grid.AddRow(), std::to_string(i));
    // A text too wide for its place, drawn smaller and cut.
    grid.SetCellText(col::R_1, 2, "123456789012345678901234567890");
    CardView view(&model);
    const QImage before = RenderCard(view, 1);
    QCOMPARE(RenderCard(view, 1), before);  // from the cache, the same

    // A changed text and a changed colour reach the card drawn from the cache.
    grid.SetCellText(col::R_1, 1, "3.45");
    grid.SetCellColor(col::R_Status, 1, colors::kRed);
    QCoreApplication::processEvents();
    const QImage after = RenderCard(view, 1);
    QVERIFY(after != before);
    {
      CardView fresh(&model);
      QCOMPARE(after, RenderCard(fresh, 1));
    }
    // A text shared by cards: the first card keeps its text when the second takes another.
    grid.SetCellText(col::R_1, 0, "3.45");
    grid.SetCellText(col::R_1, 1, "2.10");
    QCoreApplication::processEvents();
    {
      CardView fresh(&model);
      QCOMPARE(RenderCard(view, 0), RenderCard(fresh, 0));
      QCOMPARE(RenderCard(view, 1), RenderCard(fresh, 1));
      QCOMPARE(RenderCard(view, 2), RenderCard(fresh, 2));
    }
    // A column hidden or shown redraws the cached cards.
    const QImage shown = RenderCard(view, 2);
    grid.SetColumnVisible(col::R_1, false);
    QCoreApplication::processEvents();
    const QImage hidden = RenderCard(view, 2);
    QVERIFY(hidden != shown);
    {
      CardView fresh(&model);
      QCOMPARE(hidden, RenderCard(fresh, 2));
    }
    grid.SetColumnVisible(col::R_1, true);
    QCoreApplication::processEvents();
    QCOMPARE(RenderCard(view, 2), shown);
  }

  void sideGridsFollowTheColumns() {
    GridTable grid("SBX", SbxColumns());
    GridModel model(grid, *images_);
    SideGrid view(&model, false, colors::kHighlight);
    QVERIFY(view.isColumnHidden(col::sbx::My));
    QVERIFY(!view.isColumnHidden(col::sbx::Home));
    QCOMPARE(view.columnWidth(col::sbx::Home), 99);
    grid.SetColumnVisible(col::sbx::Status, true);
    QVERIFY(!view.isColumnHidden(col::sbx::Status));
  }

 private:
  std::unique_ptr<ImageLists> images_;
};

QTEST_MAIN(GridModelTest)
#include "grid_model_test.moc"
