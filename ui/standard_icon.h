#pragma once

#include <QIcon>
#include <QStyle>

// A standard icon of the application's style that is loaded when it is first drawn. The style
// decodes every size of a standard icon at once, which would cost the start of the program
// for buttons of windows that are not shown yet.
QIcon standardIconOnDemand(QStyle::StandardPixmap glyph);
