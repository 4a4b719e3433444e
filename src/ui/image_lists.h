#pragma once

#include <QIcon>
#include <QPixmap>
#include <array>
#include <string_view>
#include <vector>

#include "board/grid_table.h"

namespace zelko::ui {

// The file name (without ".png") in the flag package for the country text of a flag image, or
// an empty view when the package has no flag for it.
std::string_view FlagFileFor(std::string_view country);

// The four image lists of the window and the header pictures of the side grids, 16 x 16 with
// transparency, loaded once from the embedded resources.
class ImageLists {
 public:
  static constexpr int kFlagCount = 103;  // 0 the football, 1 to 102 the flags
  static constexpr int kTabIconCount = 9;
  static constexpr int kToolCount = 2;
  static constexpr int kCrossCount = 1;
  static constexpr int kHeaderIconCount = 13;

  ImageLists();

  // A null pixmap for an index outside the list.
  const QPixmap& Image(ImageList list, int index) const;
  int Count(ImageList list) const;
  // The header picture `icon` of a side grid's column (ColumnSpec::headerIcon).
  const QPixmap& HeaderIcon(int icon) const;
  QIcon TabIcon(int index) const { return QIcon(Image(ImageList::Tabs, index)); }

 private:
  const std::vector<QPixmap>* ListOf(ImageList list) const;

  std::vector<QPixmap> flags_;
  std::vector<QPixmap> tabs_;
  std::vector<QPixmap> tools_;
  std::vector<QPixmap> cross_;
  std::vector<QPixmap> headers_;
  QPixmap none_;
};

}  // namespace zelko::ui
