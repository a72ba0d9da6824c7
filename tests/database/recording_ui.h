#pragma once

#include "import/user_interface.h"

#include <QStringList>

#include <vector>

// Records the messages that the catalogue routines show.
struct RecordingUi : importer::UserInterface {
    struct Message {
        QString text;
        importer::MessageIcon icon;
        QString title;
    };
    std::vector<Message> messages;
    int pointerNow = importer::pointer::kDefault;

    void messageBox(const QString& text, importer::MessageIcon icon, const QString& title) override {
        messages.push_back({text, icon, title});
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    int mousePointer() const override { return pointerNow; }
    void setMousePointer(int pointer) override { pointerNow = pointer; }
    void processEvents() override {}
};

// A list box in memory.
struct MemoryListBox : importer::TableList {
    QStringList items;
    int selected = -1;
    int count() const override { return static_cast<int>(items.size()); }
    QString item(int index) const override { return items.value(index); }
    int selectedIndex() const override { return selected; }
    void setSelectedIndex(int index) override { selected = index; }
    void insertItem(int index, const QString& text) override { items.insert(index, text); }
    void addItem(const QString& text) override { items.append(text); }
    void clear() override {
        items.clear();
        selected = -1;
    }
};
