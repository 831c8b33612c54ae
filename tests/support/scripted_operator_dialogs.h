#pragma once

#include "ui/operator_dialogs.h"

#include <QList>
#include <QQueue>

// Answers the operator's dialogs from queues filled by the test and records every box
// that was shown. Installs itself while it exists.
class ScriptedOperatorDialogs : public OperatorDialogs {
public:
    enum class Kind { Message, OkCancel, Input, SaveFile, OpenFile, Error };

    struct ShownBox {
        Kind kind;
        QString text;     // message, question, input prompt or error text; empty for files
        QString caption;  // empty for files and errors
        SaveFileRequest saveRequest;  // saves only
        // The queue was empty, so the default answer was given: OK, input cancelled,
        // save or open cancelled.
        bool defaultAnswer = false;
        OpenFileRequest openRequest;  // opens only
    };

    ScriptedOperatorDialogs();
    ~ScriptedOperatorDialogs() override;
    ScriptedOperatorDialogs(const ScriptedOperatorDialogs&) = delete;
    ScriptedOperatorDialogs& operator=(const ScriptedOperatorDialogs&) = delete;

    void queueOkCancel(Answer answer) { okCancelAnswers.enqueue(answer); }
    void queueInput(const QString& text) { inputAnswers.enqueue(InputAnswer{true, text}); }
    void queueInputCancel() { inputAnswers.enqueue(InputAnswer{false, QString()}); }
    // An empty path answers as Cancel.
    void queueSaveFile(const QString& path) { saveAnswers.enqueue(path); }
    // An empty path answers as Cancel.
    void queueOpenFile(const QString& path) { openAnswers.enqueue(path); }

    const QList<ShownBox>& shown() const { return boxes; }
    int count(Kind kind) const;
    bool anyDefaultAnswer() const;
    void clearShown() { boxes.clear(); }

    void showMessage(const QString& text, const QString& caption) override;
    Answer askOkCancel(const QString& text, const QString& caption) override;
    bool inputText(const QString& caption, const QString& prompt, QString& value) override;
    QString saveFileName(const SaveFileRequest& request) override;
    QString openFileName(const OpenFileRequest& request) override;
    void showError(const QString& text) override;

private:
    struct InputAnswer {
        bool accepted;
        QString text;
    };

    ShownBox& record(Kind kind, const QString& text, const QString& caption);

    QQueue<Answer> okCancelAnswers;
    QQueue<InputAnswer> inputAnswers;
    QQueue<QString> saveAnswers;
    QQueue<QString> openAnswers;
    QList<ShownBox> boxes;
};
