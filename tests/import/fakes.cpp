#include "fakes.h"

namespace testsupport {

QString ScriptedUi::inputBox(const QString& prompt, const QString&, const QString&) {
    prompts << prompt;
    if (answers.empty())
        return QString();
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

QStringList ScriptedUi::messageTexts() const {
    QStringList texts;
    for (const ShownMessage& message : messages)
        texts << message.text;
    return texts;
}

} // namespace testsupport
