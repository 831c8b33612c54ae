#pragma once

#include <QString>
#include <QStringList>

// Every modal question the program puts to the operator goes through here, so that
// tests can answer by script instead of blocking.
class OperatorDialogs {
public:
    enum class Answer { Ok, Cancel };

    struct SaveFileRequest {
        QString defaultSuffix;     // appended when the operator types a name without one
        QStringList filters;       // "Description (*.EXT)" entries; the first is preselected
        QString initialDirectory;  // empty: where the platform places the dialog
    };

    struct OpenFileRequest {
        QStringList filters;       // "Description (*.EXT)" entries; the first is preselected
        QString initialDirectory;  // empty: where the platform places the dialog
    };

    virtual ~OperatorDialogs() = default;

    // Message box with an OK button only.
    virtual void showMessage(const QString& text, const QString& caption) = 0;
    // Message box with OK and Cancel.
    virtual Answer askOkCancel(const QString& text, const QString& caption) = 0;
    // One-line input dialog; returns false on Cancel (value is then left as it was).
    virtual bool inputText(const QString& caption, const QString& prompt, QString& value) = 0;
    // File-save dialog; returns the full path, or an empty text when cancelled.
    virtual QString saveFileName(const SaveFileRequest& request) = 0;
    // File-open dialog for an existing file; returns the full path, or an empty text when
    // cancelled.
    virtual QString openFileName(const OpenFileRequest& request) = 0;
    // The standard error report for an error raised inside a handler.
    virtual void showError(const QString& text) = 0;
};

// The dialogs in use: real Qt dialogs unless a test installed others.
OperatorDialogs& operatorDialogs();
// Installs dialogs (not owned); nullptr returns to the real ones.
void setOperatorDialogs(OperatorDialogs* dialogs);
