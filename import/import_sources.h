#pragma once

#include <QString>

#include <optional>

namespace importer {

// The import options as the import window's controls hold them. Each value is
// read at the moment the run needs it, so every call goes to the control.
class ImportOptions {
public:
    virtual ~ImportOptions() = default;
    virtual bool Option1() const = 0; // create a new table
    virtual bool Option2() const = 0; // append to the selected table
    virtual bool Option3() const = 0; // column names from the first line
    virtual bool Option4() const = 0; // column names asked from the user
    virtual bool Option5() const = 0; // separator ", "
    virtual bool Option6() const = 0; // separator ","
    virtual bool Option7() const = 0; // separator given in Text3
    virtual int Check2() const = 0;   // 0: the first line of each file is a row
    virtual QString Text2() const = 0; // table name template
    virtual QString Text3() const = 0; // the "Other" separator
};

// The ordered files to import; positions run from 1.
class FileList {
public:
    virtual ~FileList() = default;
    virtual int count() const = 0;
    // The full path at `position`, or nullopt when there is no such entry (any more).
    virtual std::optional<QString> text(int position) const = 0;
};

// The table names shown to the user; indices run from 0.
class TableList {
public:
    virtual ~TableList() = default;
    virtual int count() const = 0;
    virtual QString item(int index) const = 0;
    virtual int selectedIndex() const = 0; // -1 for none
    virtual void setSelectedIndex(int index) = 0;
    virtual void insertItem(int index, const QString& text) = 0;
    virtual void addItem(const QString& text) = 0;
    virtual void clear() = 0;

    // The selected item's text; empty when nothing is selected.
    QString selectedText() const {
        const int index = selectedIndex();
        return index >= 0 && index < count() ? item(index) : QString();
    }
};

} // namespace importer
