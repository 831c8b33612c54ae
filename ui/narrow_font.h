#pragma once

#include <QFont>
#include <QString>

class QWidget;

// Gives `control` the font `font`, narrowed just enough that the control needs no more than
// `width` pixels to show `text` whole. Only the stretch changes, never family or size, so the
// text keeps its height; where the font fits as it is (the fonts the windows were designed
// for), nothing changes. Half the normal width is the narrowest it goes.
void narrowFontToFit(QWidget* control, QFont font, int width, const QString& text);
