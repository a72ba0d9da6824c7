#include "filelist/ui/file_list_view.h"

#include "filelist/ui/file_list_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace filelist {

const QString FileListView::kColumnTitle = QStringLiteral("Text Files");
const QString FileListView::kHoverHint = QStringLiteral(
    "Drag and drop files here. Double-click item to remove it. Move bar to right and out of window to reveal "
    "full names.");

namespace {

QTreeWidgetItem* newEntry(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    // Entries are never edited in place; the text is all an entry has.
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

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
    // Files come in from the file manager; the list never offers its entries to others.
    setAcceptDrops(true);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void FileListView::setUpColumn(int widthPixels) {
    setHeaderLabels({kColumnTitle});
    setColumnWidth(0, widthPixels);
}

void FileListView::addEntry(const QString& text) { addTopLevelItem(newEntry(text)); }

bool FileListView::insertEntry(int position, const QString& text) {
    if (position < 1 || position > count() + 1)
        return false;
    insertTopLevelItem(position - 1, newEntry(text));
    return true;
}

bool FileListView::removeEntry(int position) {
    if (position < 1 || position > count())
        return false;
    delete takeTopLevelItem(position - 1);
    return true;
}

bool FileListView::setText(int position, const QString& text) {
    if (position < 1 || position > count())
        return false;
    topLevelItem(position - 1)->setText(0, text);
    return true;
}

int FileListView::selectedPosition() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : indexOfTopLevelItem(selected.first()) + 1;
}

void FileListView::selectEntry(int position) {
    QTreeWidgetItem* item = topLevelItem(position - 1);
    if (!item)
        return;
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

int FileListView::count() const { return topLevelItemCount(); }

std::optional<QString> FileListView::text(int position) const {
    if (position < 1 || position > count())
        return std::nullopt;
    return topLevelItem(position - 1)->text(0);
}

void FileListView::removeSelected() { removeEntry(selectedPosition()); }

// Only the key counts: Shift+Delete and Ctrl+Delete remove as well.
void FileListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        removeSelected();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FileListView::ListView1_DblClick() { removeSelected(); }

// Whatever lies under the pointer, a double-click removes the selected entry.
void FileListView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    m_dragging = false;
    ListView1_DblClick();
}

void FileListView::ListView1_ItemClick() {
    const QString pictureFile = m_dragCursorLookup ? m_dragCursorLookup() : QString();
    const QPixmap picture = pictureFile.isEmpty() ? QPixmap() : QPixmap(pictureFile);
    if (!picture.isNull())
        viewport()->setCursor(QCursor(picture));
    const int position = selectedPosition();
    m_draggedEntry = position > 0 ? QPersistentModelIndex(model()->index(position - 1, 0)) : QPersistentModelIndex();
}

// Any button starts the internal drag, but only on an entry: a press on the empty part of
// the list would otherwise carry whatever entry was dragged last. The list's own press
// handling is left out, as it would start a rubber band or change the selection on moves.
void FileListView::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    event->accept();
    // The selection stays, so that a double-click anywhere removes the selected entry.
    if (!item)
        return;
    selectEntry(indexOfTopLevelItem(item) + 1);
    m_dragging = true;
    ListView1_ItemClick();
}

void FileListView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        QTreeWidget::mouseMoveEvent(event);
        return;
    }
    carryDraggedEntryTo(event->position().toPoint());
    event->accept();
}

// Passing over an entry exchanges the two texts and makes the target the dragged entry,
// so a steady move carries the text along one place per entry.
void FileListView::carryDraggedEntryTo(const QPoint& viewportPosition) {
    QTreeWidgetItem* target = itemAt(viewportPosition);
    if (!target || !m_draggedEntry.isValid())
        return;
    const int from = m_draggedEntry.row() + 1;
    const int to = indexOfTopLevelItem(target) + 1;
    const QString carried = *text(from);
    const QString passed = target->text(0);
    if (carried == passed)
        return;
    setText(from, passed);
    setText(to, carried);
    selectEntry(to);
    m_draggedEntry = QPersistentModelIndex(model()->index(to - 1, 0));

    // Near the list's top or bottom edge the neighbour comes into view, so the drag can
    // go on past the visible rows.
    const int edge = qMax(1, visualItemRect(target).height());
    if (viewportPosition.y() < edge && to > 1)
        scrollToItem(topLevelItem(to - 2));
    else if (viewportPosition.y() > viewport()->height() - edge && to < count())
        scrollToItem(topLevelItem(to));
}

void FileListView::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    viewport()->unsetCursor();
    QTreeWidget::mouseReleaseEvent(event);
}

// While an entry is being dragged the list takes no drops; afterwards it does again.
void FileListView::dragEnterEvent(QDragEnterEvent* event) {
    if (m_dragging || !offersFiles(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileListView::dragMoveEvent(QDragMoveEvent* event) {
    if (m_dragging || !offersFiles(*event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

// The list only records paths; a copy tells the source to leave its files where they are.
void FileListView::dropEvent(QDropEvent* event) {
    if (m_dragging || !offersFiles(*event->mimeData())) {
        event->ignore();
        return;
    }
    for (const QString& entry : droppedEntries(*event->mimeData()))
        addEntry(entry);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

} // namespace filelist
