#include "filelist/ui/file_list_view.h"

#include "filelist/ui/file_list_drop.h"
#include "import/local_file_names.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace filelist {

const QString FileListView::kColumnTitle = QStringLiteral("Text Files");
const QString FileListView::kHoverHint = QStringLiteral(
    "Drag and drop files here. Double-click item to remove it. Move bar to right and out of window to reveal "
    "full names.");

QString FileListView::hoverHint(int count) {
    const QString listed =
        count == 1 ? QStringLiteral("1 file listed.") : QStringLiteral("%1 files listed.").arg(count);
    return kHoverHint + QChar('\n') + listed;
}

namespace {

QTreeWidgetItem* newEntry(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    // Entries are never edited in place; the text is all an entry has.
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// An entry keeps the exact bytes of a name in another encoding; it is shown with the
// characters the user knows.
class EntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return importer::displayLocalFileName(QStyledItemDelegate::displayText(value, locale));
    }
};

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
    setItemDelegate(new EntryDelegate(this));
    setToolTip(hoverHint(0));
    connect(model(), &QAbstractItemModel::rowsInserted, this, &FileListView::updateHoverHint);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &FileListView::updateHoverHint);
    connect(model(), &QAbstractItemModel::modelReset, this, &FileListView::updateHoverHint);
    // Files come in from the file manager; the list never offers its entries to others.
    setAcceptDrops(true);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    // One scroll step is one whole row, so that the auto-scroll of a drag moves the rows
    // under a still pointer by exactly one entry.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_autoScrollTimer.setInterval(kAutoScrollIntervalMs);
    connect(&m_autoScrollTimer, &QTimer::timeout, this, &FileListView::autoScrollStep);

    m_contextMenu = new QMenu(this);
    QAction* remove = m_contextMenu->addAction(QStringLiteral("Remove"), this, &FileListView::removeSelected);
    QAction* removeAll = m_contextMenu->addAction(QStringLiteral("Remove All"), this, &FileListView::removeAll);
    connect(m_contextMenu, &QMenu::aboutToShow, this, [this, remove, removeAll] {
        remove->setEnabled(selectedPosition() > 0);
        removeAll->setEnabled(count() > 0);
    });
}

// The tree widget empties its model after this part of the object is gone.
FileListView::~FileListView() {
    disconnect(model(), nullptr, this, nullptr);
}

void FileListView::updateHoverHint() {
    setToolTip(hoverHint(count()));
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

void FileListView::removeAll() {
    clear();
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
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        const int position = selectedPosition();
        showContextMenu(position > 0 ? visualItemRect(topLevelItem(position - 1)).center() : QPoint(0, 0));
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FileListView::ListView1_DblClick() { removeSelected(); }

// Whatever lies under the pointer, a double-click removes the selected entry.
void FileListView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    endDrag();
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
    // A press on the partly visible last row must not scroll it under the pointer: the
    // first move would then carry the entry onto its neighbour.
    markWithoutScrolling(indexOfTopLevelItem(item) + 1);
    m_dragging = true;
    m_carriedSincePress = false;
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

// Only entries the user sees are targets: rows scrolled out of view lie outside the
// viewport, where the pointer finds nothing.
void FileListView::carryDraggedEntryTo(const QPoint& viewportPosition) {
    const bool inside = viewport()->rect().contains(viewportPosition);
    QTreeWidgetItem* target = inside ? itemAt(viewportPosition) : nullptr;
    if (target && m_draggedEntry.isValid())
        carry(m_draggedEntry.row() + 1, indexOfTopLevelItem(target) + 1);

    m_autoScrollDirection = inside ? edgeBand(viewportPosition) : 0;
    if (m_autoScrollDirection == 0)
        m_autoScrollTimer.stop();
    else if (!m_autoScrollTimer.isActive())
        m_autoScrollTimer.start();
}

// The carried text goes to `to`; the entries between move one place towards `from`.
void FileListView::carry(int from, int to) {
    if (from == to)
        return;
    const QString carried = *text(from);
    const int step = to > from ? 1 : -1;
    for (int position = from; position != to; position += step)
        setText(position, *text(position + step));
    setText(to, carried);
    m_carriedSincePress = true;
    markWithoutScrolling(to);
    m_draggedEntry = QPersistentModelIndex(model()->index(to - 1, 0));
}

// Selects the entry as the list's current one; only the drag's own steps scroll the list.
void FileListView::markWithoutScrolling(int position) {
    QTreeWidgetItem* item = topLevelItem(position - 1);
    if (!item)
        return;
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    setCurrentItem(item);
    item->setSelected(true);
    setAutoScroll(scrolls);
}

// The bands are one row high at the list's own top and bottom edges, wherever the window
// stands on whichever screen.
int FileListView::edgeBand(const QPoint& viewportPosition) const {
    const int band = count() > 0 ? qMax(1, rowHeight(model()->index(0, 0))) : 1;
    if (viewportPosition.y() < band)
        return -1;
    if (viewportPosition.y() >= viewport()->height() - band)
        return 1;
    return 0;
}

// One step: the entry goes one place on and the list scrolls one row, so the entry stays
// under the still pointer and the next entry comes into view.
void FileListView::autoScrollStep() {
    if (!m_dragging || !m_draggedEntry.isValid() || m_autoScrollDirection == 0) {
        m_autoScrollTimer.stop();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    const int from = m_draggedEntry.row() + 1;
    const int to = from + m_autoScrollDirection;
    const bool canScroll = m_autoScrollDirection > 0 ? bar->value() < bar->maximum() : bar->value() > bar->minimum();
    if (to < 1 || to > count() || !canScroll)
        return;
    carry(from, to);
    bar->setValue(bar->value() + m_autoScrollDirection);
}

void FileListView::endDrag() {
    m_dragging = false;
    m_autoScrollDirection = 0;
    m_autoScrollTimer.stop();
}

void FileListView::mouseReleaseEvent(QMouseEvent* event) {
    const bool carried = m_dragging && m_carriedSincePress;
    endDrag();
    viewport()->unsetCursor();
    QTreeWidget::mouseReleaseEvent(event);
    // The menu comes with the release, so that a press of the right button can still drag.
    if (event->button() == Qt::RightButton && !carried && viewport()->rect().contains(event->position().toPoint()))
        showContextMenu(event->position().toPoint());
}

// A right press is a drag's start; the menu key still asks for the menu.
void FileListView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    showContextMenu(event->pos());
    event->accept();
}

void FileListView::showContextMenu(const QPoint& viewportPosition) {
    endDrag();
    m_contextMenu->popup(viewport()->mapToGlobal(viewportPosition));
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
