#pragma once

#include "import/import_sources.h"

#include <QStringList>

namespace importer {

// A file list held in memory, for callers without a window.
class InMemoryFileList : public FileList {
public:
    InMemoryFileList() = default;
    explicit InMemoryFileList(QStringList paths) : m_paths(std::move(paths)) {}

    int count() const override { return static_cast<int>(m_paths.size()); }
    std::optional<QString> text(int position) const override {
        if (position < 1 || position > count())
            return std::nullopt;
        return m_paths[position - 1];
    }
    QStringList& paths() { return m_paths; }

private:
    QStringList m_paths;
};

// A table list held in memory, for callers without a window.
class InMemoryTableList : public TableList {
public:
    int count() const override { return static_cast<int>(m_items.size()); }
    QString item(int index) const override { return m_items.value(index); }
    int selectedIndex() const override { return m_selected; }
    void setSelectedIndex(int index) override { m_selected = index >= 0 && index < count() ? index : -1; }
    void insertItem(int index, const QString& text) override {
        m_items.insert(qBound(0, index, count()), text);
        if (m_selected >= index)
            ++m_selected;
    }
    void addItem(const QString& text) override { m_items.append(text); }
    void clear() override {
        m_items.clear();
        m_selected = -1;
    }
    const QStringList& items() const { return m_items; }

private:
    QStringList m_items;
    int m_selected = -1;
};

} // namespace importer
