#include "ui/color_map.h"

#include <QGuiApplication>

namespace zelko::ui {
namespace {

QColor Mix(const QColor& a, const QColor& b, double share) {
  return QColor::fromRgbF(static_cast<float>(a.redF() * share + b.redF() * (1.0 - share)),
                          static_cast<float>(a.greenF() * share + b.greenF() * (1.0 - share)),
                          static_cast<float>(a.blueF() * share + b.blueF() * (1.0 - share)));
}

}  // namespace

QColor ToQColor(Color color, const QPalette& palette) {
  if (!colors::IsSystemColor(color)) {
    const int red = static_cast<int>(color & 0xFFu);
    const int green = static_cast<int>((color >> 8) & 0xFFu);
    const int blue = static_cast<int>((color >> 16) & 0xFFu);
    return QColor(red, green, blue);
  }
  // The low byte is the theme's colour index, as the classic system colour table numbers them.
  switch (color & 0xFFu) {
    case 0x00:  // scroll bar
      return palette.color(QPalette::Button).darker(108);
    case 0x02:  // active caption: Qt has no caption role, so a light tint of the highlight
      return Mix(palette.color(QPalette::Highlight), palette.color(QPalette::Base), 0.45);
    case 0x05:  // window (the background of lists and edit boxes)
      return palette.color(QPalette::Base);
    case 0x08:  // window text
      return palette.color(QPalette::Text);
    case 0x0D:  // highlight
      return palette.color(QPalette::Highlight);
    case 0x0E:  // highlight text
      return palette.color(QPalette::HighlightedText);
    case 0x0F:  // button face
      return palette.color(QPalette::Button);
    case 0x10:  // button shadow
      return palette.color(QPalette::Dark);
    case 0x11:  // grey text
      return palette.color(QPalette::Disabled, QPalette::Text);
    case 0x12:  // button text
      return palette.color(QPalette::ButtonText);
    default:
      return palette.color(QPalette::Window);
  }
}

QColor ToQColor(Color color) {
  return ToQColor(color, QGuiApplication::palette());
}

}  // namespace zelko::ui
