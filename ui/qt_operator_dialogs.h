#pragma once

#include "ui/operator_dialogs.h"

// The operator's dialogs as real modal Qt dialogs over the active window.
class QtOperatorDialogs : public OperatorDialogs {
public:
    void showMessage(const QString& text, const QString& caption) override;
    Answer askOkCancel(const QString& text, const QString& caption) override;
    bool inputText(const QString& caption, const QString& prompt, QString& value) override;
    QString saveFileName(const SaveFileRequest& request) override;
    QString openFileName(const OpenFileRequest& request) override;
    void showError(const QString& text) override;
};
