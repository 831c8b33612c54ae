#include "ui/operator_dialogs.h"
#include "tests/support/scripted_operator_dialogs.h"
#include "ui/qt_operator_dialogs.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

using Kind = ScriptedOperatorDialogs::Kind;
using Answer = OperatorDialogs::Answer;

TEST(ScriptedOperatorDialogs, InstalledOnlyWhileAlive) {
    {
        ScriptedOperatorDialogs scripted;
        EXPECT_EQ(&operatorDialogs(), &scripted);
    }
    EXPECT_NE(dynamic_cast<QtOperatorDialogs*>(&operatorDialogs()), nullptr);
}

TEST(ScriptedOperatorDialogs, AnswersFromQueuesThenByDefault) {
    ScriptedOperatorDialogs scripted;
    scripted.queueOkCancel(Answer::Cancel);
    scripted.queueInput("first comment");
    scripted.queueSaveFile("/data/record.CSV");

    EXPECT_EQ(operatorDialogs().askOkCancel("Should the Setup.ini be updated ?", "Query"),
              Answer::Cancel);
    EXPECT_FALSE(scripted.anyDefaultAnswer());
    EXPECT_EQ(operatorDialogs().askOkCancel("again ?", "Query"), Answer::Ok);

    QString comment = "unchanged";
    EXPECT_TRUE(operatorDialogs().inputText("Input dialog", "Input comment", comment));
    EXPECT_EQ(comment, "first comment");
    comment = "unchanged";
    EXPECT_FALSE(operatorDialogs().inputText("Input dialog", "Input comment", comment));
    EXPECT_EQ(comment, "unchanged");

    const OperatorDialogs::SaveFileRequest request{"CSV", {"Comma-Separated Values (*.CSV)"}, ""};
    EXPECT_EQ(operatorDialogs().saveFileName(request), "/data/record.CSV");
    EXPECT_EQ(operatorDialogs().saveFileName(request), "");

    const QList<ScriptedOperatorDialogs::ShownBox>& shown = scripted.shown();
    ASSERT_EQ(shown.size(), 6);
    EXPECT_EQ(shown[0].text, "Should the Setup.ini be updated ?");
    EXPECT_EQ(shown[0].caption, "Query");
    const QList<bool> defaults{false, true, false, true, false, true};
    for (int i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].defaultAnswer, defaults[i]) << "box " << i;
    }
    EXPECT_EQ(shown[2].kind, Kind::Input);
    EXPECT_EQ(shown[2].text, "Input comment");
    EXPECT_EQ(shown[2].caption, "Input dialog");
    EXPECT_EQ(shown[4].saveRequest.defaultSuffix, "CSV");
    EXPECT_EQ(scripted.count(Kind::OkCancel), 2);
    EXPECT_EQ(scripted.count(Kind::SaveFile), 2);
}

TEST(ScriptedOperatorDialogs, RecordsMessagesAndErrors) {
    ScriptedOperatorDialogs scripted;
    operatorDialogs().showMessage("No connection to the USB device! ", " E R R O R");
    operatorDialogs().showError("Cannot write SETUP.INI");

    ASSERT_EQ(scripted.shown().size(), 2);
    EXPECT_EQ(scripted.shown()[0].kind, Kind::Message);
    EXPECT_EQ(scripted.shown()[0].caption, " E R R O R");
    EXPECT_EQ(scripted.shown()[1].kind, Kind::Error);
    EXPECT_EQ(scripted.shown()[1].text, "Cannot write SETUP.INI");
    EXPECT_FALSE(scripted.anyDefaultAnswer());
}

// The real dialogs, operated by a timer while they run modally.
void whenModalShown(std::function<void(QWidget*)> operate) {
    QTimer::singleShot(0, [operate] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        operate(modal);
    });
}

TEST(QtOperatorDialogs, QuestionBoxHasCaptionTextNoIconAndTwoButtons) {
    QtOperatorDialogs dialogs;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    whenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(dialogs.askOkCancel("Put on the red cap", "Instruction"), Answer::Cancel);
    EXPECT_EQ(title, "Instruction");
    EXPECT_EQ(text, "Put on the red cap");
    EXPECT_EQ(icon, QMessageBox::NoIcon);

    whenModalShown([](QWidget* modal) {
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialogs.askOkCancel("Put on the red cap", "Instruction"), Answer::Ok);
}

TEST(QtOperatorDialogs, ErrorBoxIsCritical) {
    QtOperatorDialogs dialogs;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    whenModalShown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        text = box->text();
        box->accept();
    });
    dialogs.showError("Cannot write SETUP.INI");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(text, "Cannot write SETUP.INI");
}

TEST(QtOperatorDialogs, InputDialogReturnsTheTypedTextOnlyOnOk) {
    QtOperatorDialogs dialogs;
    QString label;
    whenModalShown([&](QWidget* modal) {
        label = modal->windowTitle();
        modal->findChild<QLineEdit*>()->setText("probe at 20 mm");
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QString comment;
    EXPECT_TRUE(dialogs.inputText("Input dialog", "Input comment", comment));
    EXPECT_EQ(comment, "probe at 20 mm");
    EXPECT_EQ(label, "Input dialog");

    whenModalShown([](QWidget* modal) {
        modal->findChild<QLineEdit*>()->setText("typed, then cancelled");
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(dialogs.inputText("Input dialog", "Input comment", comment));
    EXPECT_EQ(comment, "probe at 20 mm");
}

TEST(QtOperatorDialogs, SaveDialogAppendsTheDefaultSuffixInTheGivenDirectory) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    QtOperatorDialogs dialogs;
    QStringList filters;
    bool confirmsOverwrite = true;
    whenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        EXPECT_EQ(dialog->selectedNameFilter(), filters.value(0));
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("record");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QStringList offered{"Comma-Separated Values (*.CSV)", "Text files (*.txt)"};
    const QString path = dialogs.saveFileName({"CSV", offered, directory.path()});

    EXPECT_EQ(path, QDir(directory.path()).filePath("record.CSV"));
    EXPECT_EQ(filters, offered);
    EXPECT_FALSE(confirmsOverwrite) << "records are appended to existing files";
}

TEST(QtOperatorDialogs, SaveDialogWithoutDirectoryAvoidsTheWorkingDirectory) {
    QTemporaryDir workingDirectory;
    ASSERT_TRUE(workingDirectory.isValid());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workingDirectory.path());
    QtOperatorDialogs dialogs;
    QStringList openedIn;
    whenModalShown([&](QWidget* modal) {
        openedIn.append(qobject_cast<QFileDialog*>(modal)->directory().absolutePath());
        modal->close();
    });
    const QString cancelled = dialogs.saveFileName({"CSV", {}, ""});
    whenModalShown([&](QWidget* modal) {
        openedIn.append(qobject_cast<QFileDialog*>(modal)->directory().absolutePath());
        modal->close();
    });
    dialogs.saveFileName({"CSV", {}, "C:\\"});
    QDir::setCurrent(previous);

    EXPECT_TRUE(cancelled.isEmpty());
    ASSERT_EQ(openedIn.size(), 2);
    for (const QString& opened : openedIn) {
        EXPECT_NE(opened, QDir(workingDirectory.path()).absolutePath());
        EXPECT_TRUE(QDir(opened).exists()) << opened.toStdString();
    }
}

}  // namespace
