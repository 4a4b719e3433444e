// Painting the work board: one full viewport of cards of a board of every match of the day,
// drawn by the window's card view into an image on the offscreen platform.
//
//   QT_QPA_PLATFORM=offscreen zelko_bench_paint [--sizes=1000,5000] [Google Benchmark flags]
//
// Each pass pages down first (untimed), so that the cards painted are not yet in the view's
// cache of display data: the figure is what paging through the board costs, not a repaint.
//
// filter_window: ApplyBoardFilter with the model and the card view on RX2, as in the window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench_boards.h"
#include "board/board_filter.h"
#include "ui/card_view.h"
#include "ui/grid_model.h"
#include "ui/image_lists.h"

namespace zelko::bench {
namespace {

// A board of a usual window: ten cards in view.
constexpr int kViewportHeight = 10 * 80;

const ui::ImageLists& Images() {
  static const ui::ImageLists images;
  return images;
}

// The boards of a day of `matches` filled, and their work board.
GridTable& EnteredWorkBoard(Boards& boards, int matches) {
  boards.Enter(FeedsFor(matches));
  return boards.rx2;
}

// The day's boards with the work board in the window's card view, shown and laid out.
struct WindowBoards {
  explicit WindowBoards(int matches)
      : model(EnteredWorkBoard(boards, matches), Images()), view(&model) {
    view.resize(ui::CardView::kCardWidth + 24, kViewportHeight);
    view.show();
    QApplication::processEvents();
  }
  Boards boards;
  ui::GridModel model;
  ui::CardView view;
};

void PaintViewport(benchmark::State& state) {
  WindowBoards window(static_cast<int>(state.range(0)));
  QWidget* viewport = window.view.viewport();
  QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
  QScrollBar* scroll = window.view.verticalScrollBar();
  for (auto _ : state) {
    state.PauseTiming();
    const int next = scroll->value() + viewport->height();
    scroll->setValue(next > scroll->maximum() ? 0 : next);
    QApplication::processEvents();
    state.ResumeTiming();
    viewport->render(&image);
  }
  state.counters["rows"] = window.model.rowCount();
}

// The work board rebuilt (every row passing) while the window's card view shows it, with the
// event loop's turn after it: the model's notices of the new rows and the repaint they ask for.
void FilterInWindow(benchmark::State& state) {
  WindowBoards window(static_cast<int>(state.range(0)));
  Boards& boards = window.boards;
  for (auto _ : state) {
    ApplyBoardFilter(boards.rx, boards.rx2, boards.boxes, "0", boards.countLabel,
                     boards.filterMemo);
    QApplication::processEvents();
  }
  state.counters["rows"] = window.model.rowCount();
}

}  // namespace
}  // namespace zelko::bench

int main(int argc, char** argv) {
  using namespace zelko::bench;
  std::vector<char*> rest;
  const std::vector<int> sizes = TakeSizesOption(argc, argv, rest);
  int restCount = static_cast<int>(rest.size());
  QApplication app(restCount, rest.data());
  for (const int size : sizes) {
    benchmark::RegisterBenchmark("filter_window", FilterInWindow)
        ->Arg(size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("paint_viewport", PaintViewport)
        ->Arg(size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&restCount, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
