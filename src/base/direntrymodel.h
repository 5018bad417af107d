#pragma once
// The entries of the directory the browser shows, as one table model that
// both file views display: the list view its first column, the detail view
// the columns Name, Size, Type, Date and Attributes. Both views share the
// model and its selection, so every entry's list and detail rows are twins.
#include "base/direntry.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QHash>
#include <QPixmap>

#include <vector>

// One shown entry: a copy of the listing's record (with the scan's values),
// the directory it was listed in and its file-type picture once looked up.
struct DirFileItem {
    DirEntry info;
    QString dirPath;  // ends with "/"
    bool hasTypeIcon = false;
    QPixmap typeIcon;
};

class DirEntryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn, SizeColumn, TypeColumn, DateColumn, AttributesColumn, ColumnCount };

    explicit DirEntryModel(const DirDisplayTexts& texts, QObject* parent = nullptr);

    void setItems(std::vector<DirFileItem> items);
    void clear();
    void removeItem(int row);
    // Gives the row its file-type picture; without notify the views learn
    // of it through notifyIconsChanged, once for a range of rows.
    void setTypeIcon(int row, const QPixmap& icon, bool notify = true);
    void notifyIconsChanged(int firstRow, int lastRow);

    int count() const { return static_cast<int>(m_items.size()); }
    const DirFileItem& item(int row) const { return m_items[static_cast<std::size_t>(row)]; }
    // The first row of that name, -1 for none.
    int rowOf(const QString& name) const;
    // The picture column 0 shows for the row.
    QPixmap picture(int row) const;

    // Which entries can be selected: in the multiple-file mode no
    // directories, in the directory modes no files.
    void setSelectable(bool directories, bool files);
    // The font the list view measures its items with.
    void setListFont(const QFont& font) { m_font = font; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The Size column's text: the file's size as the file system reports it
    // now (64-bit, no grouping); empty for other entries and for a file
    // that can no longer be examined.
    static QString sizeText(const DirFileItem& item);

private:
    std::vector<DirFileItem> m_items;
    mutable QHash<QString, int> m_rows;  // name -> first row; rebuilt on demand
    mutable bool m_rowsValid = false;
    DirDisplayTexts m_texts;
    QFont m_font;
    bool m_dirsSelectable = true;
    bool m_filesSelectable = true;
};
