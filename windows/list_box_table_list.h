#pragma once

#include "import/import_sources.h"

class QListWidget;

namespace gui {

// The list box List1 as the table list that the catalogue fills and the import run reads.
// The selected index is the selected item's row; -1 when no item is selected.
class ListBoxTableList : public importer::TableList {
public:
    explicit ListBoxTableList(QListWidget& list) : m_list(list) {}

    int count() const override;
    QString item(int index) const override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    void insertItem(int index, const QString& text) override;
    void addItem(const QString& text) override;
    void clear() override;

private:
    QListWidget& m_list;
};

} // namespace gui
