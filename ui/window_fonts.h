#pragma once

#include <QFont>
#include <QString>

// The windows are laid out in pixels with fonts given by pixel height, so they look the same
// on every screen. "Arial" falls back to its metric twin where it is not installed.
QFont windowFont(int pixelHeight, bool bold = false,
                 const QString& family = QStringLiteral("Arial"));
