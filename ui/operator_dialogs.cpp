#include "ui/operator_dialogs.h"

#include "ui/qt_operator_dialogs.h"

namespace {
OperatorDialogs* installedDialogs = nullptr;
}  // namespace

OperatorDialogs& operatorDialogs() {
    static QtOperatorDialogs qtDialogs;
    return installedDialogs ? *installedDialogs : qtDialogs;
}

void setOperatorDialogs(OperatorDialogs* dialogs) {
    installedDialogs = dialogs;
}
