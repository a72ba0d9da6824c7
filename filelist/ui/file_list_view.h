#pragma once

#include "import/import_sources.h"

#include <QPersistentModelIndex>
#include <QTreeWidget>

#include <functional>
#include <optional>

namespace filelist {

// The import window's ListView1: a report view with the one column "Text Files".
// Each entry carries only its text, the full path of one file; positions run from 1
// in import order, and the same path may stand more than once.
//
// The user removes the selected entry with Delete or a double-click, reorders entries by
// dragging one over the others with any mouse button, and drops files and folders from
// the file manager onto the list.
class FileListView : public QTreeWidget, public importer::FileList {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // The column header and its width, set when the import window loads.
    void setUpColumn(int widthPixels);

    // Appends an entry as the last position.
    void addEntry(const QString& text);
    // Inserts an entry so that it stands at `position` (1 to count() + 1); false outside.
    bool insertEntry(int position, const QString& text);
    // Removes the entry at `position`; false when there is none.
    bool removeEntry(int position);
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

    int count() const override;
    std::optional<QString> text(int position) const override;

    // The handlers, named after the control and its event.
    void ListView1_DblClick();
    void ListView1_ItemClick();

    static const QString kColumnTitle;
    static const QString kHoverHint;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void removeSelected();
    void carryDraggedEntryTo(const QPoint& viewportPosition);

    bool m_dragging = false;
    QPersistentModelIndex m_draggedEntry;
    std::function<QString()> m_dragCursorLookup;
};

} // namespace filelist
