#include "ui/fitting_label.h"

#include "ui/narrow_font.h"

FittingLabel::FittingLabel(const QString& text, const QFont& font, const QRect& place,
                           QWidget* parent)
    : QLabel(parent), designFont(font) {
    setGeometry(place);
    setText(text);
}

void FittingLabel::setText(const QString& text) {
    QLabel::setText(text);
    narrowFontToFit(this, designFont, width(), text);
}
