#include "scripted_dialogs.h"

namespace testsupport {

namespace {
QString take(std::deque<QString>& queue) {
    if (queue.empty())
        return {};
    QString answer = queue.front();
    queue.pop_front();
    return answer;
}
} // namespace

void ScriptedDialogs::messageBox(QWidget*, const QString& text, importer::MessageIcon icon, const QString& title) {
    messages.push_back({text, icon, title});
}

QString ScriptedDialogs::inputBox(QWidget*, const QString& prompt, const QString&, const QString&) {
    prompts << prompt;
    return take(inputAnswers);
}

QString ScriptedDialogs::openFileName(QWidget*, const gui::FileDialogRequest& request) {
    fileRequests.push_back(request);
    return take(fileAnswers);
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const Message& message : messages)
        texts << message.text;
    return texts;
}

} // namespace testsupport
