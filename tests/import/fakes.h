#pragma once

// In-memory stand-ins for what the import window provides to the import run.

#include "import/import_sources.h"
#include "import/in_memory_lists.h"
#include "import/user_interface.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace testsupport {

struct FakeOptions : importer::ImportOptions {
    bool option1 = true, option2 = false, option3 = true, option4 = false;
    bool option5 = false, option6 = true, option7 = false;
    int check2 = 0;
    QString text2 = QStringLiteral("NewTable[counter]");
    QString text3 = QStringLiteral(":");

    bool Option1() const override { return option1; }
    bool Option2() const override { return option2; }
    bool Option3() const override { return option3; }
    bool Option4() const override { return option4; }
    bool Option5() const override { return option5; }
    bool Option6() const override { return option6; }
    bool Option7() const override { return option7; }
    int Check2() const override { return check2; }
    QString Text2() const override { return text2; }
    QString Text3() const override { return text3; }

    void appendMode(bool skipHeader) {
        option1 = false;
        option2 = true;
        check2 = skipHeader ? 1 : 0;
    }
};

// The run addresses files and tables through the in-memory lists the command line uses.
using FakeFiles = importer::InMemoryFileList;

struct FakeTables : importer::InMemoryTableList {
    void set(const QStringList& names, int selected = -1) {
        clear();
        for (const QString& name : names)
            addItem(name);
        setSelectedIndex(selected);
    }
};

struct ShownMessage {
    QString text;
    importer::MessageIcon icon;
    QString title;
};

struct ScriptedUi : importer::UserInterface {
    std::vector<ShownMessage> messages;
    QStringList prompts;
    std::deque<QString> answers; // an exhausted queue answers as a cancel does
    std::vector<int> pointers;   // every pointer set, in order
    int pointerNow = importer::pointer::kDefault;
    int eventsProcessed = 0;
    std::function<void()> onProcessEvents;

    void messageBox(const QString& text, importer::MessageIcon icon, const QString& title) override {
        messages.push_back({text, icon, title});
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override;
    int mousePointer() const override { return pointerNow; }
    void setMousePointer(int pointer) override {
        pointerNow = pointer;
        pointers.push_back(pointer);
    }
    void processEvents() override {
        ++eventsProcessed;
        if (onProcessEvents)
            onProcessEvents();
    }
    QStringList messageTexts() const;
};

} // namespace testsupport
