#include "ui/qt_operator_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QMessageBox::StandardButton execPlainBox(const QString& text, const QString& caption,
                                         QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, buttons, dialogParent());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Where a file dialog opens without a usable directory: the user's documents, never the
// process's working directory (where Qt would fall back to).
QString dialogDirectory(const QString& requested) {
    if (!requested.isEmpty() && QFileInfo(requested).isDir()) {
        return requested;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Runs the dialog with the filters, the first preselected; empty when cancelled.
QString chosenFile(QFileDialog& dialog, const QStringList& filters) {
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.first());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

}  // namespace

void QtOperatorDialogs::showMessage(const QString& text, const QString& caption) {
    execPlainBox(text, caption, QMessageBox::Ok);
}

OperatorDialogs::Answer QtOperatorDialogs::askOkCancel(const QString& text,
                                                       const QString& caption) {
    const auto button = execPlainBox(text, caption, QMessageBox::Ok | QMessageBox::Cancel);
    return button == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

bool QtOperatorDialogs::inputText(const QString& caption, const QString& prompt, QString& value) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(dialogParent(), caption, prompt, QLineEdit::Normal, value, &accepted);
    if (accepted) {
        value = text;
    }
    return accepted;
}

QString QtOperatorDialogs::saveFileName(const SaveFileRequest& request) {
    QFileDialog dialog(dialogParent(), QString(), dialogDirectory(request.initialDirectory));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Records are appended to an existing file, so choosing one replaces nothing.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(request.defaultSuffix);
    return chosenFile(dialog, request.filters);
}

QString QtOperatorDialogs::openFileName(const OpenFileRequest& request) {
    QFileDialog dialog(dialogParent(), QString(), dialogDirectory(request.initialDirectory));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog, request.filters);
}

void QtOperatorDialogs::showError(const QString& text) {
    QMessageBox::critical(dialogParent(), QGuiApplication::applicationDisplayName(), text);
}
