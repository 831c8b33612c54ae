#include "settings/form_setup.h"

TForm_Setup::TForm_Setup(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Setup"));
    resize(361, 426);
}
