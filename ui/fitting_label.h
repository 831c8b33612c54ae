#pragma once

#include <QFont>
#include <QLabel>

// A label of fixed place for texts known only at run time (identity values, units, measured
// values). Where a stand-in font is wider than the one the window was designed for, its font
// narrows just enough to show the whole text; each new text starts again from the design font.
class FittingLabel : public QLabel {
    Q_OBJECT

public:
    FittingLabel(const QString& text, const QFont& font, const QRect& place, QWidget* parent);

    // Hides QLabel::setText so that every text the windows show is fitted; the windows hold
    // these labels by this type.
    void setText(const QString& text);

private:
    QFont designFont;
};
