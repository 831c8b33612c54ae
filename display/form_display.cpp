#include "display/form_display.h"

TFormDisplay::TFormDisplay(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Display Zalvo"));
    resize(949, 515);
}
