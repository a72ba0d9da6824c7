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

bool ScriptedDialogs::question(QWidget*, const QString& text, const QString&) {
    questions << text;
    if (questionAnswers.empty())
        return false;
    const bool answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::inputBox(QWidget*, const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    prompts << prompt;
    inputTitles << title;
    inputDefaults << defaultText;
    return take(inputAnswers);
}

QString ScriptedDialogs::openFileName(QWidget*, const gui::FileDialogRequest& request) {
    fileRequests.push_back(request);
    return take(fileAnswers);
}

QStringList ScriptedDialogs::openFileNames(QWidget*, const gui::FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (fileListAnswers.empty())
        return {};
    QStringList answer = fileListAnswers.front();
    fileListAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::folderName(QWidget*, const QString& prompt) {
    folderPrompts << prompt;
    return take(folderAnswers);
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const Message& message : messages)
        texts << message.text;
    return texts;
}

} // namespace testsupport
