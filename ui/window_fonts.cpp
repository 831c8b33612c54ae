#include "ui/window_fonts.h"

QFont windowFont(int pixelHeight, bool bold, const QString& family) {
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}
