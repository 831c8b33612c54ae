#include "ui/narrow_font.h"

#include <QWidget>

#include <algorithm>

namespace {

constexpr int narrowestStretch = 50;

}  // namespace

void narrowFontToFit(QWidget* control, QFont font, int width, const QString& text) {
    control->setFont(font);
    const int needed = control->sizeHint().width();
    const int textWidth = control->fontMetrics().horizontalAdvance(text);
    if (needed <= width || textWidth <= 0) {
        return;
    }
    // Fonts come in few widths, so narrower steps are tried until the text fits.
    int stretch = 100 * (textWidth - (needed - width)) / textWidth;
    do {
        font.setStretch(std::max(narrowestStretch, stretch));
        control->setFont(font);
        stretch -= 2;
    } while (control->sizeHint().width() > width && stretch >= narrowestStretch);
}
