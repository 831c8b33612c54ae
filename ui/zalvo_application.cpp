#include "ui/zalvo_application.h"

#include <exception>

#include "ui/operator_dialogs.h"

ZalvoApplication::ZalvoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ZalvoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        operatorDialogs().showError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        operatorDialogs().showError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}
