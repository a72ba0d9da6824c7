#pragma once

#include "import/import_sources.h"

#include <QTreeWidget>

namespace filelist {

// The import window's ListView1: a report view with the one column "Text Files".
// Each entry carries only its text, the full path of one file; positions run from 1
// in import order, and the same path may stand more than once.
class FileListView : public QTreeWidget, public importer::FileList {
    Q_OBJECT
public:
    explicit FileListView(QWidget* parent = nullptr);

    // The column header and its width, set when the import window loads.
    void setUpColumn(int widthPixels);

    // Appends an entry as the last position.
    void addEntry(const QString& text);

    int count() const override;
    std::optional<QString> text(int position) const override;

    static const QString kColumnTitle;
    static const QString kHoverHint;
};

} // namespace filelist
