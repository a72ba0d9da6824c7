#include "windows/list_box_table_list.h"

#include <QListWidget>

namespace gui {

int ListBoxTableList::count() const { return m_list.count(); }

QString ListBoxTableList::item(int index) const {
    const QListWidgetItem* entry = m_list.item(index);
    return entry ? entry->text() : QString();
}

int ListBoxTableList::selectedIndex() const {
    const QListWidgetItem* current = m_list.currentItem();
    return current && current->isSelected() ? m_list.row(current) : -1;
}

void ListBoxTableList::setSelectedIndex(int index) {
    if (index < 0 || index >= m_list.count()) {
        m_list.setCurrentRow(-1);
        m_list.clearSelection();
        return;
    }
    m_list.setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void ListBoxTableList::insertItem(int index, const QString& text) { m_list.insertItem(index, text); }

void ListBoxTableList::addItem(const QString& text) { m_list.addItem(text); }

void ListBoxTableList::clear() { m_list.clear(); }

} // namespace gui
