#pragma once

#include "import/import_sources.h"

#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <optional>

class QMenu;

namespace filelist {

// The import window's ListView1: a report view with the one column "Text Files".
// Each entry carries only its text, the full path of one file; positions run from 1
// in import order, and the same path may stand more than once.
//
// The user removes the selected entry with Delete, a double-click or the context menu,
// reorders entries by dragging one over the others with any mouse button, and drops files
// and folders from the file manager onto the list.
//
// A dragged entry is carried to the visible entry under the pointer, the entries between
// moving one place back, so no other entry changes its order however fast the pointer
// moves. Held in the band of one row at the list's top or bottom edge, the pointer keeps
// the list scrolling one row per step at a steady pace, the entry carried along one place
// per step; outside the list nothing is carried.
class FileListView : public QTreeWidget, public importer::FileList {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);
    ~FileListView() override;

    // The column header and its width, set when the import window loads.
    void setUpColumn(int widthPixels);

    // Appends an entry as the last position.
    void addEntry(const QString& text);
    // Inserts an entry so that it stands at `position` (1 to count() + 1); false outside.
    bool insertEntry(int position, const QString& text);
    // Removes the entry at `position`; false when there is none.
    bool removeEntry(int position);
    // Empties the list ("Remove All" of the context menu).
    void removeAll();
    bool setText(int position, const QString& text);

    // The position of the selected entry, or 0 when none is selected.
    int selectedPosition() const;
    // Makes the entry at `position` the selected one and scrolls it into view.
    void selectEntry(int position);

    // Finds the picture of the pointer shown over the list while an entry is dragged. It is
    // looked up and read at every press, so a picture put in place later is used; without a
    // readable picture the list keeps its own pointer.
    void setDragCursorLookup(std::function<QString()> lookup) { m_dragCursorLookup = std::move(lookup); }
    bool isDraggingEntry() const { return m_dragging; }
    // The time between two steps of the scrolling while the pointer is held in an edge band.
    static constexpr int kAutoScrollIntervalMs = 120;

    int count() const override;
    std::optional<QString> text(int position) const override;

    // The handlers, named after the control and its event.
    void ListView1_DblClick();
    void ListView1_ItemClick();

    // The context menu, shown after a right-click that carried nothing and by the menu key.
    QMenu& contextMenu() const { return *m_contextMenu; }

    static const QString kColumnTitle;
    static const QString kHoverHint;
    // The hover hint with the number of files listed under it.
    static QString hoverHint(int count);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void removeSelected();
    void showContextMenu(const QPoint& viewportPosition);
    void updateHoverHint();
    void carryDraggedEntryTo(const QPoint& viewportPosition);
    void carry(int from, int to);
    void markWithoutScrolling(int position);
    int edgeBand(const QPoint& viewportPosition) const;
    void autoScrollStep();
    void endDrag();

    bool m_dragging = false;
    bool m_carriedSincePress = false;
    QPersistentModelIndex m_draggedEntry;
    std::function<QString()> m_dragCursorLookup;
    // -1 while the pointer is held in the top band, +1 in the bottom band, 0 elsewhere.
    int m_autoScrollDirection = 0;
    QTimer m_autoScrollTimer;
    QMenu* m_contextMenu = nullptr;
};

} // namespace filelist
