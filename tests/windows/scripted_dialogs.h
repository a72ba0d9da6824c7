#pragma once

#include "windows/dialogs.h"

#include <deque>
#include <vector>

namespace testsupport {

// Answers the windows' dialogs from queues and records what they were asked. An
// exhausted queue answers as a cancel does.
class ScriptedDialogs : public gui::Dialogs {
public:
    struct Message {
        QString text;
        importer::MessageIcon icon;
        QString title;
    };

    void messageBox(QWidget* parent, const QString& text, importer::MessageIcon icon, const QString& title) override;
    bool question(QWidget* parent, const QString& text, const QString& title) override;
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFileName(QWidget* parent, const gui::FileDialogRequest& request) override;
    QStringList openFileNames(QWidget* parent, const gui::FileDialogRequest& request) override;
    QString folderName(QWidget* parent, const QString& prompt) override;

    QStringList messageTexts() const;

    std::vector<Message> messages;
    QStringList questions;
    std::deque<bool> questionAnswers; // an exhausted queue answers No
    std::deque<QString> inputAnswers;
    QStringList prompts;
    QStringList inputTitles;
    QStringList inputDefaults;
    std::deque<QString> fileAnswers;
    std::vector<gui::FileDialogRequest> fileRequests;
    std::deque<QStringList> fileListAnswers;
    std::deque<QString> folderAnswers;
    QStringList folderPrompts;
};

} // namespace testsupport
