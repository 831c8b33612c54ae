#include "tests/support/scripted_operator_dialogs.h"

#include <algorithm>

ScriptedOperatorDialogs::ScriptedOperatorDialogs() {
    setOperatorDialogs(this);
}

ScriptedOperatorDialogs::~ScriptedOperatorDialogs() {
    setOperatorDialogs(nullptr);
}

int ScriptedOperatorDialogs::count(Kind kind) const {
    return static_cast<int>(std::count_if(
        boxes.begin(), boxes.end(), [kind](const ShownBox& box) { return box.kind == kind; }));
}

bool ScriptedOperatorDialogs::anyDefaultAnswer() const {
    return std::any_of(boxes.begin(), boxes.end(),
                       [](const ShownBox& box) { return box.defaultAnswer; });
}

void ScriptedOperatorDialogs::showMessage(const QString& text, const QString& caption) {
    record(Kind::Message, text, caption);
}

OperatorDialogs::Answer ScriptedOperatorDialogs::askOkCancel(const QString& text,
                                                             const QString& caption) {
    ShownBox& box = record(Kind::OkCancel, text, caption);
    if (okCancelAnswers.isEmpty()) {
        box.defaultAnswer = true;
        return Answer::Ok;
    }
    return okCancelAnswers.dequeue();
}

bool ScriptedOperatorDialogs::inputText(const QString& caption, const QString& prompt,
                                        QString& value) {
    ShownBox& box = record(Kind::Input, prompt, caption);
    if (inputAnswers.isEmpty()) {
        box.defaultAnswer = true;
        return false;
    }
    const InputAnswer answer = inputAnswers.dequeue();
    if (answer.accepted) {
        value = answer.text;
    }
    return answer.accepted;
}

QString ScriptedOperatorDialogs::saveFileName(const SaveFileRequest& request) {
    ShownBox& box = record(Kind::SaveFile, QString(), QString());
    box.saveRequest = request;
    if (saveAnswers.isEmpty()) {
        box.defaultAnswer = true;
        return QString();
    }
    return saveAnswers.dequeue();
}

QString ScriptedOperatorDialogs::openFileName(const OpenFileRequest& request) {
    ShownBox& box = record(Kind::OpenFile, QString(), QString());
    box.openRequest = request;
    if (openAnswers.isEmpty()) {
        box.defaultAnswer = true;
        return QString();
    }
    return openAnswers.dequeue();
}

void ScriptedOperatorDialogs::showError(const QString& text) {
    record(Kind::Error, text, QString());
}

ScriptedOperatorDialogs::ShownBox& ScriptedOperatorDialogs::record(Kind kind, const QString& text,
                                                                   const QString& caption) {
    boxes.append(ShownBox{kind, text, caption, SaveFileRequest{}, false, OpenFileRequest{}});
    return boxes.last();
}
