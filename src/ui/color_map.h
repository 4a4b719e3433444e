#pragma once

#include <QColor>
#include <QPalette>

#include "board/colors.h"

namespace zelko::ui {

// A cell colour as Qt draws it: plain colours are 0x00BBGGRR; system colours take the theme's
// colour from the palette.
QColor ToQColor(Color color, const QPalette& palette);
QColor ToQColor(Color color);  // with the application palette

}  // namespace zelko::ui
