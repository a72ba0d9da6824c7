#include "filelist/ui/file_list_view.h"

#include <QHeaderView>

namespace filelist {

const QString FileListView::kColumnTitle = QStringLiteral("Text Files");
const QString FileListView::kHoverHint = QStringLiteral(
    "Drag and drop files here. Double-click item to remove it. Move bar to right and out of window to reveal "
    "full names.");

FileListView::FileListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(1);
    setHeaderHidden(false);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    setToolTip(kHoverHint);
}

void FileListView::setUpColumn(int widthPixels) {
    setHeaderLabels({kColumnTitle});
    setColumnWidth(0, widthPixels);
}

void FileListView::addEntry(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    // Entries are never edited in place; the text is all an entry has.
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    addTopLevelItem(item);
}

int FileListView::count() const { return topLevelItemCount(); }

std::optional<QString> FileListView::text(int position) const {
    if (position < 1 || position > count())
        return std::nullopt;
    return topLevelItem(position - 1)->text(0);
}

} // namespace filelist
